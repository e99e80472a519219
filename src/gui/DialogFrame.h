#pragma once
// What every modal dialog of the program shares. The frame: a title and a close box, never
// a minimise or maximise box, since a minimised modal dialog would vanish while still
// blocking the main window. And the keys: Enter confirms nothing.
class QDialog;

namespace tolvane {

enum class DialogSize { Fixed, Resizable };

void UseDialogFrame(QDialog& dialog, DialogSize size);

// Enter never confirms the dialog: OK is pressed with the mouse or the space bar, so a person
// finishing a line of typing never saves half-filled settings. Return and Enter that no
// control of the dialog takes are dropped instead of pressing a default button.
void IgnoreEnterKey(QDialog& dialog);

}  // namespace tolvane
