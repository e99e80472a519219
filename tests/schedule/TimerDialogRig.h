#pragma once
// The timer list dialog over a temporary executable folder, with a fake main window and clock.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "TimerEntryDialog.h"
#include "TimerListDialog.h"
#include "lists/WhenModal.h"
#include "platform/Cp932.h"
#include "schedule/LocalClock.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "window/MainState.h"

namespace tolvane::test {

inline void Click(QWidget* dialog, const char* button) {
  QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

// timer.ini's exact bytes: code page 932, every line ending in CR LF.
inline std::string TimerBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += ToCp932(line).value() + "\r\n";
  return bytes;
}

struct TimerDialogRig : FakeMain {
  FakeShutdown shutdown;
  ScheduleTicker ticker{ctx, shutdown, [](const TimerEntry&) {}};
  std::unique_ptr<TimerListDialog> dialog;

  TimerDialogRig() {
    clock.now = LocalSeconds(2026, 3, 15, 12, 0);  // a Sunday noon (TZ=Asia/Tokyo)
    view.lists = {"web", "ウェブ"};
  }

  void File(const std::vector<std::string>& lines) const {
    dir.Write("timer.ini", TimerBytes(lines));
  }
  std::string File() const { return dir.Read("timer.ini"); }

  // Opens the list dialog, shown but not modal, so that a test can press its buttons.
  TimerListDialog* Open() {
    dialog = std::make_unique<TimerListDialog>(ctx, ticker);
    dialog->show();
    return dialog.get();
  }
  void Press(const char* button) const { Click(dialog.get(), button); }
  QListWidget* List() const { return Child<QListWidget>(dialog.get(), "timerList"); }
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < List()->count(); ++i) rows << List()->item(i)->text();
    return rows;
  }
  void Select(int row) const { List()->setCurrentRow(row); }
  bool EndedWith(int result) const { return !dialog->isVisible() && dialog->result() == result; }

  // Presses `button` and lets `act` work the entry editor that opens.
  void WithEditor(const char* button, std::function<void(TimerEntryDialog*)> act) const {
    WhenModal<TimerEntryDialog>(std::move(act));
    Press(button);
  }
};

// Sets the entry editor's fields, as typed.
inline void Type(TimerEntryDialog* d, const QString& month, const QString& day, const QString& hour,
                 const QString& minute) {
  Child<QLineEdit>(d, "monthEdit")->setText(month);
  Child<QLineEdit>(d, "dayEdit")->setText(day);
  Child<QLineEdit>(d, "hourEdit")->setText(hour);
  Child<QLineEdit>(d, "minuteEdit")->setText(minute);
}

// Chooses a kind the way a person does, so the dialog hears of it.
inline void ChooseKind(TimerEntryDialog* d, int index) {
  QComboBox* kind = Child<QComboBox>(d, "kindCombo");
  kind->setCurrentIndex(index);
  Q_EMIT kind->activated(index);
}

}  // namespace tolvane::test
