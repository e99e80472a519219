// Files of the program folder that are not what they claim to be: FIFOs that would freeze the
// program in open(), symlinks that would pull another file in, and list names that would
// reach outside the list folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lists/ListStore.h"
#include "lists/MainLists.h"
#include "schedule/ScheduleTicker.h"
#include "schedule/TimerFile.h"
#include "settings/AsciiModeTable.h"
#include "settings/SettingsFile.h"
#include "start/ProgramStart.h"
#include "support/Fakes.h"
#include "support/FifoFile.h"

namespace tolvane::test {
namespace {

TEST(ProgramFolderFiles, FifosInPlaceOfStateFilesNeverBlock) {
  for (const char* name : {"kestra.ini", "timer.ini", "mode.ini", "list/a.ini"}) {
    SCOPED_TRACE(name);
    FakeMain m;
    m.dir.Write("list/keep", "");
    ASSERT_TRUE(MakeFifo(m.dir / name));
    m.view.lists = {"a"};
    std::vector<std::string> exts;
    FakeShutdown shutdown;
    ScheduleTicker ticker(m.ctx, shutdown, [](const TimerEntry&) {});
    EXPECT_TRUE(ReturnsPromptly(m.dir / name, [&] {
      LoadSettings(m.settings);
      ticker.LoadAtStart();
      LoadAsciiExtensions(m.settings, exts);
      ShowList(m.ctx, 0);
      WriteSettingInt(m.settings, "timer", "timer", 1);
    }));
    EXPECT_EQ(FindIrregularStateFiles(m.settings), std::vector<std::string>{name});
    EXPECT_EQ(FindListNames(m.settings), std::vector<std::string>{});
    struct stat st {};
    ASSERT_EQ(::lstat((m.dir / name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));  // never replaced by a regular file either
  }
}

TEST(ProgramFolderFiles, SymlinkedStateFilesAreNeitherReadNorCopied) {
  FakeMain m;
  TempDir elsewhere;
  elsewhere.Write("secret.ini", "[main]\nhostname=secret\n/etc/passwd\r\n\r\n");
  ::chmod((elsewhere / "secret.ini").c_str(), 0644);
  m.dir.Write("list/keep", "");
  for (const char* name : {"kestra.ini", "timer.ini", "list/x.ini"}) {
    ASSERT_EQ(::symlink((elsewhere / "secret.ini").c_str(), (m.dir / name).c_str()), 0);
  }
  LoadSettings(m.settings);
  EXPECT_EQ(m.settings.hostname, "");
  EXPECT_FALSE(WriteSettingInt(m.settings, "timer", "timer", 1));
  EXPECT_EQ(ReadTimerFile(m.settings), std::nullopt);
  EXPECT_EQ(ReadListFile(m.settings, "x"), std::nullopt);
  EXPECT_EQ(FindListNames(m.settings), std::vector<std::string>{});

  ReportIrregularStateFiles(m.settings, m.prompts);
  ASSERT_EQ(m.prompts.shown.size(), 1u);
  EXPECT_EQ(m.prompts.shown[0].text,
            "次のファイルは通常のファイルではない（リンクなど）ため使いません:\n"
            "kestra.ini\ntimer.ini\nlist/x.ini");
  char target[256] = {};
  EXPECT_GT(::readlink((m.dir / "kestra.ini").c_str(), target, sizeof target - 1), 0);
}

TEST(ProgramFolderFiles, ListNamesNeverLeaveTheListFolder) {
  FakeMain m;
  m.dir.Write("elsewhere/evil.ini", "/etc/shadow\r\n\r\n");
  m.dir.Write("list/..ini", "x\r\n\r\n");
  using namespace std::string_literals;
  for (const std::string& name : {"../elsewhere/evil"s, "."s, ".."s, "a\0b"s, "sub/a"s}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(IsListFileName(name));
    EXPECT_EQ(ReadListFile(m.settings, name), std::nullopt);
    EXPECT_EQ(WriteListFile(m.settings, name, {{"p", "f"}}), ListWrite::CannotCreate);
    EXPECT_FALSE(DeleteListFile(m.settings, name));
    EXPECT_FALSE(RenameListFile(m.settings, name, "b"));
  }
  EXPECT_TRUE(m.dir.Exists("elsewhere/evil.ini"));
  EXPECT_TRUE(IsListFileName(""));  // the list of a file named ".ini"
  EXPECT_TRUE(IsListFileName("..."));
}

TEST(ProgramFolderFiles, NameNearTheLengthLimitStillSaves) {
  FakeMain m;
  const std::string name(251 - 4, 'n');  // 251 bytes with ".ini"
  EXPECT_EQ(WriteListFile(m.settings, name, {{"/w/a.html", ""}}), ListWrite::Done);
  EXPECT_EQ(ReadListFile(m.settings, name)->entries.size(), 1u);
}

}  // namespace
}  // namespace tolvane::test
