list(APPEND CORE_TEST_SOURCES
  platform/Cp932Test.cpp
  platform/IntegerTextTest.cpp
  platform/LineFileTest.cpp
  platform/ProfileFileTest.cpp
)
