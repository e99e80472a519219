// The main window's start-up over real files: status lines, list selector, start list, and
// settings or list files that are damaged.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "GeneralSettingsDialog.h"
#include "ListEditorDialog.h"
#include "ListEntryDialog.h"
#include "MainWindowRig.h"
#include "ServerSettingsDialog.h"
#include "TimerEntryDialog.h"
#include "TimerListDialog.h"
#include "support/FileFaults.h"
#include "window/MainState.h"

namespace tolvane::test {

class MainWindowStartTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void statusLinesFollowTheStoredSwitch_data();
  void statusLinesFollowTheStoredSwitch();
  void selectorIsSortedAndShowsTheStartList();
  void unknownStartShowsTheFirstList();
  void noListsLeaveEverythingEmpty_data();
  void noListsLeaveEverythingEmpty();
  void choosingAListShowsIt();
  void timerMenuAndTickDriveTheStatusLine();
  void damagedFilesNeverStopTheStart_data();
  void damagedFilesNeverStopTheStart();
  void startNoticesComeOnceTheTimerRuns();
  void appendedListIsNeitherSelectedNorShown();
  void statusLinesSpeakWhatTheyShow();
  void dialogsCannotBeMinimised();
};

void MainWindowStartTest::statusLinesFollowTheStoredSwitch_data() {
  QTest::addColumn<QString>("ini");
  QTest::addColumn<QString>("status");
  QTest::addColumn<bool>("checked");
  QTest::addColumn<QString>("storedTimer");
  QTest::newRow("no settings file") << ""
                                    << "TIMER OFF　03：04：05" << false << "timer=0";
  QTest::newRow("off") << "[timer]\ntimer=0\n"
                       << "TIMER OFF　03：04：05" << false << "timer=0";
  // Any nonzero value is on, and is stored back as 1.
  QTest::newRow("5 is on") << "[timer]\ntimer=5\n"
                           << "TIMER ON　03：04：05" << true << "timer=1";
}

void MainWindowStartTest::statusLinesFollowTheStoredSwitch() {
  QFETCH(QString, ini);
  QFETCH(QString, status);
  QFETCH(bool, checked);
  QFETCH(QString, storedTimer);
  MainWindowRig rig;
  if (!ini.isEmpty()) rig.Ini(ini.toStdString());
  rig.Start();
  QCOMPARE(rig.FileLine(), QString());
  QCOMPARE(rig.Status(), status);
  QCOMPARE(rig.Action("timerOnAction")->isChecked(), checked);
  QVERIFY(rig.dir.Read("kestra.ini").find(storedTimer.toStdString() + "\r\n") != std::string::npos);
  QVERIFY(rig.prompts.shown.empty());
}

void MainWindowStartTest::selectorIsSortedAndShowsTheStartList() {
  MainWindowRig rig;
  rig.Ini("[main]\nstart=サイト\n");
  rig.List("b", {"/w/b.html", ""});
  rig.List("サイト", {"/w/表示/索引.html", "html", "/w/top/", "", "相対.css", "css"});
  rig.List("a", {});
  MainWindow& window = rig.Start();
  QCOMPARE(rig.ComboItems(), QStringList({"a", "b", "サイト"}));
  QCOMPARE(rig.Combo()->currentIndex(), 2);
  QCOMPARE(rig.FileItems(), QStringList({"索引.html", "", "相対.css"}));
  QCOMPARE(window.State().filePaths,
           (std::vector<std::string>{"/w/表示/索引.html", "/w/top/", rig.dir / "list/相対.css"}));
  QCOMPARE(window.FileSelection(), -1);
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(QApplication::focusWidget(), rig.Files());
}

// A start naming no list shows the first; a file named ".ini" is a list with an empty name.
void MainWindowStartTest::unknownStartShowsTheFirstList() {
  MainWindowRig rig;
  rig.Ini("[main]\nstart=gone\n");
  rig.List("", {"/w/x1", "", "/w/x2", ""});
  rig.List("y", {"/w/y", ""});
  rig.Start();
  QCOMPARE(rig.ComboItems(), QStringList({"", "y"}));
  QCOMPARE(rig.Combo()->currentIndex(), 0);
  QCOMPARE(rig.FileItems(), QStringList({"x1", "x2"}));
}

void MainWindowStartTest::noListsLeaveEverythingEmpty_data() {
  QTest::addColumn<QString>("layout");
  QTest::newRow("no list folder") << "";
  QTest::newRow("empty list folder") << "folder";
  QTest::newRow("list folder is a file") << "file";
  QTest::newRow("only other files") << "others";
}

void MainWindowStartTest::noListsLeaveEverythingEmpty() {
  QFETCH(QString, layout);
  MainWindowRig rig;
  if (layout == "folder") std::filesystem::create_directories(rig.dir / "list");
  if (layout == "file") rig.dir.Write("list", "not a folder");
  if (layout == "others") rig.dir.Write("list/readme.txt", "x"), rig.dir.Write("list/ini", "x");
  rig.Start();
  QCOMPARE(rig.Combo()->count(), 0);
  QCOMPARE(rig.Combo()->currentIndex(), -1);
  QCOMPARE(rig.Files()->count(), 0);
  QVERIFY(rig.prompts.shown.empty());
}

void MainWindowStartTest::choosingAListShowsIt() {
  MainWindowRig rig;
  rig.List("a", {"/w/a.txt", ""});
  rig.List("b", {"/w/b1.txt", "", "/w/b2.txt", ""});
  MainWindow& window = rig.Start();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  rig.Combo()->setFocus();
  QTest::keyClick(rig.Combo(), Qt::Key_Down);
  QCOMPARE(rig.Combo()->currentIndex(), 1);
  QCOMPARE(rig.FileItems(), QStringList({"b1.txt", "b2.txt"}));
  // A list whose file went away after start-up says so and shows nothing.
  std::filesystem::remove(rig.dir / "list/a.ini");
  QTest::keyClick(rig.Combo(), Qt::Key_Up);
  QCOMPARE(rig.Files()->count(), 0);
  QCOMPARE(rig.prompts.shown.size(), size_t{1});
  QCOMPARE(rig.prompts.shown[0].text, std::string("リストを読み込めませんでした"));
  QVERIFY(window.State().filePaths.empty());
}

void MainWindowStartTest::timerMenuAndTickDriveTheStatusLine() {
  MainWindowRig rig;
  MainWindow& window = rig.Start();
  rig.Action("timerOnAction")->trigger();
  QCOMPARE(rig.Status(), QString("TIMER ON　03：04：05"));
  QVERIFY(rig.Action("timerOnAction")->isChecked());
  QVERIFY(rig.dir.Read("kestra.ini").find("timer=1\r\n") != std::string::npos);
  // The 250 ms timer keeps the clock going.
  rig.clock.now += 2;
  QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), QString("TIMER ON　03：04：07"), 2000);
  QVERIFY(!window.HasEnded());
}

void MainWindowStartTest::damagedFilesNeverStopTheStart_data() {
  QTest::addColumn<QByteArray>("ini");
  QTest::addColumn<QByteArray>("list");
  QByteArray junk;
  for (int i = 0; i < 4096; ++i) junk.append(static_cast<char>((i * 37 + 11) % 256));
  const QByteArray invalidCp932("\x81\x20\xff\xfe\x85\x40\xa0\x82", 8);
  const QByteArray hugeLine = QByteArray(1 << 20, 'a');
  QTest::newRow("binary junk") << junk << junk;
  QTest::newRow("invalid code page 932")
      << "[main]\r\nstart=" + invalidCp932 + "\r\n[timer]\r\ntimer=" + invalidCp932 + "\r\n"
      << "/w/" + invalidCp932 + "\r\n" + invalidCp932 + "\r\n";
  QTest::newRow("megabyte lines") << "[main]\r\nstart=" + hugeLine + "\r\n" + hugeLine
                                  << "/w/" + hugeLine + "\r\n" + hugeLine + "\r\n/w/b\r\n";
  QTest::newRow("no line ends") << QByteArray("[timer]timer=1") << QByteArray("/w/a\r\r\r");
}

void MainWindowStartTest::damagedFilesNeverStopTheStart() {
  QFETCH(QByteArray, ini);
  QFETCH(QByteArray, list);
  MainWindowRig rig;
  rig.dir.Write("kestra.ini", ini.toStdString());
  rig.dir.Write("list/damaged.ini", list.toStdString());
  MainWindow& window = rig.Start();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(rig.ComboItems(), QStringList({"damaged"}));
  QVERIFY(rig.Status().startsWith("TIMER O"));
  QVERIFY(rig.Status().endsWith("03：04：05"));
  QVERIFY(rig.Files()->count() >= 1);
  QCOMPARE(static_cast<size_t>(rig.Files()->count()), window.State().filePaths.size());
  // A megabyte name is shown shortened, or laying it out freezes the window for seconds.
  QVERIFY(rig.Files()->item(0)->text().size() <= 1025);
  QVERIFY(rig.prompts.shown.empty());
}

void MainWindowStartTest::startNoticesComeOnceTheTimerRuns() {
  MainWindowRig rig;
  // A purge that cannot be written, and a state file that is a symlink.
  rig.dir.Write("timer.ini", "10202001010000\r\nold\r\n200930\r\nweb\r\n");
  std::filesystem::create_directory(rig.dir / "list");
  std::filesystem::create_directory_symlink("/etc", rig.dir / "list/etc.ini");
  test::FileSizeLimit diskFull(4);
  bool tickingAtEach = true;
  rig.prompts.onShow = [&] {
    const QTimer* timer = rig.window->findChild<QTimer*>(QStringLiteral("tickTimer"));
    tickingAtEach = tickingAtEach && timer && timer->isActive();
  };
  rig.Start();
  QCOMPARE(rig.prompts.shown.size(), size_t{2});
  QVERIFY(tickingAtEach);
}

void MainWindowStartTest::appendedListIsNeitherSelectedNorShown() {
  MainWindowRig rig;
  MainWindow& window = rig.Start();
  window.AppendList("new");
  QCOMPARE(window.ListSelection(), -1);
  QCOMPARE(rig.Combo()->currentText(), QString());
}

void MainWindowStartTest::statusLinesSpeakWhatTheyShow() {
  MainWindowRig rig;
  MainWindow& window = rig.Start();
  const QLabel* status = rig.Find<QLabel>("statusLine");
  const QLabel* file = rig.Find<QLabel>("fileLine");
  QCOMPARE(status->accessibleName(), QStringLiteral("TIMER OFF　03：04：05"));
  QCOMPARE(status->accessibleDescription(), QStringLiteral("ステータス"));
  QCOMPARE(file->accessibleName(), QStringLiteral("ファイル表示"));  // empty: its role
  window.SetFileLine("index.html");
  QCOMPARE(file->accessibleName(), QStringLiteral("index.html"));
  QCOMPARE(file->accessibleDescription(), QStringLiteral("ファイル表示"));
}

void MainWindowStartTest::dialogsCannotBeMinimised() {
  MainWindowRig rig;
  MainWindow& window = rig.Start();
  ScheduleTicker ticker(window.Context(), rig.shutdown, [](const TimerEntry&) {});
  TimerListDialog timers(window.Context(), ticker, &window);
  struct Case {
    std::unique_ptr<QDialog> dialog;
    bool fixed;
  };
  Case cases[] = {
      {std::make_unique<GeneralSettingsDialog>(window.Context(), &window), true},
      {std::make_unique<ServerSettingsDialog>(window.Context(), &window), true},
      {std::make_unique<ListEntryDialog>(rig.prompts, nullptr, &window), true},
      {std::make_unique<TimerEntryDialog>(window.Context(), &timers, &window), true},
      {std::make_unique<ListEditorDialog>(rig.settings, window, rig.prompts, &window), false},
  };
  for (Case& c : cases) {
    QDialog& dialog = *c.dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const Qt::WindowFlags flags = dialog.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog.minimumSize() == dialog.maximumSize(), c.fixed);
    dialog.hide();
  }
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::MainWindowStartTest)
#include "MainWindowStartTest.moc"
