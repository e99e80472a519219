#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ProfileFile.h"
#include "settings/PasswordScrambler.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

TEST(Password, WorkedExampleAbcWithKey7) {
  std::string data = ScrambleWithKey("abc", 7, "!!!!!!!");
  EXPECT_EQ(data, std::string("7!!!!!!!\x60\x6A\x5A"));
  EXPECT_EQ(Unscramble(data), "abc");
}

TEST(Password, StepValuesWrapFrom8To3) {
  // With k0 = 3 the steps run 3..8 and start again at 3; a long password must survive that.
  std::string plain = "The quick brown fox jumps over 13 lazy dogs!";
  for (int k0 = 3; k0 <= 7; ++k0) {
    EXPECT_EQ(Unscramble(ScrambleWithKey(plain, k0, std::string(static_cast<size_t>(k0), 'x'))),
              plain);
  }
}

TEST(Password, MalformedDataNeverCrashes) {
  EXPECT_EQ(Unscramble(""), "");
  EXPECT_EQ(Unscramble("7abc"), "");        // shorter than its filler
  EXPECT_EQ(Unscramble("abc").size(), 2u);  // no number: m = 0, payload from byte 1
  EXPECT_EQ(Unscramble("-5xxxxxxx").size(), 0u);
  EXPECT_NO_FATAL_FAILURE(Unscramble("99999999999999999999xx"));
}

class StorePasswordTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& key) {
    return ProfileFile::Load(settings.iniPath).GetString("main", key);
  }
  std::string RoundTrip(const std::string& plain) {
    EXPECT_EQ(StorePassword(settings, plain), PasswordStore::Ok) << plain;
    AppSettings loaded = settings;
    LoadSettings(loaded);
    return loaded.password;
  }
  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
};

TEST_F(StorePasswordTest, ReadsBackWholeWithRandomFiller) {
  for (int i = 0; i < 50; ++i) EXPECT_EQ(RoundTrip("pa55 word"), "pa55 word");
  EXPECT_EQ(RoundTrip("日本語パス"), "日本語パス");
  EXPECT_EQ(RoundTrip(std::string(247, 'z')), std::string(247, 'z'));
  EXPECT_EQ(RoundTrip(std::string(251, 'z')), std::string(251, 'z'));  // only k0 = 3 fits
}

TEST_F(StorePasswordTest, RewriteLeavesTheFileReadableByItsOwnerOnly) {
  dir.Write("kestra.ini", "[main]\r\nhostname=h\r\n");
  ASSERT_EQ(chmod(settings.iniPath.c_str(), 0644), 0);  // e.g. copied from elsewhere
  ASSERT_EQ(StorePassword(settings, "pw"), PasswordStore::Ok);
  struct stat st {};
  ASSERT_EQ(stat(settings.iniPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(ProfileFile::Load(settings.iniPath).GetString("main", "hostname"), "h");
}

TEST_F(StorePasswordTest, EmptyPasswordStoresDigitAndFillerOnly) {
  EXPECT_EQ(RoundTrip(""), "");
  std::string data = Stored("data");
  ASSERT_GE(data.size(), 4u);
  EXPECT_EQ(data.size(), static_cast<size_t>(data[0] - '0') + 1);
  EXPECT_EQ(Stored("pasword"), "");
}

TEST_F(StorePasswordTest, FillerNeverLengthensTheLeadingNumber) {
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(StorePassword(settings, "x"), PasswordStore::Ok);
    std::string data = Stored("data");
    ASSERT_FALSE(isdigit(static_cast<unsigned char>(data[1]))) << data;
    for (char c : Stored("pasword")) ASSERT_TRUE(c != '\0' && c != '\r' && c != '\n');
  }
}

TEST_F(StorePasswordTest, BytesThatCannotBeStoredPickAnotherKeyOrAreRefused) {
  // Each byte meets one step start with the step that turns it into a line feed, so every
  // key puts a line break into the value.
  std::string bad = "\x0D\x05\x11\x07\x0F";
  EXPECT_EQ(StorePassword(settings, bad), PasswordStore::Unstorable);
  EXPECT_FALSE(dir.Exists("kestra.ini"));  // nothing written
  // The first plain byte ends the value: '#' - 3 = ' ' would be cut off as a trailing blank
  // for k0 = 3, so another k0 must be chosen.
  for (int i = 0; i < 30; ++i) EXPECT_EQ(RoundTrip("#abc"), "#abc");
  EXPECT_EQ(StorePassword(settings, std::string(252, 'z')), PasswordStore::TooLong);
  EXPECT_EQ(StorePassword(settings, "café"), PasswordStore::Unencodable);
  EXPECT_FALSE(PasswordStoreMessage(PasswordStore::Unstorable).empty());
}

}  // namespace
}  // namespace tolvane
