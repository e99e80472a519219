list(APPEND CORE_TEST_SOURCES
  lists/ListStoreTest.cpp
  lists/ListSaveSequenceTest.cpp
  lists/MainListsTest.cpp
  lists/ListEditorModelTest.cpp
  lists/ListCommandsTest.cpp
)

tolvane_gui_test(cfileadddlg_test lists/CfileaddDlgTest.cpp)
tolvane_gui_test(clistdlg_test lists/ClistDlgTest.cpp)
tolvane_gui_test(list_menu_test lists/ListMenuTest.cpp)
