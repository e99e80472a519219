#include <gtest/gtest.h>
#include <sys/stat.h>

#include "lists/ListSaveSequence.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

class SaveSequenceTest : public ::testing::Test {
 protected:
  EditorEnd Save(std::vector<std::string> selector = {}) {
    return SaveListEditor(data, selector, settings, prompts);
  }
  std::string LastMessage() const { return prompts.shown.empty() ? "" : prompts.shown.back().text; }

  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  test::RecordingPrompts prompts;
  ListEditorData data;
};

TEST_F(SaveSequenceTest, NewListIsWrittenAndEndsWithOk) {
  data.m_modified = true;
  data.m_listName = "web";
  data.m_entries = {{"/a/index.html", ""}, {"/a/index.html", ""}};  // duplicates are kept
  EXPECT_EQ(Save({"other"}), EditorEnd::Ok);
  EXPECT_EQ(dir.Read("list/web.ini"), "/a/index.html\r\n\r\n/a/index.html\r\n\r\n");
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(SaveSequenceTest, RefusalsKeepTheEditorOpenInOrder) {
  data.m_modified = true;
  EXPECT_EQ(Save(), EditorEnd::StayOpen);
  EXPECT_EQ(LastMessage(), "ファイルが１つもありません");
  data.m_entries = {{"/a", ""}};
  EXPECT_EQ(Save(), EditorEnd::StayOpen);
  EXPECT_EQ(LastMessage(), "リスト名が空欄です");
  data.m_listName = "a/b";
  EXPECT_EQ(Save(), EditorEnd::StayOpen);
  EXPECT_EQ(LastMessage(), "リスト名に以下の文字は使えません\n \\ / : * ? \" < > |");
  data.m_listName = "web";
  EXPECT_EQ(Save({"x", "web"}), EditorEnd::StayOpen);
  EXPECT_EQ(LastMessage(), "すでに同じ名前のリストがあります");
  EXPECT_EQ(prompts.shown.back().caption, "エラー");
  EXPECT_EQ(prompts.shown.back().icon, Icon::Warning);
  EXPECT_FALSE(dir.Exists("list/web.ini"));
}

TEST_F(SaveSequenceTest, TextOutsideCp932IsRefusedNotAltered) {
  data.m_modified = true;
  data.m_listName = "café";
  data.m_entries = {{"/a", ""}};
  EXPECT_EQ(Save(), EditorEnd::StayOpen);
  data.m_listName = "web";
  data.m_entries = {{"/home/😀.html", ""}};
  EXPECT_EQ(Save(), EditorEnd::StayOpen);
  EXPECT_EQ(prompts.shown.size(), 2u);
  EXPECT_FALSE(dir.Exists("list/web.ini"));
}

TEST_F(SaveSequenceTest, AFileUnknownToTheSelectorIsNeverOverwritten) {
  dir.Write("list/web.ini", "precious\r\n\r\n");
  data.m_modified = true;
  data.m_listName = "web";
  data.m_entries = {{"/a", ""}};
  EXPECT_EQ(Save({}), EditorEnd::StayOpen);
  EXPECT_EQ(dir.Read("list/web.ini"), "precious\r\n\r\n");
}

TEST_F(SaveSequenceTest, EditWithoutChangeEndsWithCancel) {
  data = {true, false, {{"/a", ""}}, "web", "web", false};
  EXPECT_EQ(Save({"web"}), EditorEnd::Cancel);
  EXPECT_FALSE(dir.Exists("list/web.ini"));
}

TEST_F(SaveSequenceTest, RenameYesMovesTheFileAndWritesChanges) {
  dir.Write("list/old.ini", "/a\r\n\r\n");
  data = {true, false, {{"/b", "f"}}, "new", "old", true};
  prompts.answers = {Answer::Yes};
  EXPECT_EQ(Save({"old"}), EditorEnd::Ok);
  EXPECT_TRUE(data.m_renamed);
  EXPECT_EQ(prompts.shown[0].text, "リスト名を変更しますか？");
  EXPECT_EQ(prompts.shown[0].caption, "確認");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Question);
  EXPECT_FALSE(dir.Exists("list/old.ini"));
  EXPECT_EQ(dir.Read("list/new.ini"), "/b\r\nf\r\n");
}

TEST_F(SaveSequenceTest, RenameNoSavesUnderTheOldName) {
  dir.Write("list/old.ini", "/a\r\n\r\n");
  data = {true, false, {{"/b", ""}}, "new", "old", true};
  prompts.answers = {Answer::No};
  EXPECT_EQ(Save({"old"}), EditorEnd::Ok);
  EXPECT_FALSE(data.m_renamed);
  EXPECT_EQ(data.m_listName, "old");
  EXPECT_EQ(dir.Read("list/old.ini"), "/b\r\n\r\n");
  EXPECT_FALSE(dir.Exists("list/new.ini"));
}

TEST_F(SaveSequenceTest, FailedRenameStaysOpenAndAsksAgain) {
  dir.Write("list/new.ini", "someone else's\r\n");  // not in the selector, so only the rename fails
  dir.Write("list/old.ini", "/a\r\n\r\n");
  data = {true, false, {{"/a", ""}}, "new", "old", false};
  prompts.answers = {Answer::Yes, Answer::Yes};
  EXPECT_EQ(Save({"old"}), EditorEnd::StayOpen);
  EXPECT_EQ(prompts.shown.back().text, "リスト名を変更することができませんでした");
  EXPECT_EQ(prompts.shown.back().caption, "err");
  EXPECT_EQ(Save({"old"}), EditorEnd::StayOpen);
  EXPECT_EQ(prompts.shown.size(), 4u);
  EXPECT_EQ(dir.Read("list/new.ini"), "someone else's\r\n");
}

TEST_F(SaveSequenceTest, RenamedButUnwritableStillEndsWithOk) {
  dir.Write("list/old.ini", "/a\r\n\r\n");
  dir.Write("list/new.ini.lock", "");
  data = {true, false, {{"é", ""}}, "new", "old", false};  // not modified: nothing to write
  prompts.answers = {Answer::Yes};
  EXPECT_EQ(Save({"old"}), EditorEnd::Ok);
  EXPECT_TRUE(dir.Exists("list/new.ini"));
}

TEST_F(SaveSequenceTest, WriteFailuresCloseTheEditor) {
  dir.Write("list", "not a folder");
  data.m_modified = true;
  data.m_listName = "web";
  data.m_entries = {{"/a", ""}};
  EXPECT_EQ(Save(), EditorEnd::Cancel);
  EXPECT_EQ(LastMessage(), "listフォルダを開けませんでした");

  test::TempDir other;
  settings = test::SettingsIn(other);
  other.Write("list/keep.ini", "");
  ASSERT_EQ(chmod((other / "list").c_str(), 0555), 0);
  if (geteuid() != 0) {  // root writes anyway
    EXPECT_EQ(Save(), EditorEnd::Cancel);
    EXPECT_EQ(LastMessage(), "リストを編集できませんでした");
  }
}

TEST_F(SaveSequenceTest, MissingListFolderIsCreatedOnFirstSave) {
  data.m_modified = true;
  data.m_listName = "   ";      // a name of blanks is a name
  data.m_entries = {{"", ""}};  // an empty entry is two empty lines
  EXPECT_EQ(Save(), EditorEnd::Ok);
  EXPECT_EQ(dir.Read("list/   .ini"), "\r\n\r\n");
}

}  // namespace
}  // namespace tolvane
