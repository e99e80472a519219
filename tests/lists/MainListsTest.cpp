#include <gtest/gtest.h>

#include "lists/MainLists.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

class MainListsTest : public ::testing::Test, protected test::FakeMain {};

TEST_F(MainListsTest, StartListIsSelectedAndShown) {
  dir.Write("list/a.ini", "/x/a.html\r\n\r\n");
  dir.Write("list/b.ini", "/x/\x95\x5C/b.html\r\nf\r\n/x/c/\r\n\r\nnoslash\r\n");
  settings.start = "b";
  FillListSelector(ctx);
  EXPECT_EQ(view.lists, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(view.listSelection, 1);
  EXPECT_EQ(view.files, (std::vector<std::string>{"b.html", "", "noslash"}));
  // A relative path counts from the list folder.
  EXPECT_EQ(state.filePaths,
            (std::vector<std::string>{"/x/表/b.html", "/x/c/", dir / "list/noslash"}));
  EXPECT_EQ(view.fileSelection, -1);
  EXPECT_EQ(view.fileListFocused, 1);
}

TEST_F(MainListsTest, UnknownStartSelectsTheFirstAndEmptyFolderNothing) {
  dir.Write("list/a.ini", "/x/a.html\r\n\r\n");
  dir.Write("list/b.ini", "");
  settings.start = "gone";
  FillListSelector(ctx);
  EXPECT_EQ(view.listSelection, 0);
  EXPECT_EQ(view.files, (std::vector<std::string>{"a.html"}));

  test::TempDir empty;
  AppSettings s = test::SettingsIn(empty);
  test::FakeMainView v;
  MainContext c{s, state, v, prompts, status, clock};
  FillListSelector(c);
  EXPECT_TRUE(v.lists.empty());
  EXPECT_EQ(v.listSelection, -1);
}

TEST_F(MainListsTest, UnreadableListShowsMessageAndEmptyFiles) {
  dir.Write("list/a.ini", "/x/a.html\r\n\r\n");
  FillListSelector(ctx);
  view.AppendList("gone");
  view.SelectList(1);
  OnListSelectionChanged(ctx);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "リストを読み込めませんでした");
  EXPECT_TRUE(view.files.empty());
  EXPECT_TRUE(state.filePaths.empty());
}

}  // namespace
}  // namespace tolvane
