#include <gtest/gtest.h>

#include <cstdio>

#include "app/BusyGuard.h"
#include "app/MainState.h"
#include "lists/ListCommands.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Names = std::vector<std::string>;

// Stands in for the list editor: records how it was asked to open, ends as scripted.
class ScriptedEditor : public ListEditorRunner {
 public:
  ListEditorOutcome Run(bool editMode, const std::string& listName) override {
    calls.push_back({editMode, listName});
    return outcome;
  }
  struct Call {
    bool editMode;
    std::string listName;
  };
  std::vector<Call> calls;
  ListEditorOutcome outcome;
};

class ListCommandsTest : public ::testing::Test {
 protected:
  // The selector holds these lists, each with a file of one entry "/w/<name>.html".
  void Lists(const Names& names, int selected) {
    for (const std::string& name : names) {
      dir.Write("list/" + name + ".ini", "/w/" + name + ".html\r\n\r\n");
      view.AppendList(name);
    }
    view.SelectList(selected);
    view.SetFileNames({"shown.html"});
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const test::Shown& shown : prompts.shown) texts.push_back(shown.text);
    return texts;
  }

  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  MainState state;
  test::FakeMainView view;
  test::RecordingPrompts prompts;
  test::RecordingStatus status;
  test::FakeClock clock;
  MainContext ctx{settings, state, view, prompts, status, clock};
  ScriptedEditor editor;
};

TEST_F(ListCommandsTest, NewListIsAppendedButNotShown) {
  Lists({"a", "b"}, 0);
  editor.outcome = {ListEditorOutcome::End::Ok, "新", false};
  NewList(ctx, editor);
  ASSERT_EQ(editor.calls.size(), 1u);
  EXPECT_FALSE(editor.calls[0].editMode);
  EXPECT_EQ(editor.calls[0].listName, "");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "リストを作成しました");
  EXPECT_EQ(prompts.shown[0].caption, "完了");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Information);
  EXPECT_EQ(view.lists, (Names{"a", "b", "新"}));
  EXPECT_EQ(view.listSelection, 0);
  EXPECT_EQ(view.files, (Names{"shown.html"}));
}

TEST_F(ListCommandsTest, NewListCancelledChangesNothing) {
  Lists({"a"}, 0);
  editor.outcome = {ListEditorOutcome::End::Cancel, "x", false};
  NewList(ctx, editor);
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(view.lists, (Names{"a"}));
}

TEST_F(ListCommandsTest, EditAndDeleteNeedASelectedList) {
  Lists({"a"}, -1);
  EditList(ctx, editor);
  DeleteList(ctx);
  EXPECT_TRUE(editor.calls.empty());
  EXPECT_EQ(Texts(), (Names{"リストが選択されていません", "リストが選択されていません"}));
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);
  EXPECT_TRUE(dir.Exists("list/a.ini"));
}

TEST_F(ListCommandsTest, EditWithoutRenameShowsTheListAgain) {
  Lists({"a", "b"}, 1);
  editor.outcome = {ListEditorOutcome::End::Ok, "b", false};
  EditList(ctx, editor);
  ASSERT_EQ(editor.calls.size(), 1u);
  EXPECT_TRUE(editor.calls[0].editMode);
  EXPECT_EQ(editor.calls[0].listName, "b");
  EXPECT_EQ(view.lists, (Names{"a", "b"}));
  EXPECT_EQ(view.listSelection, 1);
  EXPECT_EQ(view.files, (Names{"b.html"}));
  EXPECT_EQ(state.filePaths, (Names{"/w/b.html"}));
}

TEST_F(ListCommandsTest, RenamedListMovesToTheEndAndIsShown) {
  Lists({"a", "b", "c"}, 0);
  dir.Write("list/z.ini", "/w/renamed.html\r\n\r\n");  // the editor renamed a.ini to z.ini
  editor.outcome = {ListEditorOutcome::End::Ok, "z", true};
  EditList(ctx, editor);
  EXPECT_EQ(view.lists, (Names{"b", "c", "z"}));
  EXPECT_EQ(view.listSelection, 2);
  EXPECT_EQ(view.files, (Names{"renamed.html"}));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ListCommandsTest, EditEndingOtherwiseRefreshesNothing) {
  Lists({"a"}, 0);
  for (ListEditorOutcome::End end : {ListEditorOutcome::End::Cancel, ListEditorOutcome::End::None}) {
    editor.outcome = {end, "renamed", true};
    EditList(ctx, editor);
    EXPECT_EQ(view.lists, (Names{"a"}));
    EXPECT_EQ(view.files, (Names{"shown.html"}));
  }
}

TEST_F(ListCommandsTest, DeleteAsksThenDeletesAndShowsTheNextList) {
  Lists({"a", "b", "c"}, 1);
  prompts.answers = {Answer::Yes};
  DeleteList(ctx);
  EXPECT_EQ(Texts(), (Names{"\"b\"リストを削除しますか？", "リストを削除しました"}));
  EXPECT_EQ(prompts.shown[0].caption, "確認");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Question);
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(prompts.shown[1].caption, "完了");
  EXPECT_EQ(prompts.shown[1].icon, Icon::Information);
  EXPECT_FALSE(dir.Exists("list/b.ini"));
  EXPECT_EQ(view.lists, (Names{"a", "c"}));
  EXPECT_EQ(view.listSelection, 1);
  EXPECT_EQ(view.files, (Names{"c.html"}));
}

TEST_F(ListCommandsTest, DeletingTheLastListSelectsTheOneBefore) {
  Lists({"a", "b"}, 1);
  prompts.answers = {Answer::Yes};
  DeleteList(ctx);
  EXPECT_EQ(view.lists, (Names{"a"}));
  EXPECT_EQ(view.listSelection, 0);
  EXPECT_EQ(view.files, (Names{"a.html"}));
}

TEST_F(ListCommandsTest, DeletingTheOnlyListLeavesNothingSelected) {
  Lists({"a"}, 0);
  prompts.answers = {Answer::Yes};
  DeleteList(ctx);
  EXPECT_TRUE(view.lists.empty());
  EXPECT_EQ(view.listSelection, -1);
  EXPECT_TRUE(view.files.empty());
  EXPECT_TRUE(state.filePaths.empty());
}

TEST_F(ListCommandsTest, DeleteAnsweredNoOrRefusedKeepsTheList) {
  Lists({"a", "b"}, 0);
  prompts.answers = {Answer::No};
  DeleteList(ctx);
  EXPECT_TRUE(dir.Exists("list/a.ini"));
  // A list whose file has gone cannot be deleted.
  view.SelectList(1);
  std::remove((dir / "list/b.ini").c_str());
  prompts.answers = {Answer::Yes};
  DeleteList(ctx);
  EXPECT_EQ(Texts(), (Names{"\"a\"リストを削除しますか？", "\"b\"リストを削除しますか？",
                            "リストを削除できませんでした"}));
  EXPECT_EQ(prompts.shown.back().caption, "エラー");
  EXPECT_EQ(prompts.shown.back().icon, Icon::Warning);
  EXPECT_EQ(view.lists, (Names{"a", "b"}));
  EXPECT_EQ(view.listSelection, 1);
}

TEST_F(ListCommandsTest, ListCommandsWaitForTheRunToEnd) {
  Lists({"a"}, 0);
  state.m_busy = true;
  prompts.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
  NewList(ctx, editor);
  EditList(ctx, editor);
  DeleteList(ctx);
  EXPECT_TRUE(editor.calls.empty());
  EXPECT_EQ(Texts(), (Names{kBusyMessage, kBusyMessage, kBusyMessage}));
  EXPECT_TRUE(dir.Exists("list/a.ini"));
  EXPECT_EQ(view.lists, (Names{"a"}));
}

}  // namespace
}  // namespace tolvane
