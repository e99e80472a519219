#include <gtest/gtest.h>

#include "lists/ListEditorForm.h"
#include "platform/Cp932.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

TEST(ListEditorFormTest, OpeningNewAndExistingLists) {
  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  test::RecordingPrompts prompts;
  ListEditorForm model{settings, prompts};
  ASSERT_TRUE(model.Open(false, ""));
  EXPECT_TRUE(model.Data().m_modified);  // a new list is always written by its first OK

  // LF-only line ends; an unpaired last line becomes an entry without a folder, so that
  // entries added later keep their own path and folder.
  dir.Write("list/web.ini", ToCp932("/w/表/a.html\nhtml\n/w/b.css").value());
  ASSERT_TRUE(model.Open(true, "web"));
  EXPECT_EQ(model.Data().m_entries,
            (std::vector<UploadEntry>{{"/w/表/a.html", "html"}, {"/w/b.css", ""}}));
  EXPECT_EQ(model.Data().m_oldName, "web");
  EXPECT_FALSE(model.Data().m_modified);
  model.Add("/w/c", "g");
  EXPECT_EQ(model.Path(2), "/w/c");
  EXPECT_EQ(model.Folder(2), "g");
  EXPECT_TRUE(prompts.shown.empty());
  // A line end inside a field would split the entry in the file.
  EXPECT_TRUE(CheckEntryText("/w/a\nb", ""));
}

}  // namespace
}  // namespace tolvane
