#include "QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

namespace tolvane {
namespace {

QMessageBox::Icon ToQt(Icon icon) {
  switch (icon) {
    case Icon::Warning:
      return QMessageBox::Warning;
    case Icon::Question:
      return QMessageBox::Question;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::Stop:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// The window the box belongs to: a visible modal dialog or the active window, else none
// (the main window may be hidden in the tray).
QWidget* Owner() {
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  return owner && owner->isVisible() ? owner : nullptr;
}

}  // namespace

Answer QtPrompts::Show(const std::string& text, const std::string& caption, Icon icon,
                       Buttons buttons) {
  QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::NoButton, Owner());
  // File and list names must show as typed, never as markup.
  box.setTextFormat(Qt::PlainText);
  if (buttons == Buttons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  int pressed = box.exec();
  if (buttons == Buttons::Ok) return Answer::Ok;
  // A question closed any other way counts as No.
  return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtPrompts::ShowWithoutWaiting(const std::string& text, const std::string& caption, Icon icon) {
  // No owner: a box of the schedule appears while the window may sit hidden in the tray, and
  // it must not go away with whichever dialog happens to be open.
  auto* box = new QMessageBox(ToQt(icon), QString::fromStdString(caption),
                              QString::fromStdString(text), QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace tolvane
