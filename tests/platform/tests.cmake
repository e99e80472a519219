list(APPEND CORE_TEST_SOURCES
  platform/AsciiTextTest.cpp
  platform/Cp932Test.cpp
  platform/IntegerTextTest.cpp
  platform/LineFileTest.cpp
  platform/ProfileFileTest.cpp
)
