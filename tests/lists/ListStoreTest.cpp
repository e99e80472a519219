#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "lists/ListStore.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

class ListStoreTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
};

TEST_F(ListStoreTest, PairsLinesAndKeepsEmptyFolders) {
  dir.Write("list/web.ini", "/a/index.html\r\n\r\n/a/x.css\r\ncss\r\n/a/odd\r\n");
  auto list = ReadListFile(settings, "web");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->entries.size(), 2u);  // the unpaired last line is dropped
  EXPECT_EQ(list->entries[0].remoteFolder, "");
  EXPECT_EQ(list->entries[1].localPath, "/a/x.css");
  EXPECT_EQ(list->entries[1].remoteFolder, "css");
  // ...or shown as an entry without a folder.
  list = ReadListFile(settings, "web", UnpairedLine::AsEntry);
  EXPECT_EQ(list->entries.back(), (UploadEntry{"/a/odd", ""}));
  EXPECT_FALSE(ReadListFile(settings, "missing"));
}

TEST_F(ListStoreTest, LfOnlyFileReadsLikeCrLf) {
  dir.Write("list/a.ini", "/p\n\n/q\nf\n");
  dir.Write("list/b.ini", "/p\r\n\r\n/q\r\nf\r\n");
  EXPECT_EQ(ReadListFile(settings, "a")->entries, ReadListFile(settings, "b")->entries);
}

TEST_F(ListStoreTest, WriteCreatesTheFolderAndWritesCp932CrLf) {
  ASSERT_EQ(WriteListFile(settings, "サイト", {{"/home/表/a.html", ""}, {"/b", "dir"}}),
            ListWrite::Done);
  EXPECT_EQ(dir.Read("list/サイト.ini"), "/home/\x95\x5C/a.html\r\n\r\n/b\r\ndir\r\n");
}

TEST_F(ListStoreTest, WriteFailuresAreTold) {
  dir.Write("list", "a file where the folder should be");
  EXPECT_EQ(WriteListFile(settings, "x", {{"/a", ""}}), ListWrite::FolderUnavailable);
  test::TempDir other;
  AppSettings s = test::SettingsIn(other);
  other.Write("list/x.ini/inner", "");  // a folder where the file should be
  EXPECT_EQ(WriteListFile(s, "x", {{"/a", ""}}), ListWrite::CannotCreate);
  EXPECT_EQ(WriteListFile(s, "y", {{"é", ""}}), ListWrite::Unencodable);
}

TEST_F(ListStoreTest, RenameNeverReplacesAnotherList) {
  dir.Write("list/a.ini", "A\r\n\r\n");
  dir.Write("list/b.ini", "B\r\n\r\n");
  EXPECT_FALSE(RenameListFile(settings, "a", "b"));
  EXPECT_EQ(dir.Read("list/b.ini"), "B\r\n\r\n");
  EXPECT_FALSE(RenameListFile(settings, "missing", "c"));
  EXPECT_TRUE(RenameListFile(settings, "a", "c"));
  EXPECT_EQ(dir.Read("list/c.ini"), "A\r\n\r\n");
  EXPECT_TRUE(DeleteListFile(settings, "c"));
  EXPECT_FALSE(DeleteListFile(settings, "c"));
}

TEST_F(ListStoreTest, FindsListFilesSortedByNameIgnoringCase) {
  for (const char* name : {"list/b.ini", "list/サイト.ini", "list/a.ini", "list/.ini", "list/c.txt",
                           "list/D.INI", "list/folder.ini/x", "list/B.ini", "list/A.ini"}) {
    dir.Write(name, "");
  }
  EXPECT_EQ(FindListNames(settings), (std::vector<std::string>{"", "A", "a", "B", "b", "サイト"}));
  test::TempDir empty;
  EXPECT_TRUE(FindListNames(test::SettingsIn(empty)).empty());
}

TEST_F(ListStoreTest, FolderThatCannotBeEnteredIsToldAsSuch) {
  dir.Write("list/a.ini", "");
  ::chmod((dir / "list").c_str(), 0600);
  ::chmod(dir.path().c_str(), 0755);
  // As an ordinary user, for whom permissions count (root ignores them).
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(9);
    ::_exit(WriteListFile(settings, "a", {{"/w/a.html", ""}}) == ListWrite::FolderUnavailable ? 0
                                                                                              : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::chmod((dir / "list").c_str(), 0700);
  if (geteuid() != 0 && WEXITSTATUS(status) == 9) GTEST_SKIP() << "needs root to change user";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ListStoreTest, RelativePathsCountFromTheListFolder) {
  EXPECT_EQ(ResolveListPath(settings, "site/index.html"), dir / "list/site/index.html");
  EXPECT_EQ(ResolveListPath(settings, "../top.html"), dir / "list/../top.html");
  EXPECT_EQ(ResolveListPath(settings, "/w/a.html"), "/w/a.html");
  EXPECT_EQ(ResolveListPath(settings, ""), "");
}

TEST(ListNames, DisplayNameAndForbiddenCharacters) {
  EXPECT_EQ(DisplayName("/home/u/表/index.html"), "index.html");
  EXPECT_EQ(DisplayName("plain"), "plain");
  EXPECT_EQ(DisplayName("/home/u/"), "");
  EXPECT_FALSE(HasForbiddenListChar("   "));
  EXPECT_FALSE(HasForbiddenListChar("表ソ"));  // trail bytes 0x5C in code page 932 are fine here
  for (char c : std::string(kForbiddenListChars)) {
    EXPECT_TRUE(HasForbiddenListChar(std::string("a") + c)) << c;
  }
}

}  // namespace
}  // namespace tolvane
