#include <gtest/gtest.h>

#include "lists/FileCommands.h"
#include "settings/AppSettings.h"
#include "support/Fakes.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

using Texts = std::vector<std::string>;

class FileCommandsTest : public ::testing::Test, protected test::FakeMain {
 protected:
  void Select(const std::string& path) {
    state.filePaths = {"/site/other.txt", path};
    view.fileSelection = 1;
  }
  // Each launcher call as "what|program|path", then forgotten.
  Texts TakeCalls() {
    Texts texts;
    for (const auto& c : launcher.calls) texts.push_back(c.what + "|" + c.program + "|" + c.path);
    launcher.calls.clear();
    return texts;
  }
  // Every message is an error box; their texts.
  Texts Messages() const {
    Texts texts;
    for (const test::Shown& s : prompts.shown) {
      EXPECT_EQ(s.caption + (s.icon == Icon::Warning ? "!" : "?"), "エラー!");
      texts.push_back(s.text);
    }
    return texts;
  }

  test::RecordingLauncher launcher;
};

TEST(HtmlPathTest, LastFourBytesHtmlOrElseLastThreeHtmCaseIgnored) {
  for (const char* yes : {"/s/index.html", "/s/INDEX.HTM", "/s/page.shtml", "/s/page.xhtml",
                          "/s/noextensionhtm", "/s/日本語.htm", "htm", "html"}) {
    EXPECT_TRUE(IsHtmlPath(yes)) << yes;
  }
  for (const char* no : {"/s/page.html5", "/s/page.php", "/s/page.htm~", "tm", ""}) {
    EXPECT_FALSE(IsHtmlPath(no)) << no;
  }
}

TEST_F(FileCommandsTest, NoSelectionStartsNothing) {
  state.filePaths = {"/site/a.html"};
  OnOpenFile(ctx, launcher);
  view.fileSelection = 5;  // past the paths: no file either, and no crash
  OnHtmlEdit(ctx, launcher);
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_EQ(Messages(), Texts(2, "ファイルが選択されていません"));
}

TEST_F(FileCommandsTest, OpenHandsTheWholePathToTheDesktop) {
  const std::string path = "/site/my \"quoted\" 'file'.pdf";
  Select(path);
  launcher.results = {true, false};
  OnOpenFile(ctx, launcher);
  OnOpenFile(ctx, launcher);
  EXPECT_EQ(TakeCalls(), Texts(2, "open||" + path));
  EXPECT_EQ(Messages(), Texts{"ファイルを開けませんでした"});
}

TEST_F(FileCommandsTest, HtmlEditTriesTheEditorOnceThenTheTextEditor) {
  const std::string path = "/site/a b/\"x\" 'y'.html";
  const std::string editor = "/opt/my editor/edit";
  Select(path);
  OnHtmlEdit(ctx, launcher);  // no editor set
  EXPECT_EQ(TakeCalls(), Texts{"editor||" + path});

  settings.editor = editor;
  launcher.results = {true, false, true, false, false};
  OnHtmlEdit(ctx, launcher);
  EXPECT_EQ(TakeCalls(), Texts{"program|" + editor + "|" + path});
  OnHtmlEdit(ctx, launcher);  // the editor fails silently
  EXPECT_EQ(TakeCalls(), (Texts{"program|" + editor + "|" + path, "editor||" + path}));
  EXPECT_TRUE(prompts.shown.empty());
  OnHtmlEdit(ctx, launcher);  // only the text editor's failure is told
  EXPECT_EQ(TakeCalls().size(), 2u);

  Select("/site/index.php");
  OnHtmlEdit(ctx, launcher);
  EXPECT_TRUE(launcher.calls.empty());
  EXPECT_EQ(Messages(),
            (Texts{"ファイルを開けませんでした", "HTMLファイルで無いので編集できません"}));
}

}  // namespace
}  // namespace tolvane
