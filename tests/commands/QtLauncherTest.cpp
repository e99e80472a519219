// Programs started by the launcher get the path as one argument, whatever it holds.
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>

#include "QtLauncher.h"
#include "support/TempDir.h"

namespace tolvane {

class QtLauncherTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void StartProgramTakesPathsWhole() {
    test::TempDir dir;
    // A program whose own path has a blank, and a file name a shell would split and expand.
    QVERIFY(
        QFile::copy(QStringLiteral("/usr/bin/touch"), QString::fromStdString(dir / "my touch")));
    const std::string target = dir / "a b\"c'$(x) ;d.txt";
    QtLauncher launcher;
    QVERIFY(launcher.StartProgram(dir / "my touch", target));
    QDeadlineTimer deadline(5000);
    while (!dir.Exists("a b\"c'$(x) ;d.txt") && !deadline.hasExpired()) QThread::msleep(20);
    QVERIFY(dir.Exists("a b\"c'$(x) ;d.txt"));
    QVERIFY(!dir.Exists("a"));

    QVERIFY(!launcher.StartProgram(dir / "no such editor", target));
    QVERIFY(!launcher.OpenFile(dir / "missing.pdf"));
  }
};

}  // namespace tolvane

QTEST_GUILESS_MAIN(tolvane::QtLauncherTest)
#include "QtLauncherTest.moc"
