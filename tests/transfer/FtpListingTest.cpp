#include <gtest/gtest.h>

#include "ftp/FtpListing.h"
#include "ftp/FtpTimes.h"

namespace tolvane {
namespace {

constexpr int64_t kJune2024 = 1717243200;  // 2024-06-01 12:00 UTC

TEST(FtpTimes, ReadsTimestampsAsUtcWhateverTheLocalZone) {
  EXPECT_EQ(ParseFtpTimestamp("20240305101530"), 1709633730);
  EXPECT_EQ(ParseFtpTimestamp("20240305101530.123"), 1709633730);
  EXPECT_EQ(UtcSeconds(1999, 12, 31, 0, 5, 0), 946598700);
  EXPECT_EQ(UtcSeconds(1969, 12, 31, 23, 59, 59), -1);
  for (const char* bad : {"2024030510153", "20241305101530", "20240305241530", "2024030510153x",
                          "20240305101530Z", ""}) {
    EXPECT_FALSE(ParseFtpTimestamp(bad)) << bad;
  }
  EXPECT_EQ(UtcYear(1704067199), 2023);  // 2023-12-31 23:59:59
  EXPECT_EQ(UtcYear(1704067200), 2024);
  EXPECT_EQ(UtcYear(-1), 1969);
}

TEST(FtpTimes, ReadsMlstFactsAndMdtmReplies) {
  FtpReply file{250,
                {"250-Listing \"/a b.txt\":", " Type=file;Size=3;Modify=20240305101530; /a b.txt",
                 "250 End MLST."}};
  std::optional<MlstFacts> facts = ParseMlstReply(file);
  ASSERT_TRUE(facts);
  EXPECT_FALSE(facts->isDirectory);
  EXPECT_EQ(facts->modifyUtc, 1709633730);

  FtpReply dir{250, {"250-Listing", " type=dir;modify=20240305101530; /sub", "250 End"}};
  EXPECT_TRUE(ParseMlstReply(dir)->isDirectory);
  FtpReply noTime{250, {"250-Listing", " type=file;size=3; /x", "250 End"}};
  EXPECT_FALSE(ParseMlstReply(noTime)->modifyUtc);
  EXPECT_FALSE(ParseMlstReply(FtpReply{550, {"550 No such file"}}));

  EXPECT_EQ(ParseMdtmReply(FtpReply{213, {"213 20240305101530"}}), 1709633730);
  EXPECT_FALSE(ParseMdtmReply(FtpReply{550, {"550 20240305101530"}}));
  EXPECT_FALSE(ParseMdtmReply(FtpReply{213, {"213 yesterday"}}));
}

TEST(FtpListing, ReadsUnixLinesWithAndWithoutYear) {
  auto e =
      ParseListLine("-rw-r--r--   1 owner    group        1234 Mar 05 10:15 index.html", kJune2024);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->name, "index.html");
  EXPECT_FALSE(e->isDirectory);
  EXPECT_EQ(e->time, UtcSeconds(2024, 3, 5, 10, 15, 0));
  EXPECT_FALSE(e->yearShown);

  e = ParseListLine("-rw-r--r--   1 owner group 99 Mar  5  2019 my  file #1.txt", kJune2024);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->name, "my  file #1.txt");  // inner spaces kept
  EXPECT_EQ(e->time, 1551744000);
  EXPECT_TRUE(e->yearShown);

  e = ParseListLine("-rw-r--r-- 1 ftp 12 Mar 05 10:15  leading space", kJune2024);  // no group
  ASSERT_TRUE(e);
  EXPECT_EQ(e->name, " leading space");

  e = ParseListLine("lrwxrwxrwx 1 u g 7 Mar 05 10:15 link -> target", kJune2024);
  EXPECT_EQ(e->name, "link");
  EXPECT_TRUE(ParseListLine("drwxr-xr-x 2 u g 4096 Mar 05 10:15 sub", kJune2024)->isDirectory);

  EXPECT_FALSE(ParseListLine("total 12", kJune2024));
  EXPECT_FALSE(ParseListLine("", kJune2024));
  EXPECT_FALSE(ParseListLine("-rw-r--r-- 1 u g 12 Mar 05 10:15", kJune2024));  // no name
}

TEST(FtpListing, GivesAYearlessDateTheYearThatIsNotInTheFuture) {
  const char* line = "-rw-r--r-- 1 u g 1 Dec 31 23:59 old.txt";
  // Listed on 2 January: last year's 31 December, not a date eleven months ahead.
  EXPECT_EQ(ParseListLine(line, UtcSeconds(2024, 1, 2, 9, 0, 0))->time, 1704067140);
  // A server ahead of UTC lists New Year's Day while it is still 31 December here.
  EXPECT_EQ(
      ParseListLine("-rw-r--r-- 1 u g 1 Jan 01 04:00 new.txt", UtcSeconds(2023, 12, 31, 20, 0, 0))
          ->time,
      1704081600);
  // Today, hours "ahead" because of the server's zone: still this year.
  EXPECT_EQ(ParseListLine("-rw-r--r-- 1 u g 1 Jun 01 20:00 today.txt", kJune2024)->time,
            UtcSeconds(2024, 6, 1, 20, 0, 0));
}

TEST(FtpListing, ReadsDosLines) {
  auto e = ParseListLine("03-05-24  10:15AM                 1234 index.html", kJune2024);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->name, "index.html");
  EXPECT_EQ(e->time, UtcSeconds(2024, 3, 5, 10, 15, 0));
  EXPECT_TRUE(e->yearShown);
  EXPECT_EQ(ParseListLine("03-05-24  12:05PM  1 noon", kJune2024)->time,
            UtcSeconds(2024, 3, 5, 12, 5, 0));
  EXPECT_EQ(ParseListLine("03-05-24  12:05AM  1 midnight", kJune2024)->time,
            UtcSeconds(2024, 3, 5, 0, 5, 0));
  EXPECT_EQ(ParseListLine("12-31-99  00:05  1 y2k.txt", kJune2024)->time, 946598700);
  e = ParseListLine("03-05-2024  10:15PM       <DIR>          web site", kJune2024);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->isDirectory);
  EXPECT_EQ(e->name, "web site");
  EXPECT_EQ(e->time, UtcSeconds(2024, 3, 5, 22, 15, 0));
  EXPECT_FALSE(ParseListLine("13-05-24  10:15AM  1 bad-month", kJune2024));
  EXPECT_FALSE(ParseListLine("03-05-24  13:15PM  1 bad-hour", kJune2024));
}

}  // namespace
}  // namespace tolvane
