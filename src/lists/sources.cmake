list(APPEND TOLVANE_CORE_SOURCES
  src/lists/ListCommands.cpp
  src/lists/ListEditorModel.cpp
  src/lists/ListSaveSequence.cpp
  src/lists/ListStore.cpp
  src/lists/MainLists.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
  src/lists/CfileaddDlg.cpp
  src/lists/ClistDlg.cpp
  src/lists/ClistDlgRunner.cpp
)
