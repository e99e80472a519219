#pragma once
// The frame every modal dialog of the program gets: a title and a close box, never a
// minimise or maximise box. A minimised modal dialog would vanish while still blocking the
// main window.
class QDialog;

namespace tolvane {

enum class DialogSize { Fixed, Resizable };

void UseDialogFrame(QDialog& dialog, DialogSize size);

}  // namespace tolvane
