// The main window's menu command "タイマー設定" on the real window.
#include <QAction>
#include <QLineEdit>
#include <QTest>

#include "TimerEntryDialog.h"
#include "TimerListDialog.h"
#include "app/MainWindowRig.h"
#include "lists/WhenModal.h"
#include "schedule/TimerFile.h"

namespace tolvane::test {

class TimerMenuTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void refusedWithoutListsOrDuringARun();
  void entryAddedThroughTheMenuIsScheduledAtOnce();
};

// Presses the menu item; any dialog it opens is recorded and closed.
static bool OpensADialog(MainWindowRig& rig) {
  bool opened = false;
  QTimer::singleShot(500, [&] {
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      opened = true;
      modal->reject();
    }
  });
  rig.Action("timerSettingsAction")->trigger();
  QTest::qWait(600);
  return opened;
}

void TimerMenuTest::refusedWithoutListsOrDuringARun() {
  MainWindowRig rig;
  rig.Start();
  QVERIFY(!OpensADialog(rig));
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストが無いので設定できません"));
  QCOMPARE(rig.prompts.shown[0].caption, std::string("エラー"));
  QVERIFY(rig.prompts.shown[0].icon == Icon::Warning);

  MainWindowRig busy;
  busy.List("web", {});
  busy.Start().State().m_busy = true;
  QVERIFY(!OpensADialog(busy));
  QCOMPARE(busy.prompts.shown.size(), size_t(1));
  busy.window->State().m_busy = false;
  QVERIFY(OpensADialog(busy));
}

void TimerMenuTest::entryAddedThroughTheMenuIsScheduledAtOnce() {
  MainWindowRig rig;
  rig.List("web", {});
  rig.List("ウェブ", {});
  rig.Ini("[timer]\ntimer=1\n");
  MainWindow& window = rig.Start();
  QStringList lists;
  WhenModal<TimerListDialog>([&](TimerListDialog* list) {
    WhenModal<TimerEntryDialog>([&](TimerEntryDialog* entry) {
      QComboBox* combo = entry->findChild<QComboBox*>("listCombo");
      for (int i = 0; i < combo->count(); ++i) lists << combo->itemText(i);
      QComboBox* kind = entry->findChild<QComboBox*>("kindCombo");
      kind->setCurrentIndex(1);
      Q_EMIT kind->activated(1);
      entry->findChild<QLineEdit*>("hourEdit")->setText("3");
      entry->findChild<QLineEdit*>("minuteEdit")->setText("30");
      combo->setCurrentIndex(1);
      QTest::mouseClick(entry->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    QTest::mouseClick(list->findChild<QPushButton*>("addButton"), Qt::LeftButton);
    QTest::mouseClick(list->findChild<QPushButton*>("okButton"), Qt::LeftButton);
  });
  rig.Action("timerSettingsAction")->trigger();
  QCOMPARE(lists, QStringList({"web", "ウェブ"}));
  QVERIFY(rig.prompts.shown.empty());
  QCOMPARE(rig.dir.Read("timer.ini"), std::string("200330\r\n\x83\x45\x83\x46\x83\x75\r\n"));
  QVERIFY(window.State().m_todayEntries == PairEntries({"200330", "ウェブ"}));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::TimerMenuTest)
#include "TimerMenuTest.moc"
