#pragma once
// Answers a modal dialog from inside its own event loop: polls for the next modal dialog of
// type T and hands it to `act` once. Gives up after a few seconds by rejecting whatever modal
// dialog is open, so a test never hangs.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace tolvane::test {

template <typename T>
void WhenModal(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    QWidget* modal = QApplication::activeModalWidget();
    T* dialog = qobject_cast<T*>(modal);
    if (!dialog && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    delete clock;
    if (dialog) {
      act(dialog);
    } else if (auto* stray = qobject_cast<QDialog*>(modal)) {
      stray->reject();
    }
  });
  timer->start();
}

}  // namespace tolvane::test
