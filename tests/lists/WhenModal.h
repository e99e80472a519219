#pragma once
// Driving dialogs in tests. WhenModal answers a modal dialog from inside its own event loop:
// polls for the next modal dialog of type T and hands it to `act` once. Gives up after five
// seconds by rejecting whatever modal dialog is open, so a test fails instead of hanging.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace tolvane::test {

template <typename T>
void WhenModal(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  auto polls = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, polls, act] {
    QWidget* modal = QApplication::activeModalWidget();
    T* dialog = qobject_cast<T*>(modal);
    if (!dialog && ++*polls < 500) return;
    timer->stop();
    timer->deleteLater();
    if (dialog)
      act(dialog);
    else if (auto* stray = qobject_cast<QDialog*>(modal))
      stray->reject();
  });
  timer->start(10);
}

// A dialog's child widget by object name; the test stops when there is none.
template <typename T = QWidget>
T* Child(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QString::fromLatin1(name));
  if (!child) qFatal("no child %s", name);
  return child;
}

}  // namespace tolvane::test
