// The menu "リスト" of the real main window, with the real list editor answered from inside its
// own event loop.
#include "ListEditorRig.h"
#include "app/MainWindowRig.h"

namespace tolvane::test {

class ListMenuTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void newListIsAppendedButNotShown();
  void renamedListMovesToTheEndAndIsShown();
  void missingListFileChangesNothing();
  void deletingTheLastListShowsTheOneBefore();
};

void ListMenuTest::newListIsAppendedButNotShown() {
  MainWindowRig rig;
  rig.List("a", {"/w/a.html", ""});
  rig.Start();
  WhenModal<ClistDlg>([](ClistDlg* editor) {
    Child<QLineEdit>(editor, "nameEdit")->setText("新");
    WhenModal<CfileaddDlg>([](CfileaddDlg* entry) {
      Child<QLineEdit>(entry, "fileEdit")->setText("/w/表/b.html");
      Click(entry, "okButton");
    });
    Click(editor, "addButton");
    Click(editor, "okButton");
  });
  rig.Action(32773)->trigger();
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストを作成しました"));
  QCOMPARE(rig.ComboItems(), QStringList({"a", "新"}));
  QCOMPARE(rig.Combo()->currentIndex(), 0);
  QCOMPARE(rig.FileItems(), QStringList({"a.html"}));
  QCOMPARE(rig.dir.Read("list/新.ini"), ListBytes({"/w/表/b.html", ""}));
}

void ListMenuTest::renamedListMovesToTheEndAndIsShown() {
  MainWindowRig rig;
  rig.List("a", {"/w/a.html", ""});
  rig.List("b", {"/w/b.html", ""});
  rig.Start();
  rig.prompts.answers = {Answer::Yes};
  WhenModal<ClistDlg>([](ClistDlg* editor) {
    Child<QLineEdit>(editor, "nameEdit")->setText("z");
    Click(editor, "okButton");
  });
  rig.Action(32774)->trigger();
  QCOMPARE(rig.ComboItems(), QStringList({"b", "z"}));
  QCOMPARE(rig.Combo()->currentIndex(), 1);
  QCOMPARE(rig.FileItems(), QStringList({"a.html"}));
  QVERIFY(rig.dir.Exists("list/z.ini"));
  QVERIFY(!rig.dir.Exists("list/a.ini"));
}

void ListMenuTest::missingListFileChangesNothing() {
  MainWindowRig rig;
  rig.List("a", {"/w/a.html", ""});
  rig.Start();
  std::remove((rig.dir / "list/a.ini").c_str());
  rig.Action(32774)->trigger();  // no editor opens, so nothing to answer
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストファイルを読み込めませんでした"));
  QCOMPARE(rig.ComboItems(), QStringList({"a"}));
  QCOMPARE(rig.FileItems(), QStringList({"a.html"}));
}

void ListMenuTest::deletingTheLastListShowsTheOneBefore() {
  MainWindowRig rig;
  rig.Ini("[main]\nstart=b\n");
  rig.List("a", {"/w/a.html", ""});
  rig.List("b", {"/w/b.html", ""});
  rig.Start();
  rig.prompts.answers = {Answer::Yes, Answer::Yes};
  rig.Action(32775)->trigger();
  QCOMPARE(rig.ComboItems(), QStringList({"a"}));
  QCOMPARE(rig.Combo()->currentIndex(), 0);
  QCOMPARE(rig.FileItems(), QStringList({"a.html"}));
  rig.Action(32775)->trigger();
  QCOMPARE(rig.Combo()->count(), 0);
  QCOMPARE(rig.Combo()->currentIndex(), -1);
  QCOMPARE(rig.Files()->count(), 0);
  QVERIFY(!rig.dir.Exists("list/a.ini") && !rig.dir.Exists("list/b.ini"));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::ListMenuTest)
#include "ListMenuTest.moc"
