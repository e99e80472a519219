// The server settings dialog driven through its controls, over a temporary settings file.
#include "ServerSettingsDialog.h"
#include "SettingsDialogRig.h"

namespace tolvane::test {

namespace {

constexpr const char* kIni =
    "[main]\r\nhostname=ftp.example.jp\r\nusername=\x83T\x83\x43\x83g\r\n"
    "serverfolder=/www\r\npasv=0\r\nstime=-9\r\n";

QStringList Items(QWidget* d) {
  QStringList items;
  auto* list = Child<QListWidget>(d, "extList");
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

}  // namespace

class ServerSettingsDialogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void showsTheSettingsAndTheExtensions();
  void addAndDeleteEditTheListUntilOk();
  void unreadableMinutesKeepTheDialogOpen();
  void okWithoutChangesAndCancelWriteNothing();
  void enterNeverConfirms();
};

void ServerSettingsDialogTest::showsTheSettingsAndTheExtensions() {
  SettingsDialogRig rig;
  rig.Load(kIni);
  QVERIFY(StorePassword(rig.settings, "秘密") == PasswordStore::Ok);
  LoadSettings(rig.settings);
  rig.state.m_asciiExts = {"html", "", "PL"};
  ServerSettingsDialog dlg(rig.ctx);
  dlg.show();
  QCOMPARE(dlg.windowTitle(), QString("サーバー設定"));
  QCOMPARE(Edit(&dlg, "hostEdit")->text(), QString("ftp.example.jp"));
  QCOMPARE(Edit(&dlg, "userEdit")->text(), QString("サイト"));
  QCOMPARE(Edit(&dlg, "passwordEdit")->text(), QString("秘密"));
  QCOMPARE(Edit(&dlg, "passwordEdit")->echoMode(), QLineEdit::Password);
  QCOMPARE(Edit(&dlg, "folderEdit")->text(), QString("/www"));
  QCOMPARE(Edit(&dlg, "minutesEdit")->text(), QString("-9"));
  QVERIFY(!Check(&dlg, "passiveModeCheck")->isChecked());
  QVERIFY(Check(&dlg, "tempNameCheck")->isChecked());  // absent from kestra.ini: on
  QCOMPARE(Items(&dlg), QStringList({"*.html", "*.", "*.PL"}));
  QVERIFY(Edit(&dlg, "hostEdit")->toolTip().contains("ftp.example.jp:2121"));
  const std::pair<const char*, QString> named[] = {
      {"hostEdit", "サーバー名"},
      {"userEdit", "ユーザー名"},
      {"passwordEdit", "パスワード"},
      {"folderEdit", "サーバーの初期フォルダ"},
      {"minutesEdit", "サーバー時間補正"},
      {"extEdit", "追加する拡張子"},
      {"extList", "アスキーモードで転送する拡張子"},
  };
  for (const auto& [name, accessible] : named) {
    QCOMPARE(Child<QWidget>(&dlg, name)->accessibleName(), accessible);
  }
  QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(Edit(&dlg, "hostEdit")));
}

void ServerSettingsDialogTest::addAndDeleteEditTheListUntilOk() {
  SettingsDialogRig rig;
  rig.state.m_asciiExts = {"HTML", "txt"};
  ServerSettingsDialog dlg(rig.ctx);
  dlg.show();
  Type(&dlg, "extEdit", "html");
  Click(&dlg, "addButton");
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("この拡張子はすでに設定されています"));
  QCOMPARE(Edit(&dlg, "extEdit")->text(), QString("html"));
  Type(&dlg, "extEdit", "");
  Click(&dlg, "addButton");
  Type(&dlg, "extEdit", "*.txt");
  Click(&dlg, "addButton");
  QCOMPARE(Edit(&dlg, "extEdit")->text(), QString("*.txt"));
  QCOMPARE(Items(&dlg), QStringList({"*.HTML", "*.txt", "*.", "*.*.txt"}));

  auto* list = Child<QListWidget>(&dlg, "extList");
  Click(&dlg, "deleteButton");  // nothing selected: nothing happens
  QCOMPARE(list->count(), 4);
  list->setCurrentRow(1);
  Click(&dlg, "deleteButton");
  QCOMPARE(Items(&dlg), QStringList({"*.HTML", "*.", "*.*.txt"}));
  QVERIFY(list->selectedItems().isEmpty());
  QVERIFY(!rig.dir.Exists("mode.ini"));

  Click(&dlg, "okButton");
  QVERIFY(!dlg.isVisible());
  QCOMPARE(dlg.result(), int(QDialog::Accepted));
  QCOMPARE(rig.dir.Read("mode.ini"), std::string("HTML\r\n\r\n*.txt\r\n"));
  QCOMPARE(rig.state.m_asciiExts, std::vector<std::string>({"HTML", "", "*.txt"}));
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QVERIFY(!rig.dir.Exists("kestra.ini"));
}

void ServerSettingsDialogTest::unreadableMinutesKeepTheDialogOpen() {
  SettingsDialogRig rig;
  rig.Load(kIni);
  QVERIFY(StorePassword(rig.settings, "old") == PasswordStore::Ok);
  LoadSettings(rig.settings);
  ServerSettingsDialog dlg(rig.ctx);
  dlg.show();
  Type(&dlg, "hostEdit", "FTP.example.jp");
  Type(&dlg, "passwordEdit", "");
  Tick(Check(&dlg, "passiveModeCheck"));
  Tick(Check(&dlg, "tempNameCheck"));
  for (const char* minutes : {"abc", ""}) {
    Type(&dlg, "minutesEdit", minutes);
    Click(&dlg, "okButton");
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(Edit(&dlg, "minutesEdit")));
    QCOMPARE(rig.prompts.shown.back().text, std::string("Please enter an integer."));
  }
  QCOMPARE(rig.prompts.shown.size(), size_t(2));
  AppSettings stored = SettingsIn(rig.dir);
  LoadSettings(stored);
  QCOMPARE(stored.hostname, std::string("FTP.example.jp"));
  QCOMPARE(stored.password, std::string());
  QCOMPARE(stored.passiveMode, uint8_t(1));
  QCOMPARE(stored.temporaryNames, uint8_t(0));
  QVERIFY(rig.Ini().find("tempname=0\r\n") != std::string::npos);
  QCOMPARE(stored.clockCorrectionMinutes, -9);

  Type(&dlg, "minutesEdit", "5abc");
  Click(&dlg, "okButton");
  QVERIFY(!dlg.isVisible());
  QCOMPARE(dlg.result(), int(QDialog::Accepted));
  QCOMPARE(rig.settings.clockCorrectionMinutes, 5);
  LoadSettings(stored);
  QCOMPARE(stored.clockCorrectionMinutes, 5);
}

void ServerSettingsDialogTest::okWithoutChangesAndCancelWriteNothing() {
  SettingsDialogRig rig;
  rig.Load(kIni);
  rig.state.m_asciiExts = {"html"};
  const std::string before = rig.Ini();
  {
    ServerSettingsDialog dlg(rig.ctx);
    dlg.show();
    Click(&dlg, "okButton");
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
  }
  // Every way out but OK discards the edits.
  const std::function<void(ServerSettingsDialog&)> cancels[] = {
      [](ServerSettingsDialog& d) { Click(&d, "cancelButton"); },
      [](ServerSettingsDialog& d) { QTest::keyClick(Edit(&d, "hostEdit"), Qt::Key_Escape); },
      [](ServerSettingsDialog& d) { d.close(); },
  };
  for (const auto& cancel : cancels) {
    ServerSettingsDialog dlg(rig.ctx);
    dlg.show();
    Type(&dlg, "hostEdit", "changed");
    Type(&dlg, "minutesEdit", "30");
    Child<QListWidget>(&dlg, "extList")->setCurrentRow(0);
    Click(&dlg, "deleteButton");
    cancel(dlg);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
  }
  QCOMPARE(rig.Ini(), before);
  QVERIFY(!rig.dir.Exists("mode.ini"));
  QCOMPARE(rig.state.m_asciiExts, std::vector<std::string>({"html"}));
  QCOMPARE(rig.settings.hostname, std::string("ftp.example.jp"));
  QVERIFY(rig.prompts.shown.empty());
}

void ServerSettingsDialogTest::enterNeverConfirms() {
  SettingsDialogRig rig;
  ServerSettingsDialog dlg(rig.ctx);
  bool open = false;
  WhenModal<ServerSettingsDialog>([&](ServerSettingsDialog* d) {
    Type(d, "hostEdit", "h");
    QTest::keyClick(Edit(d, "hostEdit"), Qt::Key_Return);
    QTest::keyClick(Edit(d, "minutesEdit"), Qt::Key_Enter);
    QTest::keyClick(Child<QPushButton>(d, "okButton"), Qt::Key_Return);
    open = d->isVisible() && d->result() == 0;
    QTest::keyClick(Edit(d, "hostEdit"), Qt::Key_Escape);
  });
  QCOMPARE(dlg.exec(), int(QDialog::Rejected));
  QVERIFY(open);
  QVERIFY(!rig.dir.Exists("kestra.ini"));
  for (QPushButton* button : dlg.findChildren<QPushButton*>()) {
    QVERIFY(!button->isDefault() && !button->autoDefault());
  }
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::ServerSettingsDialogTest)
#include "ServerSettingsDialogTest.moc"
