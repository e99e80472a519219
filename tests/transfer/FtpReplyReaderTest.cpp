#include <gtest/gtest.h>

#include "ftp/FtpReplyReader.h"

namespace tolvane {
namespace {

std::vector<FtpReply> All(FtpReplyReader& reader) {
  std::vector<FtpReply> replies;
  while (std::optional<FtpReply> r = reader.Next()) replies.push_back(*r);
  return replies;
}

TEST(FtpReplyReader, SplitsSingleAndMultiLineRepliesWhereverTheBytesBreak) {
  const std::string stream =
      "220 Welcome\r\n"
      "211-Features:\r\n UTF8\r\n211-still going\r\n200 not the end\r\n MLST type*;\r\n211 End\r\n"
      "150 Opening\n"  // a bare LF ends a line too
      "226 Done\r\n";
  // Fed whole, and fed one byte at a time (CR and LF arriving apart): the same replies.
  for (size_t step : {stream.size(), size_t{1}}) {
    FtpReplyReader reader;
    for (size_t i = 0; i < stream.size(); i += step) reader.Feed(stream.substr(i, step));
    std::vector<FtpReply> replies = All(reader);
    ASSERT_EQ(replies.size(), 4u) << step;
    EXPECT_EQ(replies[0].code, 220);
    EXPECT_EQ(replies[0].LastLine(), "220 Welcome");
    EXPECT_EQ(replies[1].code, 211);
    ASSERT_EQ(replies[1].lines.size(), 6u);
    EXPECT_EQ(replies[1].lines[1], " UTF8");
    EXPECT_EQ(replies[1].LastLine(), "211 End");
    EXPECT_TRUE(replies[2].Preliminary());
    EXPECT_EQ(replies[2].LastLine(), "150 Opening");
    EXPECT_TRUE(replies[3].Completed());
    EXPECT_FALSE(reader.Garbled());
  }
}

TEST(FtpReplyReader, WaitsForTheLineEndAndTheLastLine) {
  FtpReplyReader reader;
  reader.Feed("230 Logged in");
  EXPECT_FALSE(reader.Next());
  reader.Feed("\r\n250-Listing\r\n type=file;\r\n");
  EXPECT_EQ(reader.Next()->code, 230);
  EXPECT_FALSE(reader.Next());
  reader.Feed("250 End\r\n");
  EXPECT_EQ(reader.Next()->lines.size(), 3u);
}

TEST(FtpReplyReader, KeepsMemoryBoundedOnEndlessLinesAndReplies) {
  FtpReplyReader reader;
  reader.Feed("550 " + std::string(1 << 20, 'x') + "\r\n200 OK\r\n");
  std::optional<FtpReply> huge = reader.Next();
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->code, 550);
  EXPECT_EQ(huge->LastLine().size(), FtpReplyReader::kMaxLineBytes);
  EXPECT_EQ(reader.Next()->LastLine(), "200 OK");  // the stream stays in step

  reader.Feed("211-many\r\n");
  for (int i = 0; i < 10000; ++i) reader.Feed(" feature\r\n");
  reader.Feed("211 End\r\n");
  std::optional<FtpReply> many = reader.Next();
  ASSERT_TRUE(many);
  EXPECT_LE(many->lines.size(), FtpReplyReader::kMaxLines);
  EXPECT_EQ(many->LastLine(), "211 End");
}

TEST(FtpReplyReader, TakesWhatIsNoReplyAsGarbled) {
  using namespace std::string_literals;
  for (const std::string& garbage :
       {"\x00\xff\xfe garbage\r\n"s, "HTTP/1.1 400 Bad Request\r\n"s, "600 out of range\r\n"s,
        "22 short\r\n"s, "2200 long\r\n"s, "\r\n"s}) {
    FtpReplyReader reader;
    reader.Feed(garbage);
    EXPECT_TRUE(reader.Garbled()) << garbage;
    EXPECT_FALSE(reader.Next());
  }
  FtpReplyReader reader;
  reader.Feed("220\r\n");  // a code alone is a reply
  EXPECT_FALSE(reader.Garbled());
  EXPECT_EQ(reader.Next()->code, 220);
}

}  // namespace
}  // namespace tolvane
