#include <gtest/gtest.h>

#include "lists/ListEditorModel.h"
#include "platform/Cp932.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

class ListEditorModelTest : public ::testing::Test {
 protected:
  // Opens the list "web" whose file holds these lines (UTF-8, stored as code page 932).
  void OpenWeb(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += ToCp932(line).value() + "\r\n";
    dir.Write("list/web.ini", bytes);
    ASSERT_TRUE(model.Open(true, "web"));
  }
  const Lines& lines() const { return model.Data().m_lines; }

  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  test::RecordingPrompts prompts;
  ListEditorModel model{settings, prompts};
};

TEST_F(ListEditorModelTest, NewListStartsEmptyAndModified) {
  ASSERT_TRUE(model.Open(false, ""));
  EXPECT_TRUE(model.Data().m_modified);
  EXPECT_FALSE(model.Data().m_renamed);
  EXPECT_EQ(model.Data().m_oldName, "");
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_EQ(model.EntryCount(), 0u);
}

TEST_F(ListEditorModelTest, EditModeReadsTheFileUnmodified) {
  dir.Write("list/web.ini", ToCp932("/w/表/a.html\nhtml\n/w/b.css\n\n").value());  // LF only
  ASSERT_TRUE(model.Open(true, "web"));
  EXPECT_EQ(lines(), (Lines{"/w/表/a.html", "html", "/w/b.css", ""}));
  EXPECT_EQ(model.RowCount(), 2);
  EXPECT_EQ(model.EntryCount(), 2u);
  EXPECT_EQ(model.Path(1), "/w/b.css");
  EXPECT_EQ(model.Folder(0), "html");
  EXPECT_EQ(model.Data().m_oldName, "web");
  EXPECT_EQ(model.Data().m_listName, "web");
  EXPECT_FALSE(model.Data().m_modified);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ListEditorModelTest, UnpairedLastLineBecomesAnEntryWithoutFolder) {
  dir.Write("list/web.ini", "/w/a\r\nf\r\n/w/b");
  ASSERT_TRUE(model.Open(true, "web"));
  model.Add("/w/c", "g");
  // Later entries keep their own path and folder.
  EXPECT_EQ(lines(), (Lines{"/w/a", "f", "/w/b", "", "/w/c", "g"}));
  EXPECT_EQ(model.Path(2), "/w/c");
}

TEST_F(ListEditorModelTest, MissingFileIsReported) {
  EXPECT_FALSE(model.Open(true, "gone"));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "リストファイルを読み込めませんでした");
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);
  EXPECT_FALSE(dir.Exists("list/gone.ini"));
}

TEST_F(ListEditorModelTest, EmptyAndDuplicateEntriesAreSavedAsTyped) {
  ASSERT_TRUE(model.Open(false, ""));
  model.Add("", "");
  model.Add("/w/a", "x");
  model.Add("/w/a", "x");
  EXPECT_EQ(model.EntryCount(), 3u);
  model.Data().m_listName = "new";
  EXPECT_EQ(model.Save({"web"}), EditorEnd::Ok);
  EXPECT_EQ(dir.Read("list/new.ini"), "\r\n\r\n/w/a\r\nx\r\n/w/a\r\nx\r\n");
}

TEST_F(ListEditorModelTest, EditWithoutChangeStillRewritesOnOk) {
  OpenWeb({"/w/a", "x"});
  dir.Write("list/web.ini", "/w/a\nx\n");  // changed behind the editor's back
  model.Edit(0, "/w/a", "x");
  EXPECT_TRUE(model.Data().m_modified);
  EXPECT_EQ(model.Save({"web"}), EditorEnd::Ok);
  EXPECT_EQ(dir.Read("list/web.ini"), "/w/a\r\nx\r\n");
}

TEST_F(ListEditorModelTest, EditChangesOnlyItsOwnRow) {
  OpenWeb({"/w/a", "x", "/w/b", "y"});
  model.Edit(1, "/w/表.html", "");
  EXPECT_EQ(lines(), (Lines{"/w/a", "x", "/w/表.html", ""}));
  EXPECT_EQ(model.Save({"web"}), EditorEnd::Ok);
  EXPECT_EQ(dir.Read("list/web.ini"), "/w/a\r\nx\r\n/w/\x95\x5c.html\r\n\r\n");
}

TEST_F(ListEditorModelTest, EditAndDeleteNeedASelection) {
  OpenWeb({"/w/a", "x"});
  EXPECT_FALSE(model.RequireSelection(-1));
  EXPECT_FALSE(model.Delete(-1));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text, "ファイルが選択されていません");
  EXPECT_EQ(prompts.shown[1].caption, "エラー");
  EXPECT_EQ(prompts.shown[1].icon, Icon::Warning);
  EXPECT_FALSE(model.Data().m_modified);
  EXPECT_EQ(model.RowCount(), 1);
}

TEST_F(ListEditorModelTest, DeletingEveryEntryRefusesToSave) {
  OpenWeb({"/w/a", "x", "/w/b", "y", "/w/c", "z"});
  EXPECT_TRUE(model.Delete(1));
  EXPECT_EQ(lines(), (Lines{"/w/a", "x", "/w/c", "z"}));
  EXPECT_TRUE(model.Data().m_modified);
  EXPECT_TRUE(model.Delete(1));
  EXPECT_TRUE(model.Delete(0));
  EXPECT_EQ(model.Save({"web"}), EditorEnd::StayOpen);
  EXPECT_EQ(prompts.shown.back().text, "ファイルが１つもありません");
  EXPECT_EQ(dir.Read("list/web.ini"), "/w/a\r\nx\r\n/w/b\r\ny\r\n/w/c\r\nz\r\n");
}

TEST_F(ListEditorModelTest, MovingAtTheEndsChangesNothing) {
  OpenWeb({"/w/a", "x", "/w/b", "y"});
  EXPECT_EQ(model.Move(0, -1), 0);
  EXPECT_EQ(model.Move(1, +1), 1);
  EXPECT_EQ(model.Move(-1, +1), -1);
  EXPECT_EQ(lines(), (Lines{"/w/a", "x", "/w/b", "y"}));
  EXPECT_FALSE(model.Data().m_modified);
  EXPECT_EQ(model.Save({"web"}), EditorEnd::Cancel);
}

TEST_F(ListEditorModelTest, RepeatedMovesCarryTheSameEntry) {
  OpenWeb({"/w/a", "x", "/w/b", "", "/w/c", "z"});
  EXPECT_EQ(model.Move(0, +1), 1);
  EXPECT_EQ(model.Move(1, +1), 2);
  EXPECT_EQ(lines(), (Lines{"/w/b", "", "/w/c", "z", "/w/a", "x"}));
  EXPECT_EQ(model.Move(2, -1), 1);
  EXPECT_EQ(lines(), (Lines{"/w/b", "", "/w/a", "x", "/w/c", "z"}));
  EXPECT_TRUE(model.Data().m_modified);
  EXPECT_EQ(model.Save({"web"}), EditorEnd::Ok);
  EXPECT_EQ(dir.Read("list/web.ini"), "/w/b\r\n\r\n/w/a\r\nx\r\n/w/c\r\nz\r\n");
}

TEST_F(ListEditorModelTest, EntryTextMustFitTheListFile) {
  EXPECT_FALSE(CheckEntryText("/w/表示/①.html", "ｶﾅ/フォルダ"));
  EXPECT_FALSE(CheckEntryText("", ""));
  std::optional<UnstorableEntry> path = CheckEntryText("/w/café.html", "😀");
  ASSERT_TRUE(path);
  EXPECT_FALSE(path->inFolder);
  EXPECT_NE(path->message.find("アップロードするファイル"), std::string::npos);
  std::optional<UnstorableEntry> folder = CheckEntryText("/w/a", "😀");
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->inFolder);
  EXPECT_NE(folder->message.find("アップロードするフォルダ"), std::string::npos);
  // A line end inside a field would split the entry in the file.
  EXPECT_TRUE(CheckEntryText("/w/a\nb", ""));
}

}  // namespace
}  // namespace tolvane
