// The timer list dialog and the entry editor: their controls, the kind rule on screen, the
// add, edit and delete flows, and timer.ini on disk after OK or Cancel.
#include <QApplication>
#include <QTimer>

#include "TimerDialogRig.h"
#include "schedule/TimerFile.h"

namespace tolvane::test {

class TimerListDialogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void listDialogShowsTheFile();
  void editorLooksAsExpectedWhenAdding();
  void kindChoiceEnablesTheFields();
  void addedEntriesReachTheFileOnOk();
  void editReplacesTheVeryRow();
  void deletingTheOnlyEntryWritesAnEmptyFile();
  void cancelWritesNothing();
  void integerPromptFocusesTheField();
  void enterNeverConfirmsAndEscapeCancels();
  void ticksGoOnUnderTheDialogs();
};

void TimerListDialogTest::listDialogShowsTheFile() {
  TimerDialogRig rig;
  rig.File({"210805", "ウェブ", "7000", "bad", "5045", "web"});
  TimerListDialog* d = rig.Open();
  QCOMPARE(d->windowTitle(), QString("タイマー設定"));
  QCOMPARE(Child<QLabel>(d, "timerListLabel")->text(), QString("タイマー設定一覧"));
  QCOMPARE(rig.List()->accessibleName(), QString("タイマー設定一覧"));
  QCOMPARE(rig.List()->selectionMode(), QAbstractItemView::SingleSelection);
  QCOMPARE(rig.Rows(), QStringList({"毎日08時05分-OFF-ウェブ", "毎時間45分-web"}));
  QCOMPARE(rig.List()->selectedItems().size(), 0);
  for (const char* button : {"addButton", "editButton", "deleteButton", "okButton"}) {
    QVERIFY(!Child<QPushButton>(d, button)->isDefault());
  }
  QCOMPARE(Child<QPushButton>(d, "cancelButton")->text(), QString("キャンセル"));
}

void TimerListDialogTest::editorLooksAsExpectedWhenAdding() {
  TimerDialogRig rig;
  rig.Open();
  QString title;
  QStringList kinds, weekdays, lists, names, enabled, texts;
  int listIndex = 0;
  bool checked = true;
  rig.WithEditor("addButton", [&](TimerEntryDialog* d) {
    title = d->windowTitle();
    auto items = [d](const char* name) {
      QStringList out;
      QComboBox* combo = Child<QComboBox>(d, name);
      for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
      return out;
    };
    kinds = items("kindCombo");
    weekdays = items("weekdayCombo");
    lists = items("listCombo");
    for (const char* name : {"kindCombo", "monthEdit", "dayEdit", "weekdayCombo", "hourEdit",
                             "minuteEdit", "listCombo"}) {
      QWidget* w = Child<QWidget>(d, name);
      names << w->accessibleName();
      if (w->isEnabled()) enabled << name;
      if (auto* edit = qobject_cast<QLineEdit*>(w)) texts << edit->text();
    }
    listIndex = Child<QComboBox>(d, "listCombo")->currentIndex();
    checked = Child<QCheckBox>(d, "shutdownCheck")->isChecked();
    d->reject();
  });
  QCOMPARE(title, QString("設定追加"));
  QCOMPARE(kinds, QStringList({"日時", "毎日", "毎週", "毎月", "毎時間"}));
  QCOMPARE(weekdays, QStringList({"日", "月", "火", "水", "木", "金", "土"}));
  QCOMPARE(lists, QStringList({"web", "ウェブ"}));
  QCOMPARE(names, QStringList({"設定", "月", "日", "曜日", "時", "分", "アップロードするリスト"}));
  QCOMPARE(enabled, QStringList({"kindCombo", "monthEdit", "dayEdit", "hourEdit", "minuteEdit",
                                 "listCombo"}));
  QCOMPARE(texts, QStringList({"0", "0", "0", "0"}));
  QCOMPARE(listIndex, -1);
  QVERIFY(!checked);
}

void TimerListDialogTest::kindChoiceEnablesTheFields() {
  TimerDialogRig rig;
  rig.Open();
  QStringList seen;
  rig.WithEditor("addButton", [&](TimerEntryDialog* d) {
    Type(d, "1", "2", "3", "4");
    Child<QComboBox>(d, "weekdayCombo")->setCurrentIndex(5);
    for (int kind : {2, 4, 3, 1, 0}) {
      ChooseKind(d, kind);
      QString on;
      for (const char* name : {"monthEdit", "dayEdit", "weekdayCombo", "hourEdit", "minuteEdit"}) {
        on += Child<QWidget>(d, name)->isEnabled() ? "1" : "0";
      }
      seen << on + " " + Child<QComboBox>(d, "weekdayCombo")->currentText();
    }
    // Disabled fields keep what they hold.
    seen << Child<QLineEdit>(d, "monthEdit")->text() + Child<QLineEdit>(d, "dayEdit")->text();
    d->reject();
  });
  QCOMPARE(seen, QStringList({"00111 日", "00001 日", "01011 日", "00011 日", "11011 日", "12"}));
  QCOMPARE(rig.File(), std::string());
}

void TimerListDialogTest::addedEntriesReachTheFileOnOk() {
  TimerDialogRig rig;
  rig.File({"200900", "web"});
  rig.Open();
  rig.WithEditor("addButton", [](TimerEntryDialog* d) {
    ChooseKind(d, 2);
    Child<QComboBox>(d, "weekdayCombo")->setCurrentIndex(3);
    Type(d, "0", "0", " 7", "5");
    Child<QComboBox>(d, "listCombo")->setCurrentIndex(1);
    Child<QCheckBox>(d, "shutdownCheck")->setChecked(true);
    Click(d, "okButton");
  });
  rig.WithEditor("addButton", [](TimerEntryDialog* d) {
    Type(d, "3", "15", "11", "59");  // passed today: next year
    Child<QComboBox>(d, "listCombo")->setCurrentIndex(0);
    Click(d, "okButton");
  });
  QCOMPARE(rig.Rows(), QStringList({"毎日09時00分-web", "毎週水曜日07時05分-OFF-ウェブ",
                                    "2027年03月15日11時59分-web"}));
  QVERIFY(rig.prompts.shown.empty());
  QCOMPARE(rig.File(), TimerBytes({"200900", "web"}));
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  const std::string expected =
      "200900\r\nweb\r\n3130705\r\n\x83\x45\x83\x46\x83\x75\r\n"
      "10202703151159\r\nweb\r\n";
  QCOMPARE(rig.File(), expected);
  // The day selection follows at once (2026-03-15 is a Sunday: the Wednesday entry waits).
  QVERIFY(rig.state.m_todayEntries == PairEntries({"200900", "web"}));
}

void TimerListDialogTest::editReplacesTheVeryRow() {
  TimerDialogRig rig;
  rig.File({"5010", "web", "41312359", "WEB", "10202612241800", "ウェブ"});
  rig.Open();
  rig.Select(1);
  QString title, kind, fields, list;
  bool checked = false;
  rig.WithEditor("editButton", [&](TimerEntryDialog* d) {
    title = d->windowTitle();
    kind = Child<QComboBox>(d, "kindCombo")->currentText();
    for (const char* name : {"monthEdit", "dayEdit", "hourEdit", "minuteEdit"}) {
      fields += Child<QLineEdit>(d, name)->text() + "/";
    }
    list = Child<QComboBox>(d, "listCombo")->currentText();  // "WEB" is found as "web"
    checked = Child<QCheckBox>(d, "shutdownCheck")->isChecked();
    ChooseKind(d, 1);
    Child<QLineEdit>(d, "minuteEdit")->setText("30");
    Child<QCheckBox>(d, "shutdownCheck")->setChecked(false);
    Click(d, "okButton");
  });
  QCOMPARE(title, QString("設定編集"));
  QCOMPARE(kind, QString("毎月"));
  QCOMPARE(fields, QString("0/31/23/59/"));
  QCOMPARE(list, QString("web"));
  QVERIFY(checked);
  QCOMPARE(rig.Rows(),
           QStringList({"毎時間10分-web", "毎日23時30分-web", "2026年12月24日18時00分-ウェブ"}));
  rig.Press("okButton");
  QCOMPARE(rig.File(), TimerBytes({"5010", "web", "202330", "web", "10202612241800", "ウェブ"}));
}

void TimerListDialogTest::deletingTheOnlyEntryWritesAnEmptyFile() {
  TimerDialogRig rig;
  rig.File({"200900", "web"});
  rig.Open();
  rig.Press("deleteButton");
  rig.Press("editButton");
  QCOMPARE(rig.prompts.shown.size(), size_t(2));
  QCOMPARE(rig.prompts.shown[1].text, std::string("タイマー設定が選択されていません"));
  rig.Select(0);
  rig.Press("deleteButton");
  QCOMPARE(rig.List()->count(), 0);
  QCOMPARE(rig.prompts.shown.size(), size_t(2));  // deleted without asking
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QVERIFY(rig.dir.Exists("timer.ini"));
  QCOMPARE(rig.File(), std::string());
}

void TimerListDialogTest::cancelWritesNothing() {
  TimerDialogRig rig;
  const std::vector<std::string> lines = {"200900", "web", "5030", "ウェブ"};
  rig.File(lines);
  rig.ticker.RebuildDaySelection();
  rig.Open();
  rig.WithEditor("addButton", [](TimerEntryDialog* d) {
    ChooseKind(d, 4);
    Child<QComboBox>(d, "listCombo")->setCurrentIndex(0);
    Click(d, "okButton");
  });
  rig.Select(0);
  rig.WithEditor("editButton", [](TimerEntryDialog* d) {
    Child<QLineEdit>(d, "hourEdit")->setText("10");
    Click(d, "okButton");
  });
  rig.Select(1);
  rig.Press("deleteButton");
  QCOMPARE(rig.Rows(), QStringList({"毎日10時00分-web", "毎時間00分-web"}));
  rig.Press("cancelButton");
  QVERIFY(rig.EndedWith(QDialog::Rejected));
  QCOMPARE(rig.File(), TimerBytes(lines));
  QVERIFY(rig.state.m_todayEntries == PairEntries(lines));
}

void TimerListDialogTest::integerPromptFocusesTheField() {
  TimerDialogRig rig;
  rig.Open();
  QStringList focused;
  bool stillOpen = false;
  rig.WithEditor("addButton", [&](TimerEntryDialog* d) {
    QVERIFY(QTest::qWaitForWindowExposed(d));
    Type(d, "3", "15", "9", "");
    Child<QComboBox>(d, "listCombo")->setCurrentIndex(0);
    Click(d, "okButton");
    focused << (d->focusWidget() ? d->focusWidget()->objectName() : QString());
    // Letters in a field the kind then disables are still read.
    Type(d, "x", "15", "9", "0");
    ChooseKind(d, 1);
    Click(d, "okButton");
    stillOpen = d->isVisible();
    d->reject();
  });
  QCOMPARE(focused, QStringList({"minuteEdit"}));
  QVERIFY(stillOpen);
  QCOMPARE(rig.prompts.shown.size(), size_t(2));
  for (const Shown& shown : rig.prompts.shown) {
    QCOMPARE(shown.text, std::string("Please enter an integer."));
    QCOMPARE(shown.caption, std::string("トルヴェイン"));
    QVERIFY(shown.icon == Icon::Warning);
  }
  QCOMPARE(rig.List()->count(), 0);
}

void TimerListDialogTest::enterNeverConfirmsAndEscapeCancels() {
  TimerDialogRig rig;
  rig.File({"200900", "web"});
  TimerListDialog* d = rig.Open();
  QVERIFY(QTest::qWaitForWindowExposed(d));
  bool editorOpen = false;
  rig.Select(0);
  rig.WithEditor("editButton", [&](TimerEntryDialog* e) {
    for (const char* name : {"okButton", "minuteEdit", "kindCombo"}) {
      Child<QWidget>(e, name)->setFocus();
      QTest::keyClick(Child<QWidget>(e, name), Qt::Key_Return);
      QTest::keyClick(Child<QWidget>(e, name), Qt::Key_Enter);
    }
    editorOpen = e->isVisible();
    QTest::keyClick(e, Qt::Key_Escape);
  });
  QVERIFY(editorOpen);
  QVERIFY(rig.prompts.shown.empty());
  for (const char* name : {"okButton", "timerList"}) {
    Child<QWidget>(d, name)->setFocus();
    QTest::keyClick(Child<QWidget>(d, name), Qt::Key_Return);
  }
  QVERIFY(d->isVisible());
  QTest::keyClick(d, Qt::Key_Escape);
  QVERIFY(rig.EndedWith(QDialog::Rejected));
  QCOMPARE(rig.File(), TimerBytes({"200900", "web"}));
}

void TimerListDialogTest::ticksGoOnUnderTheDialogs() {
  // The main window's 250 ms tick is a QTimer: it must keep firing while the dialogs' own
  // loops run. Nothing here waits in a loop of its own.
  TimerDialogRig rig;
  int ticks = 0;
  QTimer tick;
  tick.setInterval(25);
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  tick.start();
  TimerListDialog dialog(rig.ctx, rig.ticker);
  int underList = 0, underEditor = 0;
  WhenModal<TimerListDialog>([&](TimerListDialog* d) {
    const int listStart = ticks;
    QTimer::singleShot(300, d, [&, d, listStart] {
      underList = ticks - listStart;
      WhenModal<TimerEntryDialog>([&](TimerEntryDialog* e) {
        const int editorStart = ticks;
        QTimer::singleShot(300, e, [&, e, editorStart] {
          underEditor = ticks - editorStart;
          e->reject();
        });
      });
      Click(d, "addButton");
      d->reject();
    });
  });
  dialog.exec();
  QVERIFY2(underList >= 5, qPrintable(QString::number(underList)));
  QVERIFY2(underEditor >= 5, qPrintable(QString::number(underEditor)));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::TimerListDialogTest)
#include "TimerListDialogTest.moc"
