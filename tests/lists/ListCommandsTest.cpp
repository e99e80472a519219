#include <gtest/gtest.h>

#include <cstdio>

#include "lists/ListCommands.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "window/BusyGuard.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

using Names = std::vector<std::string>;
using End = ListEditorOutcome::End;

// Stands in for the list editor: records how it was opened, ends as scripted.
class ScriptedEditor : public ListEditorRunner {
 public:
  ListEditorOutcome Run(bool editMode, const std::string& listName) override {
    opened.push_back((editMode ? "edit " : "new ") + listName);
    return outcome;
  }
  Names opened;
  ListEditorOutcome outcome;
};

class ListCommandsTest : public ::testing::Test, protected test::FakeMain {
 protected:
  // The selector holds these lists, each with a file of one entry "/w/<name>.html"; the file
  // list shows a marker that only a refresh replaces.
  void Lists(const Names& names, int selected) {
    for (const std::string& name : names) {
      dir.Write("list/" + name + ".ini", "/w/" + name + ".html\r\n\r\n");
      view.AppendList(name);
    }
    view.SelectList(selected);
    view.SetFileNames({"unrefreshed"});
  }
  Names Texts() const {
    Names texts;
    for (const test::Shown& shown : prompts.shown)
      texts.push_back(shown.caption + ":" + shown.text);
    return texts;
  }
  void Delete(Answer answer) {
    prompts.answers = {answer};
    DeleteList(ctx);
  }

  ScriptedEditor editor;
};

TEST_F(ListCommandsTest, NewListIsAppendedButNotShown) {
  Lists({"a", "b"}, 0);
  editor.outcome = {End::Cancel, "x", false};
  NewList(ctx, editor);
  editor.outcome = {End::Ok, "新", false};
  NewList(ctx, editor);
  EXPECT_EQ(editor.opened, (Names{"new ", "new "}));
  EXPECT_EQ(Texts(), (Names{"完了:リストを作成しました"}));
  EXPECT_EQ(prompts.shown[0].icon, Icon::Information);
  EXPECT_EQ(view.lists, (Names{"a", "b", "新"}));
  EXPECT_EQ(view.listSelection, 0);
  EXPECT_EQ(view.files, (Names{"unrefreshed"}));
}

TEST_F(ListCommandsTest, EditRefreshesOnlyAfterOk) {
  Lists({"a", "b", "c"}, -1);
  EditList(ctx, editor);
  Delete(Answer::Yes);
  EXPECT_EQ(Texts(),
            (Names{"エラー:リストが選択されていません", "エラー:リストが選択されていません"}));

  view.SelectList(0);
  for (End end : {End::Cancel, End::None}) {
    editor.outcome = {end, "z", true};
    EditList(ctx, editor);
    EXPECT_EQ(view.files, (Names{"unrefreshed"}));
  }
  editor.outcome = {End::Ok, "a", false};
  EditList(ctx, editor);
  EXPECT_EQ(view.files, (Names{"a.html"}));
  // Renamed: the list moves to the end of the selector, is selected and shown.
  dir.Write("list/z.ini", "/w/renamed.html\r\n\r\n");
  editor.outcome = {End::Ok, "z", true};
  EditList(ctx, editor);
  EXPECT_EQ(editor.opened.back(), "edit a");
  EXPECT_EQ(view.lists, (Names{"b", "c", "z"}));
  EXPECT_EQ(view.listSelection, 2);
  EXPECT_EQ(view.files, (Names{"renamed.html"}));
  EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(ListCommandsTest, DeleteAsksAndSelectsTheNeighbour) {
  Lists({"a", "b", "c"}, 1);
  Delete(Answer::No);
  EXPECT_TRUE(dir.Exists("list/b.ini"));
  Delete(Answer::Yes);
  EXPECT_EQ(Texts(), (Names{"確認:\"b\"リストを削除しますか？", "確認:\"b\"リストを削除しますか？",
                            "完了:リストを削除しました"}));
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNo);
  EXPECT_FALSE(dir.Exists("list/b.ini"));
  EXPECT_EQ(view.lists, (Names{"a", "c"}));
  EXPECT_EQ(view.listSelection, 1);  // the next list took the deleted one's place
  EXPECT_EQ(view.files, (Names{"c.html"}));
  Delete(Answer::Yes);  // the last one: the one before it is selected
  EXPECT_EQ(view.listSelection, 0);
  EXPECT_EQ(view.files, (Names{"a.html"}));
  Delete(Answer::Yes);  // the only one: nothing is selected or shown
  EXPECT_TRUE(view.lists.empty());
  EXPECT_EQ(view.listSelection, -1);
  EXPECT_TRUE(view.files.empty());

  Lists({"gone"}, 0);
  std::remove((dir / "list/gone.ini").c_str());
  Delete(Answer::Yes);
  EXPECT_EQ(Texts().back(), "エラー:リストを削除できませんでした");
  EXPECT_EQ(view.lists, (Names{"gone"}));
  EXPECT_EQ(view.listSelection, 0);
}

TEST_F(ListCommandsTest, ListCommandsWaitForTheRunToEnd) {
  Lists({"a"}, 0);
  state.m_busy = true;
  NewList(ctx, editor);
  EditList(ctx, editor);
  Delete(Answer::Yes);
  EXPECT_TRUE(editor.opened.empty());
  EXPECT_EQ(prompts.shown.size(), 3u);
  EXPECT_EQ(prompts.shown[2].text, kBusyMessage);
  EXPECT_TRUE(dir.Exists("list/a.ini"));
}

}  // namespace
}  // namespace tolvane
