#include <gtest/gtest.h>

#include "ftp/FtpFolderListing.h"
#include "ftp/FtpTimes.h"

namespace tolvane {
namespace {

using Kind = FolderAnswer::Kind;
constexpr int64_t kMarch2024 = 1709633730;  // 2024-03-05 10:15:30 UTC
constexpr int64_t kJune2024 = 1717243200;

Kind KindOf(const FtpFolderListing& listing, const std::string& name) {
  return listing.Find(name).kind;
}

TEST(FtpFolderListing, MlsdAnswersAsASingleMlstWould) {
  std::optional<FtpFolderListing> listing = FtpFolderListing::FromMlsd(
      "type=cdir;modify=20240305101530; .\r\n"
      "Type=File;Size=3;Modify=20240305101530; index.html\r\n"
      "type=dir;modify=20240305101530; sub\r\n"
      "type=file;size=1;modify=20240305101530; a b.txt\r\n"
      "type=OS.unix=slink:/x;modify=20240305101530; link\r\n"
      "type=file;size=1; untimed\r\n");
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->Find("index.html").kind, Kind::Found);
  EXPECT_EQ(listing->Find("index.html").time, kMarch2024);  // UTC, as MLST reports
  EXPECT_EQ(listing->Find("index.html").basis, TimeBasis::Utc);
  EXPECT_EQ(KindOf(*listing, "a b.txt"), Kind::Found);
  EXPECT_EQ(KindOf(*listing, "sub"), Kind::Missing);  // a folder is no file
  EXPECT_EQ(KindOf(*listing, "gone.html"), Kind::Missing);
  // Only the server can say what these are.
  EXPECT_EQ(KindOf(*listing, "link"), Kind::AskServer);
  EXPECT_EQ(KindOf(*listing, "untimed"), Kind::AskServer);
}

TEST(FtpFolderListing, MlsdLeavesNamesAServerMightMatchLooselyToTheServer) {
  std::optional<FtpFolderListing> listing = FtpFolderListing::FromMlsd(
      "type=file;modify=20240305101530; Index.html\n"
      "type=file;modify=20240305101530; .htaccess\n");
  ASSERT_TRUE(listing);
  // A server blind to case finds "index.html"; a case-sensitive one does not.
  EXPECT_EQ(KindOf(*listing, "index.html"), Kind::AskServer);
  EXPECT_EQ(KindOf(*listing, "INDEX.HTML"), Kind::AskServer);
  EXPECT_EQ(KindOf(*listing, "Index.html"), Kind::Found);
  // Unicode forms and cases are not compared here; hidden, trimmed and pattern names neither.
  for (const char* name : {"日本語.html", ".htaccess", ".profile", "x.html ", " x.html", "x.html.",
                           "x*.html", "a\\b.html", "~x"}) {
    EXPECT_EQ(KindOf(*listing, name), Kind::AskServer) << name;
  }
  EXPECT_EQ(KindOf(*listing, "other.html"), Kind::Missing);
}

TEST(FtpFolderListing, UnreadableOrContradictoryMlsd) {
  for (const char* text :
       {"no facts here\r\n", " index.html\r\n", "type=file;modify=20240305101530;\r\n"}) {
    EXPECT_FALSE(FtpFolderListing::FromMlsd(text)) << text;
  }
  std::optional<FtpFolderListing> twice = FtpFolderListing::FromMlsd(
      "type=file;modify=20240305101530; a.html\r\ntype=file;modify=20240305101531; a.html\r\n"
      "type=file;modify=20240305101530; b.html\r\ntype=file;modify=20240305101530; b.html\r\n");
  ASSERT_TRUE(twice);
  EXPECT_EQ(KindOf(*twice, "a.html"), Kind::AskServer);
  EXPECT_EQ(KindOf(*twice, "b.html"), Kind::Found);
  EXPECT_EQ(KindOf(*FtpFolderListing::FromMlsd(""), "a.html"), Kind::Missing);
}

TEST(FtpFolderListing, ListAnswersAsTheSingleListLookUp) {
  FtpFolderListing listing = FtpFolderListing::FromList(
      "total 3\r\n"
      "drwxr-xr-x 2 o g 4096 Mar 05  2024 page.html\r\n"
      "-rw-r--r-- 1 o g    3 Mar 06  2024 page.html\r\n"
      "-rw-r--r-- 1 o g    3 Mar 07  2024 page.html\r\n"
      "-rw-r--r-- 1 o g    3 May 30 10:15 recent file.txt\r\n"
      "03-05-24  10:15AM       <DIR>          dosdir\r\n",
      kJune2024);
  // The first line of the name that is no folder, with the listed wall clock read as UTC.
  EXPECT_EQ(listing.Find("page.html").time, UtcSeconds(2024, 3, 6, 0, 0, 0));
  EXPECT_EQ(listing.Find("page.html").basis, TimeBasis::ListedWallClock);
  EXPECT_EQ(listing.Find("recent file.txt").time, UtcSeconds(2024, 5, 30, 10, 15, 0));
  EXPECT_TRUE(listing.Find("page.html").yearShown);
  EXPECT_FALSE(listing.Find("recent file.txt").yearShown);
  // The single look-up compares exact names in this same listing: no loose answers.
  EXPECT_EQ(KindOf(listing, "PAGE.HTML"), Kind::Missing);
  EXPECT_EQ(KindOf(listing, "dosdir"), Kind::Missing);
  EXPECT_EQ(KindOf(listing, ".hidden"), Kind::Missing);
}

TEST(FtpFolderListing, APutNameAndItsLooseTwinsAreForgotten) {
  std::optional<FtpFolderListing> mlsd = FtpFolderListing::FromMlsd(
      "type=file;modify=20240305101530; index.html\ntype=file;modify=20240305101530; a.css\n");
  FtpFolderListing list = FtpFolderListing::FromList(
      "-rw-r--r-- 1 o g 3 Mar 06  2024 index.html\n-rw-r--r-- 1 o g 3 Mar 06  2024 a.css\n",
      kJune2024);
  for (FtpFolderListing* listing : {&*mlsd, &list}) {
    listing->Forget("INDEX.html");  // on a server blind to case this overwrote index.html
    EXPECT_EQ(KindOf(*listing, "index.html"), Kind::AskServer);
    EXPECT_EQ(KindOf(*listing, "Index.Html"), Kind::AskServer);
    EXPECT_EQ(KindOf(*listing, "a.css"), Kind::Found);
    listing->Forget("new.html");  // not listed before the put, there now
    EXPECT_EQ(KindOf(*listing, "new.html"), Kind::AskServer);
  }
}

TEST(FtpFolderListing, LooseNames) {
  EXPECT_EQ(LooseName("  Index.HTML. . "), "index.html");
  EXPECT_EQ(LooseName("日本語.HTML"), "日本語.html");
  EXPECT_EQ(LooseName(" . "), "");
  EXPECT_EQ(LooseName(""), "");
}

}  // namespace
}  // namespace tolvane
