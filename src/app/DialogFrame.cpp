#include "app/DialogFrame.h"

#include <QDialog>
#include <QLayout>

namespace tolvane {

void UseDialogFrame(QDialog& dialog, DialogSize size) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  dialog.setSizeGripEnabled(false);
  if (size == DialogSize::Fixed && dialog.layout()) {
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
  }
}

}  // namespace tolvane
