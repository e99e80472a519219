// Every file the program rewrites, written while the disk fills up part-way or while its
// folder cannot be changed (also for root): the old file stays whole, no temporary file is
// left beside it, and the person is told with the program's own message.
#include <functional>

#include "lists/ListSaveSequence.h"
#include "schedule/TickerFixture.h"
#include "schedule/TimerListForm.h"
#include "settings/AsciiModeTable.h"
#include "settings/ServerSettingsForm.h"
#include "settings/SettingsFile.h"
#include "support/FileFaults.h"

namespace tolvane::test {
namespace {

struct Writer {
  std::string file;  // below the program folder
  std::function<void()> write;
  const char* message;
};

class FailedWriteTest : public TickerFixture {
 protected:
  FailedWriteTest() {
    At(12, 0);
    dir.Write("kestra.ini", "[main]\r\nhostname=old\r\n");
    dir.Write("list/web.ini", "/old\r\n\r\n");
    dir.Write("mode.ini", "html\r\n");
    // An expired one-shot, so the purge has something to write.
    dir.Write("timer.ini", "11202603150900\r\nweb\r\n200930\r\nweb\r\n");
    LoadSettings(settings);
  }

  void SaveServerSettings() {
    ServerSettingsForm form(settings, exts, prompts);
    ServerSettingsFields fields = form.Initial();
    fields.hostname = "new";
    form.Ok(fields);
  }

  void SaveList() {
    ListEditorData data;
    data.m_editMode = true;
    data.m_listName = data.m_oldName = "web";
    data.m_entries = {{"/new", ""}};
    data.m_modified = true;
    SaveListEditor(data, {"web"}, settings, prompts);
  }

  void SaveTimerList() {
    TimerListForm model(settings, prompts);
    model.Load();
    model.Save(ticker);
  }

  // Runs `writer` under `fault` and checks what it left.
  template <typename Fault>
  void Check(const Writer& writer, const std::function<std::unique_ptr<Fault>()>& fault) {
    SCOPED_TRACE(writer.file);
    const std::string folder = dir / writer.file.substr(0, writer.file.rfind('/') + 1);
    const std::string before = dir.Read(writer.file);
    const std::vector<std::string> names = NamesIn(folder);
    prompts.shown.clear();
    {
      std::unique_ptr<Fault> active = fault();
      writer.write();
    }
    EXPECT_EQ(dir.Read(writer.file), before);
    EXPECT_EQ(NamesIn(folder), names);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, writer.message);
    EXPECT_EQ(prompts.shown[0].caption, kCaptionError);
  }

  std::vector<std::string> exts{"html"};
  const Writer writers[5] = {
      {"kestra.ini", [this] { SaveServerSettings(); }, "設定ファイルに書き込めませんでした"},
      {"list/web.ini", [this] { SaveList(); }, "リストを編集できませんでした"},
      {"mode.ini", [this] { SaveAsciiExtensions(settings, {"*.css"}, exts, prompts); },
       "転送モードファイルを更新できませんでした"},
      {"timer.ini", [this] { SaveTimerList(); }, "タイマー設定ファイルの更新ができませんでした"},
      {"timer.ini", [this] { ticker.PurgeExpiredOneShots(); },
       "タイマー設定を更新できませんでした"},
  };
};

TEST_F(FailedWriteTest, DiskFillingUpHalfWay) {
  for (const Writer& writer : writers) {
    Check<FileSizeLimit>(writer, [] { return std::make_unique<FileSizeLimit>(4); });
  }
  EXPECT_EQ(exts, std::vector<std::string>{"html"});  // the table in use stays as it was
}

TEST_F(FailedWriteTest, FolderThatCannotBeChanged) {
  for (const Writer& writer : writers) {
    const std::string folder = dir / writer.file.substr(0, writer.file.rfind('/') + 1);
    if (!UnwritableFolder(folder).active()) GTEST_SKIP() << "no way to make a folder unwritable";
    Check<UnwritableFolder>(writer, [&] { return std::make_unique<UnwritableFolder>(folder); });
  }
}

}  // namespace
}  // namespace tolvane::test
