// What must never leak or be smuggled: the password in any text the person sees, and line
// breaks or NUL from a file name, a folder or the account onto the control connection, where
// they would end one command and start another of an attacker's choosing.
#include <sys/stat.h>

#include "reliability/ScriptedRunFixture.h"
#include "upload/FailureTexts.h"

namespace tolvane::test {
namespace {

using SecurityTest = ScriptedRunFixture;

bool Holds(const Texts& texts, const std::string& part) {
  for (const std::string& t : texts) {
    if (t.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST_F(SecurityTest, EchoedPasswordIsMaskedInEveryMessage) {
  struct Echo {
    Texts rules;
    std::string shown;
  };
  const Echo echoes[] = {
      {{"PASS=reply:530 Login incorrect: PASS secret"}, "530 Login incorrect: PASS ********"},
      // Control characters inside the echo must not let the password slip past the mask.
      {{"PASS=reply:530 Bad password \"se\\x01cr\\x07et\"."}, "530 Bad password \"********\"."},
      {{"STOR#1=reply:553 Denied for tolvane:secret (secretsecret)"},
       "553 Denied for tolvane:******** (****************)"},
  };
  for (const Echo& e : echoes) {
    SCOPED_TRACE(e.rules[0]);
    Serve(e.rules);
    ListThree();
    Run();
    EXPECT_EQ(Messages(), Texts{e.shown});
    EXPECT_FALSE(Holds(status.statusHistory, "secret"));
    EXPECT_FALSE(Holds(status.fileHistory, "secret"));
  }
}

TEST_F(SecurityTest, LineBreaksAndNulNeverReachTheWire) {
  using namespace std::string_literals;
  Serve({});
  // A file name may hold a CR on Linux, and a list line may hold a CR or a NUL.
  site.Write("x\rDELE victim", "1");
  site.Write("ok.txt", "2");
  List({site / "x\rDELE victim", "", site / "ok.txt\0DELE victim"s, "", site / "ok.txt",
        "sub\rDELE victim"});
  Run();
  EXPECT_EQ(Messages(), Texts(2, kFtpNameUnsendable));
  EXPECT_EQ(server->files().Read("ok.txt"), "2");  // into the root: the folder was refused
  ExpectReady();

  for (const auto& [user, password] : {std::pair{"tolvane\r\nDELE victim"s, "secret"s},
                                       std::pair{"tolvane"s, "secret\0DELE victim"s},
                                       std::pair{"tolvane"s, "secret\nDELE victim"s}}) {
    settings.username = user;
    settings.password = password;
    prompts.shown.clear();
    Run();
    EXPECT_EQ(Messages(), Texts{kFtpAccountUnsendable});
    ExpectReady();
  }
  Texts commands = server->Commands();
  ASSERT_FALSE(commands.empty());
  for (const std::string& line : commands) {
    EXPECT_EQ(line.find("\\x0d"), std::string::npos) << line;
    EXPECT_EQ(line.find("\\x00"), std::string::npos) << line;
    EXPECT_EQ(line.find("DELE victim"), std::string::npos) << line;
  }
  EXPECT_EQ(server->Count("USER"), 1);  // refused accounts never connect
}

}  // namespace
}  // namespace tolvane::test
