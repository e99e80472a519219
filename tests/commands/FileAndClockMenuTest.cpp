// The real main window's menu items "開く", "HTML編集" and "時間確認" reach their commands with
// the window's own file list, launcher and settings.
#include <QListWidget>
#include <QTest>

#include "ServerSettingsDialog.h"
#include "app/MainWindowRig.h"
#include "lists/WhenModal.h"
#include "support/FtpServer.h"

namespace tolvane::test {

class FileAndClockMenuTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void openAndHtmlEditUseTheSelectedFile() {
    MainWindowRig rig;
    rig.Ini("[main]\nstart=web\n");
    rig.List("web", {"/site/a b.css", "", "/site/top page.html", ""});
    rig.Start();
    rig.Files()->setCurrentRow(1);
    rig.Action("openFileAction")->trigger();
    rig.Action("htmlEditAction")->trigger();
    QCOMPARE(rig.launcher.calls.size(), size_t{2});
    QCOMPARE(rig.launcher.calls[0].what + rig.launcher.calls[0].path, "open/site/top page.html");
    QCOMPARE(rig.launcher.calls[1].what + rig.launcher.calls[1].path, "editor/site/top page.html");
    QVERIFY(rig.prompts.shown.empty());
  }

  void clockCheckYesOpensTheServerSettings() {
    FtpServer server;
    MainWindowRig rig;
    rig.dir.Write("tolvanetimetest.txt", "test\r\n");
    rig.Ini("[main]\nhostname=" + server.hostField() + "\nusername=tolvane\n");
    rig.Start();
    rig.settings.password = "secret";
    rig.prompts.answers = {Answer::Yes};
    bool opened = false;
    WhenModal<ServerSettingsDialog>([&](ServerSettingsDialog* d) {
      opened = true;
      d->reject();
    });
    rig.Action("clockCheckAction")->trigger();
    QVERIFY(opened);
    QCOMPARE(rig.prompts.shown.size(), size_t{1});
    QCOMPARE(rig.prompts.shown[0].caption, std::string("確認"));
    QVERIFY(!server.files().Exists("tolvanetimetest.txt"));
    QVERIFY(!rig.window->State().m_busy);
  }
};

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::FileAndClockMenuTest)
#include "FileAndClockMenuTest.moc"
