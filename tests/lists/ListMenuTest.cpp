// The menu "リスト" of the real main window, with the real list editor answered from inside its
// own event loop.
#include "ListEditorRig.h"
#include "app/MainWindowRig.h"

namespace tolvane::test {

class ListMenuTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void newListIsAppendedButNotShown();
  void editingAListWhoseFileIsGone();
};

void ListMenuTest::newListIsAppendedButNotShown() {
  MainWindowRig rig;
  rig.List("a", {"/w/a.html", ""});
  rig.Start();
  WhenModal<ListEditorDialog>([](ListEditorDialog* editor) {
    Edit(editor, "nameEdit")->setText("新");
    WhenModal<ListEntryDialog>([](ListEntryDialog* entry) {
      Edit(entry, "fileEdit")->setText("/w/表/b.html");
      Click(entry, "okButton");
    });
    Click(editor, "addButton");
    Click(editor, "okButton");
  });
  rig.Action("newListAction")->trigger();
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストを作成しました"));
  QCOMPARE(rig.ComboItems(), QStringList({"a", "新"}));
  QCOMPARE(rig.Combo()->currentIndex(), 0);
  QCOMPARE(rig.FileItems(), QStringList({"a.html"}));
  QCOMPARE(rig.dir.Read("list/新.ini"), ListBytes({"/w/表/b.html", ""}));
}

void ListMenuTest::editingAListWhoseFileIsGone() {
  MainWindowRig rig;
  rig.List("a", {"/w/a.html", ""});
  rig.Start();
  std::remove((rig.dir / "list/a.ini").c_str());
  rig.Action("editListAction")->trigger();  // no editor opens, so nothing to answer
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストファイルを読み込めませんでした"));
  QCOMPARE(rig.ComboItems(), QStringList({"a"}));
  QCOMPARE(rig.FileItems(), QStringList({"a.html"}));
  rig.prompts.answers = {Answer::Yes};
  rig.Action("deleteListAction")->trigger();
  QCOMPARE(rig.prompts.shown.back().text, std::string("リストを削除できませんでした"));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::ListMenuTest)
#include "ListMenuTest.moc"
