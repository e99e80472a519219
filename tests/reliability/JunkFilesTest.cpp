// Damaged files as a hand edit, a crash of another program or a bad disk leave them: binary
// junk, bytes that are no code page 932, NUL bytes, lines of a megabyte and odd line counts.
// Every reader must get through them, and a rewrite must keep every line it did not mean to
// change. (Settings files and the line reader itself are covered in tests/app and
// tests/platform.)
#include <algorithm>

#include "lists/ListEditorForm.h"
#include "lists/MainLists.h"
#include "platform/Cp932.h"
#include "platform/LineFile.h"
#include "schedule/TickerFixture.h"
#include "schedule/TimerFile.h"
#include "schedule/TimerListForm.h"
#include "settings/AsciiModeTable.h"

namespace tolvane::test {
namespace {

using Lines = std::vector<std::string>;

std::string BinaryJunk() {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919 + i / 13) & 0xFF);
  return junk;
}

const std::string kMegabyte(1 << 20, 'm');

class JunkFilesTest : public TickerFixture {};

TEST_F(JunkFilesTest, PurgeRewritesADamagedTimerFileKeepingEveryOtherLine) {
  using namespace std::string_literals;
  const Lines lines = {"11202603151100",
                       "expired",  // the one line pair meant to go
                       "201200",
                       "web",
                       "9\0"
                       "1200"s,
                       "nul in an unknown kind",
                       "5030",
                       kMegabyte,
                       "\x01\x02\x7F junk",
                       "a\rlone CR",
                       "201201",
                       "\x87\x40",  // ① from the NEC row
                       "stray odd line"};
  std::string file;
  for (const std::string& line : lines) file += line + "\r\n";
  dir.Write("timer.ini", file);
  At(11, 59, 59);
  StartUp(1);
  EXPECT_TRUE(prompts.shown.empty());
  Lines kept(lines.begin() + 2, lines.end());
  for (std::string& line : kept) line = FromCp932(line);
  EXPECT_EQ(ReadTimerFile(settings), kept);

  TickFor(62);
  EXPECT_EQ(runs, (Lines{"web", "①"}));  // junk entries never fire

  TimerListForm model(settings, prompts);
  model.Load();
  ASSERT_EQ(model.RowCount(), 3);
  EXPECT_EQ(model.RowText(0), "毎日12時00分-web");
  EXPECT_EQ(model.RowText(1), "毎時間30分-" + kMegabyte);
  EXPECT_EQ(model.RowText(2), "毎日12時01分-①");
}

TEST_F(JunkFilesTest, BinaryTimerFileIsNeverRunAndKeptLineForLine) {
  const std::string junk = BinaryJunk() + "\r\n" + kMegabyte;
  dir.Write("timer.ini", junk);
  At(11, 59, 59);
  StartUp(1);
  TickFor(62);
  TimerListForm model(settings, prompts);
  model.Load();
  // The purge writes back every line byte for byte; only the line ends become CR LF.
  std::string kept;
  for (const std::string& line : SplitLines(junk)) kept += line + "\r\n";
  EXPECT_EQ(dir.Read("timer.ini"), kept);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(JunkFilesTest, ModeFileJunkIsReadLineForLine) {
  using namespace std::string_literals;
  const std::string junk = BinaryJunk();
  dir.Write("mode.ini", "txt\r\n" + junk + "\n\x81\x00\xFF\n"s + kMegabyte + "\nhtml");
  Lines exts;
  LoadAsciiExtensions(settings, exts);
  EXPECT_EQ(exts.size(), SplitLines(junk).size() + 4);
  EXPECT_EQ(exts.front(), "txt");
  EXPECT_EQ(exts.back(), "html");
  EXPECT_EQ(TransferTypeFor("/w/a.txt", exts), TransferType::Ascii);
  EXPECT_EQ(TransferTypeFor("/w/a.png", exts), TransferType::Binary);
  EXPECT_EQ(TransferTypeFor("/w/a." + kMegabyte, exts), TransferType::Ascii);
}

TEST_F(JunkFilesTest, DamagedListIsShownAndEditedWithoutLosingARow) {
  const std::string junk = BinaryJunk();
  const std::string file = "/site/a.html\r\n\r\n" + junk + "\n" + kMegabyte + "\r\n/site/odd";
  dir.Write("list/web.ini", file);
  const size_t lines = SplitLines(file).size();
  view.lists = {"web"};
  ShowList(ctx, 0);
  EXPECT_TRUE(prompts.shown.empty());
  ASSERT_EQ(view.files.size(), (lines + 1) / 2);
  EXPECT_EQ(view.files.front(), "a.html");
  EXPECT_EQ(view.files.back(), "odd");

  ListEditorForm editor(settings, prompts);
  ASSERT_TRUE(editor.Open(true, "web"));
  EXPECT_EQ(static_cast<size_t>(editor.RowCount()), (lines + 1) / 2);
  EXPECT_EQ(editor.Path(editor.RowCount() - 1), "/site/odd");
  EXPECT_EQ(dir.Read("list/web.ini"), file);  // opening alone never rewrites it
}

}  // namespace
}  // namespace tolvane::test
