// The menu item "実行ログ" of the real main window: the runs of the window's own log folder,
// newest first, what did not get done marked, and the folder opened through the launcher.
#include <sys/stat.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "RunLogDialog.h"
#include "app/MainWindowRig.h"

namespace tolvane::test {
namespace {

const std::string kTwoRuns =
    "=== 2026-01-02 01:00:00 ボタン\nリスト: web\nサーバー: example\n  最新: /s/a.html\n"
    "合計: アップロード 0・最新 1・ローカルファイルなし 0・確認できず 0・失敗 0・未実行 0\n\n"
    "=== 2026-01-02 02:00:00 予約\nリスト: blog\n  アップロード: "
    "/s/b.html（9バイト・ASCII・1ミリ秒）\n"
    "  失敗: /s/c.png（550 denied）\n"
    "合計: アップロード 1・最新 0・ローカルファイルなし 0・確認できず 0・失敗 1・未実行 0\n"
    "FTP:\n  > USER demo\n  < 331 Password\n\n";

RunLogDialog* OpenFromMenu(MainWindowRig& rig) {
  rig.Action("runLogAction")->trigger();
  return rig.window->findChild<RunLogDialog*>();
}

QTreeWidget* Tree(QWidget* dialog) { return dialog->findChild<QTreeWidget*>("runTree"); }

void Click(QWidget* dialog, const char* button) {
  QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
}

bool MarkedFailed(const QTreeWidgetItem* item, int column) {
  return item->foreground(column).color() == QColor(190, 0, 0);
}

}  // namespace

class RunLogWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void showsTheRunsNewestFirstWithFailuresMarked() {
    MainWindowRig rig;
    rig.dir.Write("log/2026-01.log", kTwoRuns);
    rig.Start();
    RunLogDialog* dialog = OpenFromMenu(rig);
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    QTreeWidget* tree = Tree(dialog);
    QCOMPARE(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* failed = tree->topLevelItem(0);
    QTreeWidgetItem* clean = tree->topLevelItem(1);
    const QStringList columns = {failed->text(0), failed->text(1), failed->text(2),
                                 failed->text(3)};
    QCOMPARE(columns,
             QStringList({"2026-01-02 02:00:00", "予約", "blog", "1件アップロード・1件失敗"}));
    QVERIFY(MarkedFailed(failed, 3) && !MarkedFailed(clean, 3));
    QCOMPARE(clean->toolTip(0), QString("サーバー: example"));

    tree->expandItem(failed);
    QCOMPARE(failed->childCount(), 3);
    QCOMPARE(failed->child(1)->text(0), QString("失敗: /s/c.png（550 denied）"));
    QVERIFY(MarkedFailed(failed->child(1), 0) && !MarkedFailed(failed->child(0), 0));
    QTreeWidgetItem* ftp = failed->child(2);
    QCOMPARE(ftp->text(0), QString("FTPの通信"));
    QVERIFY(!ftp->isExpanded());
    QCOMPARE(ftp->childCount(), 2);
    QCOMPARE(ftp->child(0)->text(0), QString("> USER demo"));

    // The menu again brings the same window forward, its opened run still open.
    QCOMPARE(OpenFromMenu(rig), dialog);
    QCOMPARE(rig.window->findChildren<RunLogDialog*>().size(), 1);
    QVERIFY(failed->isExpanded());
  }

  void anEmptyLogSaysSoAndItsFolderCanStillBeOpened() {
    MainWindowRig rig;
    rig.Start();
    RunLogDialog* dialog = OpenFromMenu(rig);
    auto* empty = dialog->findChild<QLabel*>("emptyLabel");
    QVERIFY(empty->isVisible() && !Tree(dialog)->isVisible());
    QCOMPARE(empty->text(), QString("記録された実行はまだありません"));

    rig.launcher.results = {true, false};
    Click(dialog, "openFolderButton");
    QCOMPARE(rig.launcher.calls.size(), size_t{1});
    QCOMPARE(rig.launcher.calls[0].what + rig.launcher.calls[0].path, "open" + (rig.dir / "log"));
    struct stat st {};
    QVERIFY(::stat((rig.dir / "log").c_str(), &st) == 0 && (st.st_mode & 0777) == 0700);
    QVERIFY(rig.prompts.shown.empty());
    Click(dialog, "openFolderButton");
    QCOMPARE(rig.prompts.shown.size(), size_t{1});
    QCOMPARE(rig.prompts.shown[0].text, std::string("ログフォルダを開けませんでした"));

    rig.dir.Write("log/2026-01.log", kTwoRuns);
    Click(dialog, "reloadButton");
    QVERIFY(!empty->isVisible() && Tree(dialog)->isVisible());
    QCOMPARE(Tree(dialog)->topLevelItemCount(), 2);
  }
};

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::RunLogWindowTest)
#include "RunLogWindowTest.moc"
