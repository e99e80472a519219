// One running copy per user: a second lock in the same runtime folder is refused, and a lock
// left behind by a copy that died is not.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

#include "app/SingleInstanceLock.h"
#include "support/TempDir.h"

namespace tolvane::test {

class SingleInstanceLockTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void secondCopyIsRefusedUntilTheFirstEnds();
  void lockOfADeadCopyDoesNotBlock();
  void noRuntimeFolderDoesNotBlock();
};

void SingleInstanceLockTest::secondCopyIsRefusedUntilTheFirstEnds() {
  TempDir dir;
  const QString folder = QString::fromStdString(dir.path());
  {
    SingleInstanceLock first(folder);
    QVERIFY(first.Acquire());
    SingleInstanceLock second(folder);
    QVERIFY(!second.Acquire());
  }
  SingleInstanceLock third(folder);
  QVERIFY(third.Acquire());
}

// A pid that has certainly ended: a child that exited and was reaped.
static pid_t DeadPid() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

void SingleInstanceLockTest::lockOfADeadCopyDoesNotBlock() {
  TempDir dir;
  const QString folder = QString::fromStdString(dir.path());
  const QString path = folder + "/tolvane.lock";
  QByteArray content;
  {
    // Qt's own lock file, as a copy that crashed would leave it, but naming a dead process.
    SingleInstanceLock live(folder);
    QVERIFY(live.Acquire());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    content = file.readAll();
  }
  const qsizetype firstLineEnd = content.indexOf('\n');
  QVERIFY(firstLineEnd > 0);
  content.replace(0, firstLineEnd, QByteArray::number(DeadPid()));
  QFile stale(path);
  QVERIFY(stale.open(QIODevice::WriteOnly));
  stale.write(content);
  stale.close();

  SingleInstanceLock next(folder);
  QVERIFY(next.Acquire());
  SingleInstanceLock another(folder);
  QVERIFY(!another.Acquire());
}

void SingleInstanceLockTest::noRuntimeFolderDoesNotBlock() {
  TempDir dir;
  SingleInstanceLock lock(QString::fromStdString(dir / "missing/folder"));
  QVERIFY(lock.Acquire());
}

}  // namespace tolvane::test

QTEST_GUILESS_MAIN(tolvane::test::SingleInstanceLockTest)
#include "SingleInstanceLockTest.moc"
