list(APPEND CORE_TEST_SOURCES
  app/PasswordTest.cpp
  app/SettingsFileTest.cpp
)
