// The general settings: the start-up list's position, and the OK writing each changed value
// to its own key and section.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ProfileFile.h"
#include "settings/GeneralSettingsForm.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

class GeneralSettingsFormTest : public ::testing::Test {
 protected:
  GeneralSettingsForm& Open(const std::string& ini = "") {
    if (!ini.empty()) dir.Write("kestra.ini", ini);
    settings = test::SettingsIn(dir);
    LoadSettings(settings);
    form = std::make_unique<GeneralSettingsForm>(settings, prompts);
    return *form;
  }
  std::string Key(const char* section, const char* key) const {
    return ProfileFile::Load(settings.iniPath).GetString(section, key, "<none>");
  }

  test::TempDir dir;
  AppSettings settings;
  test::RecordingPrompts prompts;
  std::unique_ptr<GeneralSettingsForm> form;
};

TEST_F(GeneralSettingsFormTest, StartListIsTheLastByteEqualNameOrTheFirstList) {
  GeneralSettingsForm& f = Open("[main]\r\nstart=web\r\n");
  EXPECT_EQ(f.Initial({}).startIndex, -1);
  EXPECT_EQ(f.Initial({}).start, std::nullopt);
  EXPECT_EQ(f.Initial({"a", "web", "b", "web"}).startIndex, 3);
  EXPECT_EQ(f.Initial({"a", "WEB", "web "}).startIndex, 0);
  EXPECT_EQ(f.Initial({"a", "WEB"}).start, "a");
}

TEST_F(GeneralSettingsFormTest, OkWithoutChangesWritesNothing) {
  // minimizeToTray=2 shows as off; leaving the box alone leaves the value alone.
  const std::string ini =
      "[main]\r\nlocalfolder=/home/u/\x95\x5C\r\nstart=b\r\neditor=/usr/bin/kate\r\nshift=1\r\n"
      "ctrl=0\r\n[timer]\r\ntimer=1\r\nsaisyou=2\r\nkidou=1\r\nzenmen=1\r\n";
  GeneralSettingsForm& f = Open(ini);
  const GeneralSettingsFields fields = f.Initial({"a", "b"});
  EXPECT_EQ(fields.startIndex, 1);
  EXPECT_EQ(fields.localfolder, "/home/u/表");
  EXPECT_TRUE(fields.shift && !fields.ctrl && !fields.minimizeToTray && fields.startInTray &&
              fields.raiseOnScheduledRun);
  EXPECT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(dir.Read("kestra.ini"), ini);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(GeneralSettingsFormTest, EachBoxWritesItsOwnKeyInItsSection) {
  struct Box {
    bool GeneralSettingsFields::*field;
    uint8_t AppSettings::*flag;
    const char* section;
    const char* key;
  };
  const Box boxes[] = {
      {&GeneralSettingsFields::shift, &AppSettings::shift, "main", "shift"},
      {&GeneralSettingsFields::ctrl, &AppSettings::ctrl, "main", "ctrl"},
      {&GeneralSettingsFields::logFtp, &AppSettings::logFtp, "main", "logftp"},
      {&GeneralSettingsFields::minimizeToTray, &AppSettings::minimizeToTray, "timer", "saisyou"},
      {&GeneralSettingsFields::startInTray, &AppSettings::startInTray, "timer", "kidou"},
      {&GeneralSettingsFields::raiseOnScheduledRun, &AppSettings::raiseOnScheduledRun, "timer",
       "zenmen"},
  };
  for (const Box& box : boxes) {
    SCOPED_TRACE(box.key);
    std::filesystem::remove(dir / "kestra.ini");
    GeneralSettingsForm& f = Open();
    GeneralSettingsFields fields = f.Initial({});
    fields.*box.field = true;
    EXPECT_TRUE(f.Ok(fields).close);
    EXPECT_EQ(dir.Read("kestra.ini"),
              "[" + std::string(box.section) + "]\r\n" + box.key + "=1\r\n");
    EXPECT_EQ(settings.*box.flag, 1);

    fields.*box.field = false;
    EXPECT_TRUE(f.Ok(fields).close);
    EXPECT_EQ(Key(box.section, box.key), "0");
    EXPECT_EQ(settings.*box.flag, 0);
  }
}

TEST_F(GeneralSettingsFormTest, EverythingChangedIsWrittenInOrder) {
  GeneralSettingsForm& f = Open();
  GeneralSettingsFields fields = f.Initial({"a"});
  fields.localfolder = "/home/u/サイト";
  fields.editor = "/opt/My Editor/bin/ed\"it";
  fields.shift = fields.ctrl = fields.logFtp = fields.minimizeToTray = fields.startInTray =
      fields.raiseOnScheduledRun = true;
  EXPECT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(dir.Read("kestra.ini"),
            "[main]\r\nlocalfolder=/home/u/\x83T\x83\x43\x83g\r\nstart=a\r\n"
            "editor=/opt/My Editor/bin/ed\"it\r\nshift=1\r\nctrl=1\r\nlogftp=1\r\n"
            "[timer]\r\nsaisyou=1\r\nkidou=1\r\nzenmen=1\r\n");
  AppSettings again = test::SettingsIn(dir);
  LoadSettings(again);
  EXPECT_EQ(again.editor, fields.editor);
  EXPECT_EQ(again.localfolder, fields.localfolder);
}

TEST_F(GeneralSettingsFormTest, TextTheFileCannotHoldStopsTheOkBeforeAnyWrite) {
  GeneralSettingsForm& f = Open();
  GeneralSettingsFields fields = f.Initial({"café"});  // a list file named by hand
  fields.localfolder = "/home/u";
  fields.shift = true;
  GeneralFormStep step = f.Ok(fields);
  EXPECT_FALSE(step.close);
  EXPECT_EQ(step.focus, GeneralField::Start);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_NE(prompts.shown[0].text.find("「起動時に表示するリスト」"), std::string::npos);
  EXPECT_FALSE(dir.Exists("kestra.ini"));

  fields = f.Initial({"a"});
  fields.editor = "/usr/bin/" + std::string(250, 'e');
  step = f.Ok(fields);
  EXPECT_EQ(step.focus, GeneralField::Editor);
  EXPECT_EQ(prompts.shown.back().text, "「使用するエディタ」が長すぎます（255バイトまで）");
  EXPECT_FALSE(dir.Exists("kestra.ini"));
  EXPECT_EQ(settings.localfolder, "");
}

}  // namespace
}  // namespace tolvane
