list(APPEND CORE_TEST_SOURCES
  lists/ListStoreTest.cpp
  lists/ListSaveSequenceTest.cpp
  lists/MainListsTest.cpp
)
