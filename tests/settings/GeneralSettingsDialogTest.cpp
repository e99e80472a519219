// The general settings dialog driven through its controls, over a temporary settings file.
#include "GeneralSettingsDialog.h"
#include "SettingsDialogRig.h"

namespace tolvane::test {

namespace {

QComboBox* Combo(QWidget* d) { return Child<QComboBox>(d, "startCombo"); }

const char* const kBoxes[] = {"shiftCheck",       "ctrlCheck",
                              "logFtpCheck",      "minimizeToTrayCheck",
                              "startInTrayCheck", "raiseOnScheduledRunCheck"};

}  // namespace

class GeneralSettingsDialogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void showsTheSettingsAndTheLists();
  void withoutListsStartIsLeftAlone();
  void aStartNamingNoListStoresTheFirst();
  void pickersFillTheBoxes();
  void onlyOkWrites();
  void autostartBoxFollowsTheFile();
};

void GeneralSettingsDialogTest::showsTheSettingsAndTheLists() {
  SettingsDialogRig rig;
  rig.Load(
      "[main]\r\nstart=web\r\nlocalfolder=/home/u/\x95\x5C\r\neditor=/usr/bin/kate\r\n"
      "shift=1\r\nlogftp=1\r\n[timer]\r\nsaisyou=2\r\nzenmen=1\r\n");
  rig.view.lists = {"a", "web", "b", "web"};
  GeneralSettingsDialog dlg(rig.ctx);
  dlg.show();
  QCOMPARE(dlg.windowTitle(), QString("設定"));
  QCOMPARE(Combo(&dlg)->count(), 4);
  QCOMPARE(Combo(&dlg)->itemText(2), QString("b"));
  QCOMPARE(Combo(&dlg)->currentIndex(), 3);
  QCOMPARE(Edit(&dlg, "localEdit")->text(), QString("/home/u/表"));
  QCOMPARE(Edit(&dlg, "editorEdit")->text(), QString("/usr/bin/kate"));
  const bool expected[] = {true, false, true, false, false, true};  // minimizeToTray=2 is off
  for (int i = 0; i < 6; ++i) QCOMPARE(Check(&dlg, kBoxes[i])->isChecked(), expected[i]);
  QCOMPARE(Combo(&dlg)->accessibleName(), QString("起動時に表示するリスト"));
  QCOMPARE(Edit(&dlg, "localEdit")->accessibleName(), QString("ローカルの初期フォルダ"));
  QCOMPARE(Edit(&dlg, "editorEdit")->accessibleName(), QString("使用するエディタ"));
  QCOMPARE(Check(&dlg, "startInTrayCheck")->text(), QString("起動時にタスクトレイに常駐させる"));
  QCOMPARE(Check(&dlg, "logFtpCheck")->text(), QString("FTPの通信をログに記録する"));
  // Choosing a start-up list is not choosing the main window's list.
  Combo(&dlg)->setCurrentIndex(0);
  QCOMPARE(rig.view.listSelection, -1);
}

void GeneralSettingsDialogTest::withoutListsStartIsLeftAlone() {
  SettingsDialogRig rig;
  rig.Load("[main]\r\nstart=gone\r\n");
  GeneralSettingsDialog dlg(rig.ctx);
  dlg.show();
  QCOMPARE(Combo(&dlg)->count(), 0);
  QCOMPARE(Combo(&dlg)->currentIndex(), -1);
  Type(&dlg, "editorEdit", "/usr/bin/kate");
  Tick(Check(&dlg, "logFtpCheck"));
  Click(&dlg, "okButton");
  QCOMPARE(dlg.result(), int(QDialog::Accepted));
  QCOMPARE(rig.Ini(), std::string("[main]\r\nstart=gone\r\neditor=/usr/bin/kate\r\nlogftp=1\r\n"));
  QCOMPARE(rig.settings.start, std::string("gone"));
  QCOMPARE(rig.settings.logFtp, uint8_t(1));
}

void GeneralSettingsDialogTest::aStartNamingNoListStoresTheFirst() {
  SettingsDialogRig rig;
  rig.Load("[main]\r\nstart=gone\r\n");
  rig.view.lists = {"サイト", "b"};
  GeneralSettingsDialog dlg(rig.ctx);
  dlg.show();
  QCOMPARE(Combo(&dlg)->currentIndex(), 0);
  Click(&dlg, "okButton");
  QCOMPARE(rig.Ini(), std::string("[main]\r\nstart=\x83T\x83\x43\x83g\r\n"));
  QCOMPARE(rig.settings.start, std::string("サイト"));
}

void GeneralSettingsDialogTest::pickersFillTheBoxes() {
  SettingsDialogRig rig;
  rig.Load("[main]\r\nlocalfolder=/old\r\n");
  GeneralSettingsDialog dlg(rig.ctx);
  QList<QUrl> folders = {QUrl(), QUrl("sftp://host/www"), QUrl::fromLocalFile("/home/u/サイト")};
  QStringList programs = {QString(), "/opt/My Editor/edit"};
  QList<QWidget*> parents;
  dlg.SetFolderPicker([&](QWidget* parent) {
    parents << parent;
    return folders.takeFirst();
  });
  dlg.SetProgramPicker([&](QWidget* parent) {
    parents << parent;
    return programs.takeFirst();
  });
  dlg.show();
  Click(&dlg, "localBrowseButton");  // cancelled
  QCOMPARE(Edit(&dlg, "localEdit")->text(), QString("/old"));
  QVERIFY(rig.prompts.shown.empty());
  Click(&dlg, "localBrowseButton");  // no local path behind it
  QCOMPARE(Edit(&dlg, "localEdit")->text(), QString("/old"));
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("フォルダパスを取得できませんでした"));
  QCOMPARE(rig.prompts.shown[0].caption, std::string("エラー"));
  QCOMPARE(rig.prompts.shown[0].icon, Icon::Warning);
  Click(&dlg, "localBrowseButton");
  QCOMPARE(Edit(&dlg, "localEdit")->text(), QString("/home/u/サイト"));

  Type(&dlg, "editorEdit", "typed");
  Click(&dlg, "editorBrowseButton");  // cancelled
  QCOMPARE(Edit(&dlg, "editorEdit")->text(), QString("typed"));
  Click(&dlg, "editorBrowseButton");
  QCOMPARE(Edit(&dlg, "editorEdit")->text(), QString("/opt/My Editor/edit"));
  QCOMPARE(parents, QList<QWidget*>(5, &dlg));
  QCOMPARE(rig.settings.localfolder, std::string("/old"));  // nothing stored before OK

  Click(&dlg, "okButton");
  QCOMPARE(rig.settings.localfolder, std::string("/home/u/サイト"));
  QCOMPARE(rig.settings.editor, std::string("/opt/My Editor/edit"));
}

void GeneralSettingsDialogTest::onlyOkWrites() {
  SettingsDialogRig rig;
  rig.Load("[main]\r\nstart=b\r\nshift=1\r\n");
  rig.view.lists = {"a", "b"};
  const std::string before = rig.Ini();
  {
    GeneralSettingsDialog dlg(rig.ctx);
    dlg.show();
    Click(&dlg, "okButton");
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
  }
  const std::function<void(GeneralSettingsDialog&)> cancels[] = {
      [](GeneralSettingsDialog& d) { Click(&d, "cancelButton"); },
      [](GeneralSettingsDialog& d) { QTest::keyClick(Combo(&d), Qt::Key_Escape); },
      [](GeneralSettingsDialog& d) { d.close(); },
  };
  for (const auto& cancel : cancels) {
    GeneralSettingsDialog dlg(rig.ctx);
    dlg.show();
    Combo(&dlg)->setCurrentIndex(0);
    Type(&dlg, "localEdit", "/x");
    Tick(Check(&dlg, "shiftCheck"));
    QTest::keyClick(Edit(&dlg, "localEdit"), Qt::Key_Return);
    QTest::keyClick(Child<QPushButton>(&dlg, "okButton"), Qt::Key_Enter);
    QVERIFY(dlg.isVisible());
    cancel(dlg);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
  }
  QCOMPARE(rig.Ini(), before);
  QCOMPARE(rig.settings.start, std::string("b"));
  QCOMPARE(rig.settings.shift, uint8_t(1));
  QVERIFY(rig.prompts.shown.empty());
}

void GeneralSettingsDialogTest::autostartBoxFollowsTheFile() {
  SettingsDialogRig rig;
  TempDir config;
  rig.settings.place = {"/usr/bin/tolvane", "", config.path(), ""};
  {
    GeneralSettingsDialog dlg(rig.ctx);
    dlg.show();
    QCOMPARE(Check(&dlg, "autostartCheck")->text(), QString("ログイン時に起動する"));
    QVERIFY(!Check(&dlg, "autostartCheck")->isChecked());
    Tick(Check(&dlg, "autostartCheck"));
    Click(&dlg, "okButton");
  }
  QVERIFY(config.Exists("autostart/tolvane.desktop"));
  GeneralSettingsDialog dlg(rig.ctx);
  dlg.show();
  QVERIFY(Check(&dlg, "autostartCheck")->isChecked());
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::GeneralSettingsDialogTest)
#include "GeneralSettingsDialogTest.moc"
