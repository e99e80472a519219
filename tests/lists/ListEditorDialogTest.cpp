// The list editor: its table and buttons, and the file on disk after each OK.
#include "ListEditorRig.h"

namespace tolvane::test {

class ListEditorDialogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void tableColumnsTabOrderAndFocus();
  void okWritesOnlyAfterAChange();
  void entriesAreSavedAsTyped();
  void selectionRules();
  void movesCarryTheSelectedEntry();
  void renameAsksFirst_data();
  void renameAsksFirst();
  void enterNeverConfirmsAndEscapeCancels();
};

void ListEditorDialogTest::tableColumnsTabOrderAndFocus() {
  ListEditorRig rig;
  rig.Open(false);
  QTableWidget* table = rig.Table();
  QCOMPARE(table->horizontalHeaderItem(0)->text() + "|" + table->horizontalHeaderItem(1)->text(),
           QString("ファイル|アップロードフォルダ"));
  QCOMPARE(table->columnWidth(0), 400);
  QCOMPARE(table->columnWidth(1), 130);
  QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
  QStringList order;
  for (QWidget* w = Child(rig.dialog.get(), "okButton"); order.size() < 9;
       w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(rig.dialog.get()))
      order << w->objectName();
  }
  QCOMPARE(order, QStringList({"okButton", "cancelButton", "nameEdit", "entryTable", "addButton",
                               "editButton", "deleteButton", "upButton", "downButton"}));
  QVERIFY(QTest::qWaitForWindowExposed(rig.dialog.get()));
  QCOMPARE(rig.dialog->focusWidget(), Child(rig.dialog.get(), "okButton"));
}

void ListEditorDialogTest::okWritesOnlyAfterAChange() {
  ListEditorRig rig;
  rig.dir.Write("list/web.ini", "/w/a\n\n/w/b\nf\n");  // LF only: a rewrite would show
  rig.owner.lists = {"web"};
  rig.Open(true, "web");
  QCOMPARE(rig.Rows(), QStringList({"/w/a|", "/w/b|f"}));
  QCOMPARE(Edit(rig.dialog.get(), "nameEdit")->text(), QString("web"));
  QCOMPARE(rig.Selected(), -1);
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Rejected));
  QCOMPARE(rig.File("web"), std::string("/w/a\n\n/w/b\nf\n"));

  // An Edit confirmed without any change still counts as a change.
  rig.Open(true, "web");
  rig.Select(1);
  QString shown;
  WhenModal<ListEntryDialog>([&](ListEntryDialog* d) {
    shown =
        d->windowTitle() + "|" + Edit(d, "fileEdit")->text() + "|" + Edit(d, "folderEdit")->text();
    Click(d, "okButton");
  });
  rig.Press("editButton");
  QCOMPARE(shown, QString("編集|/w/b|f"));
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.File("web"), std::string("/w/a\r\n\r\n/w/b\r\nf\r\n"));
}

void ListEditorDialogTest::entriesAreSavedAsTyped() {
  ListEditorRig rig;
  rig.owner.lists = {"web"};
  rig.Open(false);
  rig.Enter("addButton", "", "");
  rig.Enter("addButton", "/w/表/a.html", "x");
  rig.Enter("addButton", "/w/表/a.html", "x");  // the same file twice is kept
  QCOMPARE(rig.Rows(), QStringList({"|", "/w/表/a.html|x", "/w/表/a.html|x"}));
  QCOMPARE(rig.Selected(), -1);
  Edit(rig.dialog.get(), "nameEdit")->setText("新しいリスト");
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.File("新しいリスト"),
           std::string("\r\n\r\n/w/\x95\x5c/a.html\r\nx\r\n/w/\x95\x5c/a.html\r\nx\r\n"));
  QVERIFY(rig.prompts.shown.empty());
}

void ListEditorDialogTest::selectionRules() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x", "/w/b", "y"});
  rig.Open(true, "web");
  rig.Press("editButton");
  rig.Press("deleteButton");
  rig.Press("upButton");  // no message for a move without a selection
  QCOMPARE(rig.prompts.shown.size(), size_t(2));
  QCOMPARE(rig.prompts.shown[1].text, std::string("ファイルが選択されていません"));
  QCOMPARE(rig.prompts.shown[1].caption, std::string("エラー"));

  rig.Select(0);
  rig.Enter("editButton", "/w/c", "z");
  QCOMPARE(rig.Rows(), QStringList({"/w/c|z", "/w/b|y"}));
  rig.Press("deleteButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/b|y"}));
  QCOMPARE(rig.Selected(), -1);  // a second Delete needs a new selection
  rig.Select(0);
  rig.Press("deleteButton");
  rig.Press("okButton");
  QVERIFY(rig.dialog->isVisible());
  QCOMPARE(rig.prompts.shown.back().text, std::string("ファイルが１つもありません"));
  QCOMPARE(rig.File("web"), ListBytes({"/w/a", "x", "/w/b", "y"}));
}

void ListEditorDialogTest::movesCarryTheSelectedEntry() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x", "/w/b", "", "/w/c", "z"});
  rig.Open(true, "web");
  QVERIFY(QTest::qWaitForWindowExposed(rig.dialog.get()));
  rig.Select(2);
  rig.Press("downButton");
  rig.Select(0);
  rig.Press("upButton");
  QCOMPARE(rig.dialog->focusWidget(), static_cast<QWidget*>(rig.Table()));
  rig.Press("okButton");  // nothing moved at the ends: nothing to write
  QVERIFY(rig.EndedWith(QDialog::Rejected));

  rig.Open(true, "web");
  rig.Select(0);
  rig.Press("downButton");
  rig.Press("downButton");
  rig.Press("upButton");
  QCOMPARE(rig.Rows(), QStringList({"/w/b|", "/w/a|x", "/w/c|z"}));
  QCOMPARE(rig.Selected(), 1);
  rig.Press("okButton");
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.File("web"), ListBytes({"/w/b", "", "/w/a", "x", "/w/c", "z"}));
}

void ListEditorDialogTest::renameAsksFirst_data() {
  QTest::addColumn<bool>("yes");
  QTest::addColumn<bool>("targetExists");
  QTest::addColumn<QString>("savedAs");  // empty: the editor stays open
  QTest::newRow("yes") << true << false << "サイト";
  QTest::newRow("no") << false << false << "old";
  // A file there but unknown to the selector is never overwritten.
  QTest::newRow("refused") << true << true << "";
}

void ListEditorDialogTest::renameAsksFirst() {
  QFETCH(bool, yes);
  QFETCH(bool, targetExists);
  QFETCH(QString, savedAs);
  ListEditorRig rig;
  rig.List("old", {"/w/a", "x"});
  if (targetExists) rig.List("サイト", {"/w/precious", ""});
  rig.owner.lists = {"old"};
  rig.Open(true, "old");
  rig.Enter("addButton", "/w/b", "");
  Edit(rig.dialog.get(), "nameEdit")->setText("サイト");
  rig.prompts.answers = {yes ? Answer::Yes : Answer::No};
  rig.Press("okButton");
  QCOMPARE(rig.prompts.shown.at(0).text, std::string("リスト名を変更しますか？"));
  if (savedAs.isEmpty()) {
    QVERIFY(rig.dialog->isVisible());
    QCOMPARE(rig.prompts.shown.at(1).text, std::string("リスト名を変更することができませんでした"));
    QCOMPARE(rig.prompts.shown.at(1).caption, std::string("err"));
    QCOMPARE(rig.File("サイト") + rig.File("old"), ListBytes({"/w/precious", "", "/w/a", "x"}));
    return;
  }
  QVERIFY(rig.EndedWith(QDialog::Accepted));
  QCOMPARE(rig.dialog->Data().m_renamed, yes);
  QCOMPARE(QString::fromStdString(rig.dialog->Data().m_listName), savedAs);
  QCOMPARE(rig.dir.Exists("list/old.ini"), !yes);
  QCOMPARE(rig.File(savedAs.toStdString()), ListBytes({"/w/a", "x", "/w/b", ""}));
}

void ListEditorDialogTest::enterNeverConfirmsAndEscapeCancels() {
  ListEditorRig rig;
  rig.List("web", {"/w/a", "x"});
  rig.Open(true, "web");
  rig.Select(0);
  rig.Press("deleteButton");  // a change that Escape must throw away
  QTest::keyClick(Edit(rig.dialog.get(), "nameEdit"), Qt::Key_Return);
  QTest::keyClick(rig.Table(), Qt::Key_Enter);
  QTest::keyClick(Child(rig.dialog.get(), "okButton"), Qt::Key_Return);
  QVERIFY(rig.dialog->isVisible());
  QVERIFY(rig.prompts.shown.empty());  // OK would have refused the empty list
  QTest::keyClick(rig.Table(), Qt::Key_Escape);
  QVERIFY(rig.EndedWith(QDialog::Rejected));
  QCOMPARE(rig.File("web"), ListBytes({"/w/a", "x"}));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::ListEditorDialogTest)
#include "ListEditorDialogTest.moc"
