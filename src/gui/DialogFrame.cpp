#include "DialogFrame.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLayout>

namespace tolvane {
namespace {

class EnterKeyFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void UseDialogFrame(QDialog& dialog, DialogSize size) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  dialog.setSizeGripEnabled(false);
  if (size == DialogSize::Fixed && dialog.layout()) {
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
  }
}

void IgnoreEnterKey(QDialog& dialog) { dialog.installEventFilter(new EnterKeyFilter(&dialog)); }

}  // namespace tolvane
