// The entry dialog: fields in and out, the file picker, keys that must not confirm, and text
// a list file cannot hold.
#include "ListEditorRig.h"

namespace tolvane::test {

class ListEntryDialogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void fieldsTitleAndTabOrder();
  void browseKeepsTheTypedFolder();
  void enterNeverConfirmsAndEscapeCancels();
  void textOutsideCp932IsRefused();

 private:
  // Runs `dlg` modally with `act` inside it; returns its result.
  static int Run(ListEntryDialog& dlg, std::function<void(ListEntryDialog*)> act) {
    WhenModal<ListEntryDialog>(std::move(act));
    return dlg.exec();
  }
  // Records where it started and answers as told, "" meaning cancelled.
  ListEntryDialog::FilePicker Picker() {
    return [this](QWidget*, const QString& start) {
      pickerStarts << start;
      return pickerAnswers.takeFirst();
    };
  }
  RecordingPrompts prompts;
  QStringList pickerStarts, pickerAnswers;
};

void ListEntryDialogTest::fieldsTitleAndTabOrder() {
  ListEntryDialog dlg(prompts, Picker());
  dlg.m_editMode = true;
  dlg.m_filePath = "/w/a.html";
  QStringList seen;
  const int result = Run(dlg, [&](ListEntryDialog* d) {
    seen << d->windowTitle() << Edit(d, "fileEdit")->text();
    for (QWidget* w = d->focusWidget(); seen.size() < 7; w = w->nextInFocusChain()) {
      if (w->focusPolicy() & Qt::TabFocus) seen << w->objectName();
    }
    Edit(d, "folderEdit")->insert("表示");  // typed through an input method
    Click(d, "okButton");
  });
  QCOMPARE(result, int(QDialog::Accepted));
  // Focus starts on OK.
  QCOMPARE(seen, QStringList({"編集", "/w/a.html", "okButton", "cancelButton", "fileEdit",
                              "browseButton", "folderEdit"}));
  QCOMPARE(dlg.m_folder, std::string("表示"));
  ListEntryDialog add(prompts, Picker());
  Run(add, [&](ListEntryDialog* d) {
    seen = QStringList{d->windowTitle()};
    d->reject();
  });
  QCOMPARE(seen, QStringList({"ファイルの追加"}));
}

void ListEntryDialogTest::browseKeepsTheTypedFolder() {
  const QString chosen =
      "/home/u/site/とても長いフォルダの名前/さらに長いサブフォルダの名前/index.html";
  pickerAnswers = {"", chosen, ""};
  ListEntryDialog dlg(prompts, Picker());
  dlg.m_filePath = "/old/path";
  QString afterCancel;
  int cursor = -1;
  Run(dlg, [&](ListEntryDialog* d) {
    Click(d, "browseButton");
    afterCancel = Edit(d, "fileEdit")->text();
    QTest::keyClicks(Edit(d, "folderEdit"), "public_html");
    Click(d, "browseButton");
    cursor = Edit(d, "fileEdit")->cursorPosition();
    Click(d, "okButton");
  });
  QCOMPARE(afterCancel, QString("/old/path"));
  QCOMPARE(QString::fromStdString(dlg.m_filePath), chosen);
  QCOMPARE(dlg.m_folder, std::string("public_html"));
  QCOMPARE(cursor, int(chosen.size()));
  // The picker starts in the local start folder when one is set, else where it likes.
  dlg.m_localFolder = "/home/u/site";
  Run(dlg, [](ListEntryDialog* d) {
    Click(d, "browseButton");
    d->reject();
  });
  QCOMPARE(pickerStarts, QStringList({QString(), QString(), "/home/u/site"}));
}

void ListEntryDialogTest::enterNeverConfirmsAndEscapeCancels() {
  ListEntryDialog dlg(prompts, Picker());
  bool openAfterEnter = false;
  const int result = Run(dlg, [&](ListEntryDialog* d) {
    QTest::keyClicks(Edit(d, "fileEdit"), "/w/a");
    QTest::keyClick(Edit(d, "fileEdit"), Qt::Key_Return);
    QTest::keyClick(Edit(d, "folderEdit"), Qt::Key_Enter);
    QTest::keyClick(Child(d, "okButton"), Qt::Key_Return);
    openAfterEnter = d->isVisible();
    QTest::keyClick(Edit(d, "folderEdit"), Qt::Key_Escape);
  });
  QCOMPARE(result, int(QDialog::Rejected));
  QVERIFY(openAfterEnter);
  QCOMPARE(dlg.m_filePath, std::string());
}

void ListEntryDialogTest::textOutsideCp932IsRefused() {
  ListEntryDialog dlg(prompts, Picker());
  QWidget* focusAfterRefusal = nullptr;
  Run(dlg, [&](ListEntryDialog* d) {
    Edit(d, "fileEdit")->setText("/w/cafe.html");
    Edit(d, "folderEdit")->setText("😀");
    Click(d, "okButton");
    focusAfterRefusal = d->focusWidget();
    Edit(d, "fileEdit")->setText("/w/café.html");
    Click(d, "okButton");
    Edit(d, "fileEdit")->setText("/w/cafe.html");
    Edit(d, "folderEdit")->setText("html");
    Click(d, "okButton");
  });
  QCOMPARE(focusAfterRefusal, static_cast<QWidget*>(Edit(&dlg, "folderEdit")));
  QCOMPARE(prompts.shown.size(), size_t(2));
  QVERIFY(prompts.shown[0].text.find("「アップロードするフォルダ」") != std::string::npos);
  QVERIFY(prompts.shown[1].text.find("「アップロードするファイル」") != std::string::npos);
  QCOMPARE(prompts.shown[0].caption, std::string("エラー"));
  QCOMPARE(dlg.m_filePath + "|" + dlg.m_folder, std::string("/w/cafe.html|html"));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::ListEntryDialogTest)
#include "ListEntryDialogTest.moc"
