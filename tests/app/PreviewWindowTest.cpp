// The preview from the real main window: Alt held on アップロード, or the menu item, shows
// what a run of the selected list would do; the dialog's アップロード runs exactly that list,
// 閉じる leaves the server alone.
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <ctime>

#include "PreviewDialog.h"
#include "app/MainWindowRig.h"
#include "lists/WhenModal.h"
#include "support/FtpServer.h"

namespace tolvane::test {

class PreviewWindowTest : public QObject {
  Q_OBJECT
 private:
  // On the server an older and a newer copy; locally one file newer, one older, one gone and
  // one the server lacks, in the list "web" the window starts with.
  void SetUp(MainWindowRig& rig, const FtpServer& server, const TempDir& site) {
    const int64_t now = time(nullptr);
    for (const auto& [name, age] : {std::pair{"new.html", 7200}, {"old.css", 600}}) {
      server.files().Write(name, "server");
      server.SetMtime(name, now - age);
    }
    for (const auto& [name, age] :
         {std::pair{"new.html", 3600}, {"old.css", 3600}, {"fresh.txt", 3600}}) {
      site.Write(name, "local");
      SetFileTime(site / name, now - age);
    }
    rig.Ini("[main]\nstart=web\nhostname=" + server.hostField() + "\nusername=tolvane\n");
    rig.List("web", {site / "new.html", "", site / "old.css", "", site / "gone.png", "",
                     site / "fresh.txt", ""});
    rig.Start();
    rig.settings.password = "secret";
  }

  static QStringList Column(QTreeWidget* tree, int column) {
    QStringList texts;
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
      texts << tree->topLevelItem(row)->text(column);
    }
    return texts;
  }

 private Q_SLOTS:
  void menuAndAltClickShowThePreviewWhoseUploadRunsTheList() {
    FtpServer server;
    TempDir site;
    MainWindowRig rig;
    SetUp(rig, server, site);
    int rowsFromMenu = 0;
    WhenModal<PreviewDialog>([&](PreviewDialog* dialog) {
      rowsFromMenu = Child<QTreeWidget>(dialog, "entryTree")->topLevelItemCount();
      QTest::mouseClick(Child<QPushButton>(dialog, "closeButton"), Qt::LeftButton);
    });
    rig.Action("previewAction")->trigger();
    QCOMPARE(rowsFromMenu, 4);
    QVERIFY(!server.files().Exists("fresh.txt"));  // closed: nothing put, nothing logged
    QVERIFY(!rig.dir.Exists("log"));

    QStringList files, actions;
    bool uploadBold = false, missingMarked = false;
    QString title;
    WhenModal<PreviewDialog>([&](PreviewDialog* dialog) {
      title = dialog->windowTitle();
      auto* tree = Child<QTreeWidget>(dialog, "entryTree");
      files = Column(tree, 0);
      actions = Column(tree, 2);
      uploadBold = tree->topLevelItem(0)->font(0).bold() && !tree->topLevelItem(1)->font(0).bold();
      missingMarked = !tree->topLevelItem(2)->icon(2).isNull();
      QTest::mouseClick(Child<QPushButton>(dialog, "uploadButton"), Qt::LeftButton);
    });
    QTest::mouseClick(rig.Find<QPushButton>("uploadButton"), Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(title, QString("プレビュー − web"));
    QCOMPARE(files, (QStringList{"new.html", "old.css", "gone.png", "fresh.txt"}));
    QCOMPARE(actions,
             (QStringList{"アップロードする", "最新", "ローカルファイルなし", "アップロードする"}));
    QVERIFY(uploadBold);
    QVERIFY(missingMarked);
    // The dialog's アップロード ran the list as the button would, logged.
    QCOMPARE(server.files().Read("new.html"), std::string("local"));
    QCOMPARE(server.files().Read("fresh.txt"), std::string("local"));
    QCOMPARE(server.files().Read("old.css"), std::string("server"));
    QVERIFY(rig.FileLine().startsWith("2件アップロード・1件ファイルなし"));
    QVERIFY(rig.dir.Exists("log"));
    QVERIFY(rig.prompts.shown.empty());
    QVERIFY(rig.Find<QPushButton>("uploadButton")->isEnabled());
  }
};

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::PreviewWindowTest)
#include "PreviewWindowTest.moc"
