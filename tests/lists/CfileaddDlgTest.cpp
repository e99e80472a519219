// The entry dialog: fields in and out, the file picker, keys that must not confirm, and text
// a list file cannot hold.
#include "ListEditorRig.h"

namespace tolvane::test {

namespace {

QLineEdit* FileEdit(QWidget* d) { return Child<QLineEdit>(d, "fileEdit"); }
QLineEdit* FolderEdit(QWidget* d) { return Child<QLineEdit>(d, "folderEdit"); }

// A file picker that records where it started and answers as told.
struct FakePicker {
  QStringList starts;
  QString answer;
  CfileaddDlg::FilePicker Get() {
    return [this](QWidget*, const QString& start) {
      starts << start;
      return answer;
    };
  }
};

}  // namespace

class CfileaddDlgTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void addStartsEmptyAndReturnsTheBoxes();
  void editShowsTheEntryAndCancelKeepsIt();
  void browseKeepsTheTypedFolder();
  void browseCancelledChangesNothing();
  void enterNeverConfirmsAndEscapeCancels();
  void textOutsideCp932IsRefused();
};

void CfileaddDlgTest::addStartsEmptyAndReturnsTheBoxes() {
  RecordingPrompts prompts;
  FakePicker picker;
  CfileaddDlg dlg(prompts, picker.Get());
  QString title;
  QWidget* focus = nullptr;
  QStringList order;
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    title = d->windowTitle();
    focus = d->focusWidget();
    for (QWidget* w = Child<QWidget>(d, "okButton"); order.size() < 5; w = w->nextInFocusChain()) {
      if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
    }
    FileEdit(d)->insert("/w/表示/①.html");  // typed by an input method
    QTest::keyClicks(FolderEdit(d), "html");
    Click(d, "okButton");
  });
  QCOMPARE(dlg.exec(), int(QDialog::Accepted));
  QCOMPARE(title, QString("ファイルの追加"));
  QCOMPARE(focus, Child<QWidget>(&dlg, "okButton"));
  QCOMPARE(order, QStringList({"okButton", "cancelButton", "fileEdit", "browseButton", "folderEdit"}));
  QCOMPARE(FileEdit(&dlg)->accessibleName(), QString("アップロードするファイル"));
  QCOMPARE(FolderEdit(&dlg)->accessibleName(), QString("アップロードするフォルダ"));
  QCOMPARE(dlg.m_filePath, std::string("/w/表示/①.html"));
  QCOMPARE(dlg.m_folder, std::string("html"));
  QVERIFY(prompts.shown.empty());
  QVERIFY(picker.starts.isEmpty());
}

void CfileaddDlgTest::editShowsTheEntryAndCancelKeepsIt() {
  RecordingPrompts prompts;
  FakePicker picker;
  CfileaddDlg dlg(prompts, picker.Get());
  dlg.m_editMode = true;
  dlg.m_filePath = "/w/a.html";
  dlg.m_folder = "docs";
  QString title, file, folder;
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    title = d->windowTitle();
    file = FileEdit(d)->text();
    folder = FolderEdit(d)->text();
    FolderEdit(d)->setText("changed");
    Click(d, "cancelButton");
  });
  QCOMPARE(dlg.exec(), int(QDialog::Rejected));
  QCOMPARE(title, QString("編集"));
  QCOMPARE(file, QString("/w/a.html"));
  QCOMPARE(folder, QString("docs"));
  QCOMPARE(dlg.m_folder, std::string("docs"));
}

void CfileaddDlgTest::browseKeepsTheTypedFolder() {
  RecordingPrompts prompts;
  FakePicker picker;
  picker.answer = "/home/u/site/とても長いフォルダの名前/さらに長いサブフォルダの名前/index.html";
  CfileaddDlg dlg(prompts, picker.Get());
  dlg.m_localFolder = "/home/u/site";
  dlg.m_filePath = "/old/path";
  int cursor = -1;
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    QTest::keyClicks(FolderEdit(d), "public_html");
    Click(d, "browseButton");
    cursor = FileEdit(d)->cursorPosition();
    Click(d, "okButton");
  });
  QCOMPARE(dlg.exec(), int(QDialog::Accepted));
  QCOMPARE(picker.starts, QStringList({"/home/u/site"}));
  QCOMPARE(QString::fromStdString(dlg.m_filePath), picker.answer);
  QCOMPARE(dlg.m_folder, std::string("public_html"));
  QCOMPARE(cursor, int(picker.answer.size()));
}

void CfileaddDlgTest::browseCancelledChangesNothing() {
  RecordingPrompts prompts;
  FakePicker picker;  // answers "" (cancelled)
  CfileaddDlg dlg(prompts, picker.Get());
  dlg.m_filePath = "/w/kept";
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    Click(d, "browseButton");
    Click(d, "okButton");
  });
  QCOMPARE(dlg.exec(), int(QDialog::Accepted));
  // An empty start folder setting leaves the start to the picker.
  QCOMPARE(picker.starts, QStringList({QString()}));
  QCOMPARE(dlg.m_filePath, std::string("/w/kept"));
}

void CfileaddDlgTest::enterNeverConfirmsAndEscapeCancels() {
  RecordingPrompts prompts;
  FakePicker picker;
  CfileaddDlg dlg(prompts, picker.Get());
  bool visibleAfterEnter = false;
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    QTest::keyClicks(FileEdit(d), "/w/a");
    QTest::keyClick(FileEdit(d), Qt::Key_Return);
    QTest::keyClick(FolderEdit(d), Qt::Key_Enter);
    QTest::keyClick(Child<QPushButton>(d, "okButton"), Qt::Key_Return);
    visibleAfterEnter = d->isVisible() && d->result() == 0;
    QTest::keyClick(FolderEdit(d), Qt::Key_Escape);
  });
  QCOMPARE(dlg.exec(), int(QDialog::Rejected));
  QVERIFY(visibleAfterEnter);
  QCOMPARE(dlg.m_filePath, std::string());
  for (const char* name : {"okButton", "cancelButton", "browseButton"}) {
    QVERIFY(!Child<QPushButton>(&dlg, name)->isDefault());
    QVERIFY(!Child<QPushButton>(&dlg, name)->autoDefault());
  }
}

void CfileaddDlgTest::textOutsideCp932IsRefused() {
  RecordingPrompts prompts;
  FakePicker picker;
  CfileaddDlg dlg(prompts, picker.Get());
  bool stayedOpen = false;
  QWidget* focusAfterPath = nullptr;
  QWidget* focusAfterFolder = nullptr;
  WhenModal<CfileaddDlg>([&](CfileaddDlg* d) {
    FileEdit(d)->setText("/w/café.html");
    FolderEdit(d)->setText("😀");
    Click(d, "okButton");
    focusAfterPath = d->focusWidget();
    FileEdit(d)->setText("/w/cafe.html");
    Click(d, "okButton");
    focusAfterFolder = d->focusWidget();
    stayedOpen = d->isVisible();
    FolderEdit(d)->setText("html");
    Click(d, "okButton");
  });
  QCOMPARE(dlg.exec(), int(QDialog::Accepted));
  QVERIFY(stayedOpen);
  QCOMPARE(focusAfterPath, static_cast<QWidget*>(FileEdit(&dlg)));
  QCOMPARE(focusAfterFolder, static_cast<QWidget*>(FolderEdit(&dlg)));
  QCOMPARE(prompts.shown.size(), size_t(2));
  QVERIFY(prompts.shown[0].text.find("「アップロードするファイル」") != std::string::npos);
  QVERIFY(prompts.shown[1].text.find("「アップロードするフォルダ」") != std::string::npos);
  QCOMPARE(prompts.shown[0].caption, std::string("エラー"));
  QCOMPARE(dlg.m_filePath, std::string("/w/cafe.html"));
  QCOMPARE(dlg.m_folder, std::string("html"));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::CfileaddDlgTest)
#include "CfileaddDlgTest.moc"
