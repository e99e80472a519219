list(APPEND TOLVANE_CORE_SOURCES
  src/lists/ListSaveSequence.cpp
  src/lists/ListStore.cpp
  src/lists/MainLists.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
)
