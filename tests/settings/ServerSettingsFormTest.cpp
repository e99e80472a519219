// The server settings OK: which keys it writes, in which order, and what stops it; the
// extension list's Add and Delete and the rewrite of mode.ini.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ProfileFile.h"
#include "settings/ServerSettingsForm.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

constexpr const char* kFullIni =
    "[main]\r\nhostname=ftp.example.jp\r\nusername=\x83T\x83\x43\x83g\r\n"
    "serverfolder=/www\r\npasv=0\r\nstime=-9\r\n[timer]\r\ntimer=1\r\n";

class ServerSettingsFormTest : public ::testing::Test {
 protected:
  // Loads kestra.ini as start-up does, then opens the form over the extension table.
  ServerSettingsForm& Open(const std::string& ini = "", std::vector<std::string> table = {}) {
    if (!ini.empty()) dir.Write("kestra.ini", ini);
    LoadSettings(settings);
    exts = std::move(table);
    form = std::make_unique<ServerSettingsForm>(settings, exts, prompts);
    return *form;
  }
  // Keys of section main, in file order.
  std::vector<std::string> MainKeys() const {
    std::vector<std::string> keys;
    const std::string bytes = dir.Read("kestra.ini");
    size_t pos = 0;
    for (size_t end; (end = bytes.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
      const std::string line = bytes.substr(pos, end - pos);
      if (line.find('=') != std::string::npos) keys.push_back(line.substr(0, line.find('=')));
    }
    return keys;
  }
  std::string Key(const char* key) const {
    return ProfileFile::Load(settings.iniPath).GetString("main", key, "<none>");
  }
  AppSettings Reloaded() const {
    AppSettings again = test::SettingsIn(dir);
    LoadSettings(again);
    return again;
  }
  void Reset() {
    std::filesystem::remove(dir / "kestra.ini");
    std::filesystem::remove(dir / "mode.ini");
    settings = test::SettingsIn(dir);
    prompts.shown.clear();
  }
  void ExpectIntegerPrompt(size_t index = 0) const {
    ASSERT_GT(prompts.shown.size(), index);
    EXPECT_EQ(prompts.shown[index].text, "Please enter an integer.");
    EXPECT_EQ(prompts.shown[index].caption, "トルヴェイン");
    EXPECT_EQ(prompts.shown[index].icon, Icon::Warning);
  }

  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  std::vector<std::string> exts;
  test::RecordingPrompts prompts;
  std::unique_ptr<ServerSettingsForm> form;
};

TEST_F(ServerSettingsFormTest, OkWithoutChangesWritesNothing) {
  std::string ini = kFullIni;
  ini.replace(ini.find("pasv=0"), 6, "pasv=2");  // on, though not 1
  ServerSettingsForm& f = Open(ini, {"html"});
  ASSERT_TRUE(StorePassword(settings, "secret") == PasswordStore::Ok);
  LoadSettings(settings);
  const std::string before = dir.Read("kestra.ini");
  const ServerFormStep step = f.Ok(f.Initial());
  EXPECT_TRUE(step.close);
  EXPECT_EQ(dir.Read("kestra.ini"), before);
  EXPECT_FALSE(dir.Exists("mode.ini"));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ServerSettingsFormTest, ChangedKeysAreWrittenInOrderAndReadBack) {
  ServerSettingsForm& f = Open();
  const ServerFormStep step =
      f.Ok({"ftp.example.jp:2121", "ユーザー", "パス word", "/公開", "-540", false});
  EXPECT_TRUE(step.close);
  EXPECT_EQ(MainKeys(), (std::vector<std::string>{"hostname", "username", "pasword", "data",
                                                  "serverfolder", "stime", "pasv"}));
  EXPECT_EQ(Key("stime"), "-540");
  EXPECT_EQ(Key("pasv"), "0");
  const AppSettings again = Reloaded();
  for (const AppSettings* s : {static_cast<const AppSettings*>(&settings), &again}) {
    EXPECT_EQ(s->hostname, "ftp.example.jp:2121");
    EXPECT_EQ(s->username, "ユーザー");
    EXPECT_EQ(s->password, "パス word");
    EXPECT_EQ(s->serverfolder, "/公開");
    EXPECT_EQ(s->clockCorrectionMinutes, -540);
    EXPECT_EQ(s->passiveMode, 0);
  }
  EXPECT_FALSE(dir.Exists("mode.ini"));
}

TEST_F(ServerSettingsFormTest, ConnectionsAreTwoWhenAbsentAndStayWithinOneToEight) {
  ServerSettingsForm& f = Open();
  EXPECT_EQ(f.Initial().connections, 2);
  ServerSettingsFields fields = f.Initial();
  fields.connections = 5;
  EXPECT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(Key("connections"), "5");
  EXPECT_EQ(Reloaded().connections, 5);
  fields.connections = 12;
  f.Ok(fields);
  EXPECT_EQ(Key("connections"), "8");
  for (const char* stored : {"0", "-3", "99"}) {
    Reset();
    Open(std::string("[main]\r\nconnections=") + stored + "\r\n");
    EXPECT_EQ(settings.connections, std::string(stored) == "99" ? 8 : 1) << stored;
  }
}

TEST_F(ServerSettingsFormTest, OnlyChangedValuesAreRewritten) {
  ServerSettingsForm& f = Open(kFullIni);
  ASSERT_TRUE(StorePassword(settings, "secret") == PasswordStore::Ok);
  LoadSettings(settings);
  const std::string data = Key("data"), pasword = Key("pasword");

  ServerSettingsFields fields = f.Initial();
  fields.hostname = "FTP.example.jp";  // letter case alone is a change
  EXPECT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(Key("hostname"), "FTP.example.jp");
  EXPECT_EQ(Key("data"), data);
  EXPECT_EQ(Key("pasword"), pasword);

  fields.password = "";
  fields.minutes = "5abc";
  EXPECT_TRUE(f.Ok(fields).close);
  EXPECT_NE(Key("data"), data);
  EXPECT_EQ(Key("data").size(), 1 + static_cast<size_t>(Key("data")[0] - '0'));
  EXPECT_EQ(Key("pasword"), "");
  EXPECT_EQ(Key("stime"), "5");
  EXPECT_EQ(Reloaded().password, "");
  EXPECT_EQ(settings.password, "");
}

TEST_F(ServerSettingsFormTest, UnreadableMinutesKeepTheDialogOpenButStoreTheRest) {
  for (const char* minutes : {"abc", "", "2147483648"}) {
    SCOPED_TRACE(minutes);
    Reset();
    ServerSettingsForm& f = Open(kFullIni, {"html"});
    bool added = false;
    f.Add({"h", "u", "", "/www", "-9", false}, "php", added);
    ServerSettingsFields fields = f.Initial();
    fields.hostname = "other.example.jp";
    fields.minutes = minutes;
    const ServerFormStep step = f.Ok(fields);
    EXPECT_FALSE(step.close);
    EXPECT_EQ(step.focus, ServerField::Minutes);
    ExpectIntegerPrompt();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(settings.hostname, "other.example.jp");
    EXPECT_EQ(ProfileFile::Load(settings.iniPath).GetString("main", "hostname"),
              "other.example.jp");
    EXPECT_EQ(settings.clockCorrectionMinutes, -9);
    EXPECT_EQ(dir.Read("mode.ini"), "html\r\nphp\r\n");

    // A later valid OK stores the minutes and closes; the list, already saved, is not
    // written again.
    dir.Write("mode.ini", "edited by hand\r\n");
    fields.minutes = " -60";
    EXPECT_TRUE(f.Ok(fields).close);
    EXPECT_EQ(settings.clockCorrectionMinutes, -60);
    EXPECT_EQ(ProfileFile::Load(settings.iniPath).GetString("main", "stime"), "-60");
    EXPECT_EQ(dir.Read("mode.ini"), "edited by hand\r\n");
  }
}

TEST_F(ServerSettingsFormTest, TextTheFileCannotHoldStopsTheOkBeforeAnyWrite) {
  struct Case {
    ServerSettingsFields fields;
    ServerField focus;
    std::string message;
  };
  const std::string unusable = "に使用できない文字が含まれています";
  const Case cases[] = {
      {{"new", "", "", "/😀", "0", true},
       ServerField::Serverfolder,
       "「サーバーの初期フォルダ」" + unusable},
      {{"new", "", "\r\x05\x11\x07\x0f", "", "0", true},
       ServerField::Password,
       PasswordStoreMessage(PasswordStore::Unstorable)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Reset();
    ServerSettingsForm& f = Open("", {"html"});
    bool added = false;
    f.Add(f.Initial(), "php", added);
    const ServerFormStep step = f.Ok(c.fields);
    EXPECT_FALSE(step.close);
    EXPECT_EQ(step.focus, c.focus);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find(c.message), std::string::npos);
    EXPECT_EQ(prompts.shown[0].caption, "エラー");
    EXPECT_FALSE(dir.Exists("kestra.ini"));
    EXPECT_FALSE(dir.Exists("mode.ini"));
    EXPECT_EQ(settings.hostname, "");
    EXPECT_EQ(exts, std::vector<std::string>{"html"});
  }
}

TEST_F(ServerSettingsFormTest, AddChecksTheMinutesButAddsAnyway) {
  ServerSettingsForm& f = Open();
  ServerSettingsFields fields = f.Initial();
  fields.minutes = "x";
  bool added = false;
  const ServerFormStep step = f.Add(fields, "cgi", added);
  EXPECT_TRUE(added);
  EXPECT_EQ(step.focus, ServerField::Minutes);
  ExpectIntegerPrompt();

  f.Add(f.Initial(), "é", added);
  EXPECT_FALSE(added);
  EXPECT_NE(prompts.shown.back().text.find("「追加する拡張子」"), std::string::npos);
}

TEST_F(ServerSettingsFormTest, DeletingEverythingEmptiesTheFileAndTheTable) {
  ServerSettingsForm& f = Open("", {"html", "htm"});
  EXPECT_FALSE(f.Delete(-1));
  EXPECT_FALSE(f.Delete(2));
  EXPECT_FALSE(f.ModeChanged());
  bool added = false;
  f.Add(f.Initial(), "js", added);  // an add undone by a delete still counts as a change
  EXPECT_TRUE(f.Delete(2));
  EXPECT_TRUE(f.Delete(1));
  EXPECT_TRUE(f.Delete(0));
  EXPECT_TRUE(f.Ok(f.Initial()).close);
  EXPECT_TRUE(dir.Exists("mode.ini"));
  EXPECT_EQ(dir.Read("mode.ini"), "");
  EXPECT_TRUE(exts.empty());
}

TEST_F(ServerSettingsFormTest, AModeFileThatCannotBeWrittenKeepsTheEditsOpen) {
  std::filesystem::create_directory(dir / "mode.ini");
  ServerSettingsForm& f = Open("", {"html"});
  f.Delete(0);
  ServerSettingsFields fields = f.Initial();
  fields.username = "u";
  const ServerFormStep step = f.Ok(fields);
  EXPECT_FALSE(step.close);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "転送モードファイルを更新できませんでした");
  EXPECT_EQ(Key("username"), "u");
  EXPECT_EQ(exts, std::vector<std::string>{"html"});
  EXPECT_TRUE(f.ModeChanged());
}

TEST_F(ServerSettingsFormTest, ASettingsFileThatCannotBeWrittenIsReported) {
  std::filesystem::create_directory(dir / "kestra.ini");
  ServerSettingsForm& f = Open();
  ServerSettingsFields fields = f.Initial();
  fields.hostname = "h";
  const ServerFormStep step = f.Ok(fields);
  EXPECT_FALSE(step.close);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "設定ファイルに書き込めませんでした");
  EXPECT_EQ(settings.hostname, "");
}

// Files of older versions have no `tls`: plain FTP, as before. The choice is stored as a
// number; a pin belongs to the host it was accepted for and goes when the host changes.
TEST_F(ServerSettingsFormTest, EncryptionIsStoredAndAPinGoesWithItsHost) {
  ServerSettingsForm& f = Open(kFullIni);
  EXPECT_EQ(f.Initial().encryption, 0);
  ServerSettingsFields fields = f.Initial();
  fields.encryption = 2;
  ASSERT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(Key("tls"), "2");
  ASSERT_TRUE(StoreCertificatePin(settings, std::string(64, 'a')));
  EXPECT_EQ(Reloaded().encryption, 2);
  EXPECT_EQ(PinnedCertificateForHost(Reloaded()), std::string(64, 'a'));

  // Unrelated changes keep it; another host drops it.
  fields.minutes = "5";
  ASSERT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(Key("tlspin"), std::string(64, 'a'));
  fields.hostname = "ftp2.example.jp";
  ASSERT_TRUE(f.Ok(fields).close);
  EXPECT_EQ(Key("tlspin"), "");
  EXPECT_EQ(PinnedCertificateForHost(Reloaded()), "");

  // A pin whose host does not match (an edited file) counts for nothing.
  ASSERT_TRUE(StoreCertificatePin(settings, std::string(64, 'b')));
  settings.hostname = "ftp3.example.jp";
  EXPECT_EQ(PinnedCertificateForHost(settings), "");
  // An unknown value never means clear text.
  Reset();
  EXPECT_EQ(Open("[main]\r\ntls=7\r\n").Initial().encryption, 1);
}

}  // namespace
}  // namespace tolvane
