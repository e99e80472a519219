// The menu items "設定" and "サーバー設定" of the real main window open the two dialogs over the
// window's own settings, list selector and extension table.
#include "GeneralSettingsDialog.h"
#include "ServerSettingsDialog.h"
#include "SettingsDialogRig.h"
#include "app/MainWindowRig.h"
#include "window/BusyGuard.h"

namespace tolvane::test {

class SettingsMenuTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void serverSettingsEditTheWindowsTable();
  void generalSettingsOfferTheWindowsLists();
  void refusedWhileARunIsInProgress();
};

void SettingsMenuTest::serverSettingsEditTheWindowsTable() {
  MainWindowRig rig;
  rig.dir.Write("mode.ini", "html\r\n");
  rig.Start();
  QStringList items;
  WhenModal<ServerSettingsDialog>([&](ServerSettingsDialog* d) {
    auto* list = Child<QListWidget>(d, "extList");
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    Type(d, "extEdit", "css");
    Click(d, "addButton");
    Type(d, "hostEdit", "ftp.example.jp:2121");
    Click(d, "okButton");
  });
  rig.Action("serverSettingsAction")->trigger();
  QCOMPARE(items, QStringList({"*.html"}));
  QCOMPARE(rig.window->State().m_asciiExts, std::vector<std::string>({"html", "css"}));
  QCOMPARE(rig.settings.hostname, std::string("ftp.example.jp:2121"));
  QCOMPARE(rig.dir.Read("mode.ini"), std::string("html\r\ncss\r\n"));
}

void SettingsMenuTest::generalSettingsOfferTheWindowsLists() {
  MainWindowRig rig;
  rig.List("a", {});
  rig.List("b", {});
  rig.Ini("[main]\nstart=b\n");
  rig.Start();
  QStringList lists;
  int selected = -1;
  WhenModal<GeneralSettingsDialog>([&](GeneralSettingsDialog* d) {
    auto* combo = Child<QComboBox>(d, "startCombo");
    for (int i = 0; i < combo->count(); ++i) lists << combo->itemText(i);
    selected = combo->currentIndex();
    combo->setCurrentIndex(0);
    Click(d, "okButton");
  });
  rig.Action("settingsAction")->trigger();
  QCOMPARE(lists, rig.ComboItems());
  QCOMPARE(selected, 1);
  QCOMPARE(rig.settings.start, std::string("a"));
  QCOMPARE(rig.Combo()->currentText(), QString("b"));  // the window's own list stays
}

void SettingsMenuTest::refusedWhileARunIsInProgress() {
  MainWindowRig rig;
  rig.Start();
  rig.window->State().m_busy = true;
  rig.Action("serverSettingsAction")->trigger();
  rig.Action("settingsAction")->trigger();
  QCOMPARE(rig.prompts.shown.size(), size_t(2));
  for (const Shown& shown : rig.prompts.shown) QCOMPARE(shown.text, std::string(kBusyMessage));
  QVERIFY(!rig.dir.Exists("mode.ini"));
  rig.window->State().m_busy = false;
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::SettingsMenuTest)
#include "SettingsMenuTest.moc"
