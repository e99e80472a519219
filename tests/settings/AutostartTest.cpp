// Starting at login: the autostart file's Exec line, and the settings box that writes it.
#include "settings/Autostart.h"

#include <gtest/gtest.h>

#include "settings/GeneralSettingsForm.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

TEST(AutostartTest, ExecArgumentsAreQuotedSoTheProgramIsFoundAgain) {
  EXPECT_EQ(QuoteExecArgument("/usr/bin/tolvane"), "/usr/bin/tolvane");
  EXPECT_EQ(QuoteExecArgument("/home/u/my apps/tolvane"), "\"/home/u/my apps/tolvane\"");
  EXPECT_EQ(QuoteExecArgument("/a/$x\"`\\"), "\"/a/\\$x\\\"\\`\\\\\"");
  EXPECT_EQ(QuoteExecArgument("/100%/t"), "/100%%/t");

  for (const std::string path :
       {"/usr/bin/tolvane", "/home/u/my apps/tolvane", "/a/$x\"`\\b", "/100%/ツール"}) {
    ProgramPlace place{path, "", "/c", "/srv/my site"};
    const std::string text = AutostartFileText(place);
    const size_t exec = text.find("\nExec=") + 6;
    EXPECT_EQ(ExecProgram(text.substr(exec, text.find('\n', exec) - exec)), path) << text;
  }
  EXPECT_EQ(ExecProgram("\"/unclosed"), std::nullopt);
}

class AutostartFileTest : public ::testing::Test {
 protected:
  AutostartFileTest() {
    settings = test::SettingsIn(folder);
    settings.place = {"/opt/my tools/tolvane", "", config.path(), ""};
  }
  test::TempDir folder, config;
  AppSettings settings;
  test::RecordingPrompts prompts;
};

TEST_F(AutostartFileTest, TheSettingsBoxWritesAndRemovesTheFile) {
  settings.place.folderArgument = "/srv/site";
  GeneralSettingsForm form(settings, prompts);
  GeneralSettingsFields fields = form.Initial({});
  EXPECT_TRUE(fields.autostartAvailable);
  EXPECT_FALSE(fields.autostart);

  fields.autostart = true;
  EXPECT_TRUE(form.Ok(fields).close);
  const std::string text = config.Read("autostart/tolvane.desktop");
  EXPECT_NE(text.find("\nExec=\"/opt/my tools/tolvane\" --dir /srv/site\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
  EXPECT_TRUE(form.Initial({}).autostart);

  fields.autostart = false;
  EXPECT_TRUE(form.Ok(fields).close);
  EXPECT_FALSE(config.Exists("autostart/tolvane.desktop"));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(AutostartFileTest, OnlyAFileStartingThisProgramCountsAsOn) {
  config.Write("autostart/tolvane.desktop", "[Desktop Entry]\nExec=/other/tolvane\n");
  EXPECT_FALSE(AutostartIsOn(settings.place));
  ASSERT_TRUE(SetAutostart(settings.place, true));
  EXPECT_TRUE(AutostartIsOn(settings.place));
  // The desktop's own switch to leave it off.
  config.Write("autostart/tolvane.desktop",
               config.Read("autostart/tolvane.desktop") + "Hidden=true\n");
  EXPECT_FALSE(AutostartIsOn(settings.place));

  // No configuration folder at all: the box is off and greyed, and OK leaves it alone.
  settings.place.configHome.clear();
  GeneralSettingsForm form(settings, prompts);
  GeneralSettingsFields fields = form.Initial({});
  EXPECT_FALSE(fields.autostartAvailable);
  fields.autostart = true;
  EXPECT_TRUE(form.Ok(fields).close);
}

TEST_F(AutostartFileTest, AFileThatCannotBeWrittenIsReported) {
  config.Write("autostart", "a file where the folder belongs");
  GeneralSettingsForm form(settings, prompts);
  GeneralSettingsFields fields = form.Initial({});
  fields.autostart = true;
  EXPECT_FALSE(form.Ok(fields).close);
  ASSERT_EQ(prompts.shown.size(), 1u);
}

}  // namespace
}  // namespace tolvane
