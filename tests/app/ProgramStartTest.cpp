// Start-up's work on the program folder: one running copy per folder whatever lock file is
// left behind, no leftover temporary files, and no password in a core dump.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>

#include "start/ProgramStart.h"
#include "support/Fakes.h"
#include "window/ProgramFolderLock.h"

namespace tolvane::test {
namespace {

constexpr int64_t kNow = 1767290645;

// Runs `body` in a child process and returns its exit status.
template <typename Body>
int InChild(Body body) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SetAge(const std::string& path, int64_t seconds) {
  const timespec times[2] = {{static_cast<time_t>(kNow - seconds), 0},
                             {static_cast<time_t>(kNow - seconds), 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST(ProgramFolderLock, OneCopyPerFolderNamingTheFolderInUse) {
  FakeMain m;
  TempDir other;
  ProgramFolderLock first(m.dir.path());
  ASSERT_EQ(PrepareProgramFolder(m.settings, first, m.prompts, kNow), StartOutcome::Run);
  ProgramFolderLock second(m.dir.path());
  EXPECT_EQ(PrepareProgramFolder(m.settings, second, m.prompts, kNow), StartOutcome::FolderInUse);
  ASSERT_EQ(m.prompts.shown.size(), 1u);
  EXPECT_EQ(m.prompts.shown[0].text, "すでに起動しています。\n使用中のフォルダ: " + m.dir.path());
  EXPECT_EQ(m.prompts.shown[0].caption, "エラー");
  ProgramFolderLock elsewhere(other.path());  // another folder is another program
  EXPECT_TRUE(elsewhere.Acquire());
}

TEST(ProgramFolderLock, LeftoversOfCopiesThatDiedNeverBlock) {
  TempDir dir;
  // A copy that held the lock and was killed.
  EXPECT_EQ(InChild([&] {
              ProgramFolderLock lock(dir.path());
              return lock.Acquire() ? 0 : 1;
            }),
            0);
  {
    ProgramFolderLock next(dir.path());
    EXPECT_TRUE(next.Acquire());
  }
  // A copy killed while writing the lock: empty or damaged, a day old.
  for (const std::string content : {"", "\xff garbage\n"}) {
    dir.Write("tolvane.lock", content);
    SetAge(dir / "tolvane.lock", 86400);
    ProgramFolderLock lock(dir.path());
    EXPECT_TRUE(lock.Acquire());
  }
  ProgramFolderLock unmakeable(dir / "missing/folder");  // runs unguarded
  EXPECT_TRUE(unmakeable.Acquire());
}

TEST(ProgramStart, RemovesOnlyOwnStaleTemporaryFiles) {
  FakeMain m;
  const char* names[] = {"kestra.ini",           ".tolvane-AbC123",         ".tolvane-young1",
                         "list/.tolvane-x1Y2z3", "list/.tolvane-long-name", "kestra.ini.AbC123"};
  for (const char* name : names) {
    m.dir.Write(name, "x");
    SetAge(m.dir / name, 61);
  }
  SetAge(m.dir / ".tolvane-young1", 30);  // a write of a running copy may still need it
  ProgramFolderLock lock(m.dir.path());
  ASSERT_EQ(PrepareProgramFolder(m.settings, lock, m.prompts, kNow), StartOutcome::Run);
  EXPECT_FALSE(m.dir.Exists(".tolvane-AbC123"));
  EXPECT_FALSE(m.dir.Exists("list/.tolvane-x1Y2z3"));
  for (const char* kept :
       {"kestra.ini", ".tolvane-young1", "list/.tolvane-long-name", "kestra.ini.AbC123"}) {
    EXPECT_TRUE(m.dir.Exists(kept)) << kept;
  }
}

TEST(ProgramStart, ProcessIsUndumpableOnceTheSettingsAreRead) {
  FakeMain m;
  m.dir.Write("kestra.ini", "[main]\nhostname=h\n");
  EXPECT_EQ(InChild([&] {
              ProgramFolderLock lock(m.dir.path());
              PrepareProgramFolder(m.settings, lock, m.prompts, kNow);
              return m.settings.hostname == "h" ? ::prctl(PR_GET_DUMPABLE) : 9;
            }),
            0);
}

}  // namespace
}  // namespace tolvane::test
