// The list editor: its table and buttons, and the file on disk after each OK.
#include <QApplication>

#include "ListEditorRig.h"

namespace tolvane::test {

using Lines = std::vector<std::string>;

class ClistDlgTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void newEditorLooksAsExpected();
  void missingListFileEndsAtOnce();
  void unchangedEditEndsWithCancel();
  void emptyAndDuplicateEntriesAreSaved();
  void editWithoutChangeStillRewrites();
  void editAndDeleteNeedASelection();
  void movesAtTheEndsChangeNothing();
  void movesCarryTheSelectedEntry();
  void deleteLeavesNoSelectionAndAllDeletedRefusesOk();
  void renameAnsweredYes();
  void renameAnsweredNoSavesUnderTheOldName();
  void failedRenameKeepsTheEditorOpen();
  void enterNeverConfirmsAndEscapeCancels();
  void nameOutsideCp932IsRefused();
};

void ClistDlgTest::newEditorLooksAsExpected() {
  ListEditorRig rig;
  QVERIFY(rig.Open(false));
  ClistDlg* d = rig.dialog.get();
  QCOMPARE(d->windowTitle(), QString("リスト設定"));
  QTableWidget* table = rig.Table();
  QCOMPARE(table->horizontalHeaderItem(0)->text(), QString("ファイル"));
  QCOMPARE(table->horizontalHeaderItem(1)->text(), QString("アップロードフォルダ"));
  QCOMPARE(table->columnWidth(0), 400);
  QCOMPARE(table->columnWidth(1), 130);
  QVERIFY(table->showGrid());
  QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
  QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
  QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
  QCOMPARE(table->rowCount(), 0);
  QCOMPARE(rig.Name()->text(), QString());
  QCOMPARE(rig.Name()->accessibleName(), QString("リスト名"));
  QCOMPARE(table->accessibleName(), QString("ファイル一覧"));
  QVERIFY(rig.Modified());

  QStringList order;
  for (QWidget* w = Child<QWidget>(d, "okButton"); order.size() < 9; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(d)) order << w->objectName();
  }
  QCOMPARE(order, QStringList({"okButton", "cancelButton", "nameEdit", "entryTable", "addButton",
                               "editButton", "deleteButton", "upButton", "downButton"}));
  QVERIFY(QTest::qWaitForWindowExposed(d));
  QCOMPARE(d->focusWidget(), Child<QWidget>(d, "okButton"));
}

void ClistDlgTest::missingListFileEndsAtOnce() {
  ListEditorRig rig;
  QVERIFY(!rig.Open(true, "gone"));
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストファイルを読み込めませんでした"));
  QCOMPARE(rig.prompts.shown[0].caption, std::string("エラー"));
  QVERIFY(rig.prompts.shown[0].icon == Icon::Warning);
  QVERIFY(!rig.dialog->isVisible());
}

void ClistDlgTest::unchangedEditEndsWithCancel() {
  ListEditorRig rig;
  rig.dir.Write("list/web.ini", ToCp932("/w/表示/a.html\nhtml\n/w/b.css\n").value());  // LF only
  rig.owner.lists = {"web"};
  QVERIFY(rig.Open(true, "web"));
  QCOMPARE(rig.Rows(), QStringList({"/w/表示/a.html|html", "/w/b.css|"}));
  QCOMPARE(rig.Name()->text(), QString("web"));
  QCOMPARE(rig.Selected(), -1);
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Rejected));
  QVERIFY(rig.prompts.shown.empty());
  QCOMPARE(rig.File("web"), ToCp932("/w/表示/a.html\nhtml\n/w/b.css\n").value());
}

void ClistDlgTest::emptyAndDuplicateEntriesAreSaved() {
  ListEditorRig rig;
  rig.owner.lists = {"web"};
  QVERIFY(rig.Open(false));
  rig.Add("", "");
  rig.Add("/w/表/a.html", "x");
  rig.Add("/w/表/a.html", "x");
  QCOMPARE(rig.Rows(), QStringList({"|", "/w/表/a.html|x", "/w/表/a.html|x"}));
  QCOMPARE(rig.Selected(), -1);
  rig.Name()->setText("新しいリスト");
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.File("新しいリスト"), ListBytes({"", "", "/w/表/a.html", "x", "/w/表/a.html", "x"}));
  QCOMPARE(rig.File("新しいリスト").substr(0, 13), std::string("\r\n\r\n/w/\x95\x5c/a.h"));
  QVERIFY(rig.prompts.shown.empty());
}

void ClistDlgTest::editWithoutChangeStillRewrites() {
  ListEditorRig rig;
  rig.dir.Write("list/web.ini", "/w/a\n\n/w/b\nf\n");
  QVERIFY(rig.Open(true, "web"));
  rig.Select(1);
  QString title, path, folder;
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    title = d->windowTitle();
    path = Child<QLineEdit>(d, "fileEdit")->text();
    folder = Child<QLineEdit>(d, "folderEdit")->text();
    Click(d, "okButton");
  });
  rig.Press("editButton");
  QCOMPARE(title, QString("編集"));
  QCOMPARE(path, QString("/w/b"));
  QCOMPARE(folder, QString("f"));
  QVERIFY(rig.Modified());
  WhenModal<CfileaddDlg>([](CfileaddDlg* d) {
    Child<QLineEdit>(d, "folderEdit")->setText("g");
    Click(d, "okButton");
  });
  rig.Press("editButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/a|", "/w/b|g"}));
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.File("web"), std::string("/w/a\r\n\r\n/w/b\r\ng\r\n"));
}

void ClistDlgTest::editAndDeleteNeedASelection() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x"});
  QVERIFY(rig.Open(true, "web"));
  rig.Press("editButton");
  rig.Press("deleteButton");
  rig.Press("upButton");
  rig.Press("downButton");
  QCOMPARE(rig.prompts.shown.size(), size_t(2));
  for (const Shown& shown : rig.prompts.shown) {
    QCOMPARE(shown.text, std::string("ファイルが選択されていません"));
    QCOMPARE(shown.caption, std::string("エラー"));
  }
  QCOMPARE(rig.Rows(), QStringList({"/w/a|x"}));
  QVERIFY(!rig.Modified());
}

void ClistDlgTest::movesAtTheEndsChangeNothing() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x", "/w/b", "y"});
  QVERIFY(rig.Open(true, "web"));
  QVERIFY(QTest::qWaitForWindowExposed(rig.dialog.get()));
  rig.Select(0);
  rig.Press("upButton");
  QCOMPARE(rig.dialog->focusWidget(), static_cast<QWidget*>(rig.Table()));
  rig.Select(1);
  rig.Press("downButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/a|x", "/w/b|y"}));
  QCOMPARE(rig.Selected(), 1);
  QVERIFY(!rig.Modified());
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Rejected));
}

void ClistDlgTest::movesCarryTheSelectedEntry() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x", "/w/b", "", "/w/c", "z"});
  QVERIFY(rig.Open(true, "web"));
  rig.Select(0);
  rig.Press("downButton");
  rig.Press("downButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/b|", "/w/c|z", "/w/a|x"}));
  QCOMPARE(rig.Selected(), 2);
  rig.Press("upButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/b|", "/w/a|x", "/w/c|z"}));
  QCOMPARE(rig.Selected(), 1);
  QCOMPARE(rig.Table()->currentRow(), 1);
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.File("web"), ListBytes({"/w/b", "", "/w/a", "x", "/w/c", "z"}));
}

void ClistDlgTest::deleteLeavesNoSelectionAndAllDeletedRefusesOk() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x", "/w/b", "y", "/w/c", "z"});
  QVERIFY(rig.Open(true, "web"));
  rig.Select(1);
  rig.Press("deleteButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/a|x", "/w/c|z"}));
  QCOMPARE(rig.Selected(), -1);
  rig.Press("deleteButton");
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  rig.Select(1);
  rig.Press("deleteButton");
  rig.Select(0);
  rig.Press("deleteButton");
  QCOMPARE(rig.Table()->rowCount(), 0);
  rig.Press("okButton");
  QVERIFY(rig.dialog->isVisible());
  QCOMPARE(rig.prompts.shown.back().text, std::string("ファイルが１つもありません"));
  QCOMPARE(rig.File("web"), ListBytes({"/w/a", "x", "/w/b", "y", "/w/c", "z"}));
}

void ClistDlgTest::renameAnsweredYes() {
  ListEditorRig rig;
  rig.dir.Write("list/old.ini", "/w/a\nx\n");  // moved, not rewritten
  rig.owner.lists = {"old", "other"};
  QVERIFY(rig.Open(true, "old"));
  rig.Name()->setText("サイト");
  rig.prompts.answers = {Answer::Yes};
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.prompts.shown.at(0).text, std::string("リスト名を変更しますか？"));
  QCOMPARE(rig.prompts.shown.at(0).caption, std::string("確認"));
  QVERIFY(rig.dialog->Data().m_renamed);
  QCOMPARE(rig.dialog->Data().m_listName, std::string("サイト"));
  QVERIFY(!rig.dir.Exists("list/old.ini"));
  QCOMPARE(rig.File("サイト"), std::string("/w/a\nx\n"));
}

void ClistDlgTest::renameAnsweredNoSavesUnderTheOldName() {
  ListEditorRig rig;
  rig.List("old", {"/w/a", "x"});
  rig.owner.lists = {"old"};
  QVERIFY(rig.Open(true, "old"));
  rig.Add("/w/b", "");
  rig.Name()->setText("new");
  rig.prompts.answers = {Answer::No};
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QVERIFY(!rig.dialog->Data().m_renamed);
  QCOMPARE(rig.dialog->Data().m_listName, std::string("old"));
  QCOMPARE(rig.File("old"), ListBytes({"/w/a", "x", "/w/b", ""}));
  QVERIFY(!rig.dir.Exists("list/new.ini"));
}

void ClistDlgTest::failedRenameKeepsTheEditorOpen() {
  ListEditorRig rig;
  rig.List("old", {"/w/a", "x"});
  rig.List("new", {"/w/precious", ""});  // there, but unknown to the selector
  rig.owner.lists = {"old"};
  QVERIFY(rig.Open(true, "old"));
  rig.Name()->setText("new");
  rig.prompts.answers = {Answer::Yes, Answer::Yes};
  rig.Press("okButton");
  QVERIFY(rig.dialog->isVisible());
  QCOMPARE(rig.prompts.shown.at(1).text, std::string("リスト名を変更することができませんでした"));
  QCOMPARE(rig.prompts.shown.at(1).caption, std::string("err"));
  QCOMPARE(rig.Name()->text(), QString("new"));
  rig.Press("okButton");  // asks again
  QCOMPARE(rig.prompts.shown.size(), size_t(4));
  QCOMPARE(rig.prompts.shown.at(2).text, std::string("リスト名を変更しますか？"));
  QVERIFY(rig.dialog->isVisible());
  QCOMPARE(rig.File("new"), ListBytes({"/w/precious", ""}));
  QCOMPARE(rig.File("old"), ListBytes({"/w/a", "x"}));
}

void ClistDlgTest::enterNeverConfirmsAndEscapeCancels() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x"});
  QVERIFY(rig.Open(true, "web"));
  rig.Select(0);
  rig.Press("deleteButton");  // a change that Escape must throw away
  QTest::keyClick(rig.Name(), Qt::Key_Return);
  QTest::keyClick(rig.Table(), Qt::Key_Enter);
  QTest::keyClick(Child<QPushButton>(rig.dialog.get(), "okButton"), Qt::Key_Return);
  QVERIFY(rig.dialog->isVisible());
  QVERIFY(rig.prompts.shown.empty());  // OK would have refused the empty list
  for (QPushButton* button : rig.dialog->findChildren<QPushButton*>()) {
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
  }
  QTest::keyClick(rig.Name(), Qt::Key_Escape);
  QVERIFY(rig.EndedWith(QDialog::Rejected));
  QCOMPARE(rig.File("web"), ListBytes({"/w/a", "x"}));
}

void ClistDlgTest::nameOutsideCp932IsRefused() {
  ListEditorRig rig;
  QVERIFY(rig.Open(false));
  rig.Add("/w/a", "");
  rig.Name()->setText("café");
  rig.Press("okButton");
  QVERIFY(rig.dialog->isVisible());
  QCOMPARE(rig.prompts.shown.size(), size_t(1));
  QVERIFY(!rig.dir.Exists("list"));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::ClistDlgTest)
#include "ClistDlgTest.moc"
