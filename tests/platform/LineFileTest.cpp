#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/LineFile.h"
#include "support/FileFaults.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

TEST(LineFile, SplitsLikeATextModeReader) {
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitLines("a\nb"), (Lines{"a", "b"}));              // LF alone, no last line end
  EXPECT_EQ(SplitLines("\r\n\r\nx\r\n"), (Lines{"", "", "x"}));  // empty lines kept
  EXPECT_EQ(SplitLines("a\rb\r\n"), (Lines{"a\rb"}));            // a lone CR is text
  EXPECT_EQ(SplitLines("a\r\r\n"), (Lines{"a\r"}));
  EXPECT_EQ(SplitLines("\n"), (Lines{""}));
}

TEST(LineFile, WritesCp932WithCrLfAndReadsItBack) {
  test::TempDir dir;
  Lines lines{"/home/表/index.html", "", "サイト", "x"};
  ASSERT_EQ(WriteLineFile(dir / "l.ini", lines), LineWrite::Ok);
  EXPECT_EQ(dir.Read("l.ini"), std::string("/home/\x95\x5C/index.html\r\n\r\n\x83T\x83"
                                           "C\x83g\r\nx\r\n"));
  EXPECT_EQ(ReadLineFile(dir / "l.ini"), lines);
  ASSERT_EQ(WriteLineFile(dir / "empty.ini", {}), LineWrite::Ok);
  EXPECT_EQ(dir.Read("empty.ini"), "");
}

TEST(LineFile, RefusesUnencodableTextAndKeepsTheOldFile) {
  test::TempDir dir;
  dir.Write("l.ini", "old\r\n");
  EXPECT_EQ(WriteLineFile(dir / "l.ini", {"café"}), LineWrite::Unencodable);
  EXPECT_EQ(WriteLineFile(dir / "l.ini", {"two\nlines"}), LineWrite::Unencodable);
  EXPECT_EQ(dir.Read("l.ini"), "old\r\n");
}

TEST(LineFile, FailedWriteLeavesOldFileWhole) {
  test::TempDir dir;
  dir.Write("l.ini", "old\r\n");
  {
    test::FileSizeLimit diskFull(4);  // the disk fills up after four bytes
    EXPECT_EQ(WriteLineFile(dir / "l.ini", {"new", "lines"}), LineWrite::Failed);
  }
  EXPECT_EQ(dir.Read("l.ini"), "old\r\n");
  EXPECT_EQ(test::NamesIn(dir.path()), std::vector<std::string>{"l.ini"});  // no leftovers

  test::UnwritableFolder readOnly(dir.path());
  if (readOnly.active()) {
    EXPECT_EQ(WriteLineFile(dir / "l.ini", {"new"}), LineWrite::Failed);
    EXPECT_EQ(dir.Read("l.ini"), "old\r\n");
  }
}

TEST(LineFile, FailedWriteIntoMissingFolderOrOverFolder) {
  test::TempDir dir;
  EXPECT_EQ(WriteLineFile(dir / "missing/l.ini", {"x"}), LineWrite::Failed);
  dir.Write("folder/inner", "");
  EXPECT_EQ(WriteLineFile(dir / "folder", {"x"}), LineWrite::Failed);
  EXPECT_FALSE(ReadLineFile(dir / "folder").has_value());
  EXPECT_FALSE(ReadLineFile(dir / "nothing").has_value());
}

TEST(LineFile, SurvivesJunk) {
  test::TempDir dir;
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  junk += std::string(1 << 20, 'x');  // a megabyte line
  dir.Write("junk", junk);
  auto lines = ReadLineFile(dir / "junk");
  ASSERT_TRUE(lines.has_value());
  EXPECT_GE(lines->back().size(), size_t{1} << 20);
}

}  // namespace
}  // namespace tolvane
