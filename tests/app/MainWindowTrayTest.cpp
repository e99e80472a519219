// The main window's ways in and out of the tray, and the ways it ends.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "MainWindowRig.h"
#include "window/MainState.h"

namespace tolvane::test {

class MainWindowTrayTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void startInTrayNeedsScheduleOn();
  void startInTrayHidesAndCentres();
  void startInTrayWithoutTrayMinimises();
  void trayClickShowsTheWindow();
  void minimiseGoesToTrayOnlyWhenSet_data();
  void minimiseGoesToTrayOnlyWhenSet();
  void bringToFrontLeavesTheTray();
  void endingInTrayRemovesTheIcon();
  void everyWayOfEndingEnds_data();
  void everyWayOfEndingEnds();
  void enterOnTheUploadButtonPressesIt();
  void endingDuringARunWaitsForIt();
};

void MainWindowTrayTest::startInTrayNeedsScheduleOn() {
  MainWindowRig rig;
  rig.Ini("[timer]\ntimer=0\nkidou=1\n");
  MainWindow& window = rig.Start();
  QVERIFY(window.isVisible());
  QVERIFY(!window.isMinimized());
  QVERIFY(!rig.tray.shown);
  QVERIFY(!window.State().m_inTray);
}

void MainWindowTrayTest::startInTrayHidesAndCentres() {
  MainWindowRig rig;
  rig.Ini("[timer]\ntimer=1\nkidou=1\n");
  MainWindow& window = rig.Start();
  QTest::qWait(50);
  QVERIFY(!window.isVisible());
  QVERIFY(rig.tray.shown);
  QVERIFY(window.State().m_inTray);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect frame = window.frameGeometry();
  QCOMPARE(frame.x(), area.x() + area.width() / 2 - frame.width() / 2);
  QCOMPARE(frame.y(), area.y() + area.height() / 2 - frame.height() / 2);
  // The clock goes on while hidden.
  rig.clock.now += 1;
  QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), QString("TIMER ON　03：04：06"), 2000);
}

void MainWindowTrayTest::startInTrayWithoutTrayMinimises() {
  MainWindowRig rig;
  rig.tray.available = false;
  rig.Ini("[timer]\ntimer=1\nkidou=1\nsaisyou=1\n");
  MainWindow& window = rig.Start();
  QTest::qWait(50);
  QVERIFY(window.isVisible());
  QVERIFY(window.isMinimized());
  QCOMPARE(rig.tray.showCalls, 0);
  QVERIFY(!window.State().m_inTray);
}

void MainWindowTrayTest::trayClickShowsTheWindow() {
  MainWindowRig rig;
  rig.Ini("[timer]\ntimer=1\nkidou=1\n");
  MainWindow& window = rig.Start();
  rig.tray.Click();
  QVERIFY(window.isVisible());
  QVERIFY(!window.isMinimized());
  QVERIFY(!rig.tray.shown);
  QVERIFY(!window.State().m_inTray);
  // A second click (the icon is gone) changes nothing.
  rig.tray.Click();
  QVERIFY(window.isVisible());
  QCOMPARE(rig.tray.showCalls, 1);
}

void MainWindowTrayTest::minimiseGoesToTrayOnlyWhenSet_data() {
  QTest::addColumn<QString>("minimizeToTray");
  QTest::addColumn<bool>("trayAvailable");
  QTest::addColumn<bool>("toTray");
  QTest::newRow("saisyou 1") << "1" << true << true;
  QTest::newRow("saisyou 0") << "0" << true << false;
  QTest::newRow("saisyou 2 is off") << "2" << true << false;
  QTest::newRow("no tray") << "1" << false << false;
}

void MainWindowTrayTest::minimiseGoesToTrayOnlyWhenSet() {
  QFETCH(QString, minimizeToTray);
  QFETCH(bool, trayAvailable);
  QFETCH(bool, toTray);
  MainWindowRig rig;
  rig.tray.available = trayAvailable;
  rig.Ini("[timer]\nsaisyou=" + minimizeToTray.toStdString() + "\n");
  MainWindow& window = rig.Start();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  window.showMinimized();
  QTest::qWait(50);
  QCOMPARE(window.State().m_inTray, toTray);
  QCOMPARE(rig.tray.shown, toTray);
  QCOMPARE(window.isVisible(), !toTray);
  if (!toTray) return;
  rig.tray.Click();
  QVERIFY(window.isVisible());
  QVERIFY(!window.isMinimized());
  QVERIFY(!rig.tray.shown);
  // Shown again, it stays shown: the delayed hide of the minimise must not catch up.
  QTest::qWait(50);
  QVERIFY(window.isVisible());
}

void MainWindowTrayTest::bringToFrontLeavesTheTray() {
  MainWindowRig rig;
  rig.Ini("[timer]\ntimer=1\nkidou=1\n");
  MainWindow& window = rig.Start();
  window.Context().view.BringToFront();
  QVERIFY(window.isVisible());
  QVERIFY(!rig.tray.shown);
  QVERIFY(!window.State().m_inTray);
}

void MainWindowTrayTest::endingInTrayRemovesTheIcon() {
  MainWindowRig rig;
  rig.Ini("[timer]\ntimer=1\nkidou=1\n");
  MainWindow& window = rig.Start();
  QVERIFY(rig.tray.shown);
  rig.Action("exitAction")->trigger();
  QVERIFY(window.HasEnded());
  QVERIFY(!rig.tray.shown);
  QVERIFY(!window.State().m_inTray);
}

void MainWindowTrayTest::everyWayOfEndingEnds_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<int>("result");
  QTest::newRow("Exit") << "exit" << int(QDialog::Rejected);
  QTest::newRow("close box") << "close" << int(QDialog::Rejected);
  QTest::newRow("Escape") << "escape" << int(QDialog::Rejected);
  QTest::newRow("Enter in the file list") << "enter-files" << int(QDialog::Accepted);
  QTest::newRow("Enter in the selector") << "enter-combo" << int(QDialog::Accepted);
}

void MainWindowTrayTest::everyWayOfEndingEnds() {
  QFETCH(QString, how);
  QFETCH(int, result);
  MainWindowRig rig;
  rig.List("a", {"/w/a.txt", ""});
  MainWindow& window = rig.Start();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  bool finished = false;
  QObject::connect(&window, &QDialog::finished, [&] { finished = true; });
  if (how == "exit") rig.Action("exitAction")->trigger();
  if (how == "close") window.close();
  if (how == "escape") QTest::keyClick(rig.Files(), Qt::Key_Escape);
  if (how == "enter-files") QTest::keyClick(rig.Files(), Qt::Key_Return);
  if (how == "enter-combo") QTest::keyClick(rig.Combo(), Qt::Key_Enter, Qt::KeypadModifier);
  QVERIFY(finished);
  QVERIFY(window.HasEnded());
  QVERIFY(!window.isVisible());
  QCOMPARE(window.result(), result);
}

void MainWindowTrayTest::enterOnTheUploadButtonPressesIt() {
  MainWindowRig rig;
  MainWindow& window = rig.Start();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* button = rig.Find<QPushButton>("uploadButton");
  int presses = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++presses; });
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Return);
  QCOMPARE(presses, 1);
  QVERIFY(!window.HasEnded());
  QVERIFY(window.isVisible());
}

void MainWindowTrayTest::endingDuringARunWaitsForIt() {
  MainWindowRig rig;
  rig.Ini("[timer]\ntimer=1\nkidou=1\n");
  MainWindow& window = rig.Start();
  window.State().m_busy = true;  // as during an upload run
  rig.Action("exitAction")->trigger();
  QVERIFY(!window.HasEnded());
  QVERIFY(window.State().m_closing);
  QVERIFY(!window.isVisible());
  QVERIFY(!rig.tray.shown);
  QTest::qWait(600);
  QVERIFY(!window.HasEnded());
  window.State().m_busy = false;
  QTRY_VERIFY_WITH_TIMEOUT(window.HasEnded(), 2000);
  QCOMPARE(window.result(), int(QDialog::Rejected));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::MainWindowTrayTest)
#include "MainWindowTrayTest.moc"
