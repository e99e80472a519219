list(APPEND CORE_TEST_SOURCES
  lists/ListStoreTest.cpp
  lists/ListSaveSequenceTest.cpp
  lists/MainListsTest.cpp
  lists/ListEditorFormTest.cpp
  lists/ListCommandsTest.cpp
)

tolvane_gui_test(list_entry_dialog_test lists/ListEntryDialogTest.cpp)
tolvane_gui_test(list_editor_dialog_test lists/ListEditorDialogTest.cpp)
tolvane_gui_test(list_menu_test lists/ListMenuTest.cpp)
