// FTPS against pyftpdlib's TLS handler with a certificate made for the test: a server that
// takes nothing in clear, so every passing transfer was encrypted. The certificate is
// self-signed, as a small host's often is, so each test goes through the pin too.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/ScriptedFtpServer.h"
#include "transfer/FtpTestSupport.h"
#include "transfer/UploadRunRig.h"
#include "upload/FailureTexts.h"

namespace tolvane {
namespace {

using test::FtpServer;
using test::FtpServerOptions;

FtpTlsSettings Tls(FtpEncryption encryption, std::string pin = {}) { return {encryption, pin}; }

class FtpsClientTest : public ::testing::Test {
 protected:
  FtpServerOptions TlsServer(const std::string& certificateName = "127.0.0.1") {
    FtpServerOptions options;
    options.tlsCertificate = test::MakeTestCertificate(certificates, certificateName);
    return options;
  }

  // The SHA-256 a first connection is shown (and refuses, as nothing is pinned yet).
  std::string FirstSight(const FtpServer& server, FtpEncryption encryption) {
    FtpClient client(test::QuickOptions());
    EXPECT_EQ(client.Connect(server.hostField(), "tolvane", "secret", true, Tls(encryption)),
              test::Failure(test::Kind::CertificateUntrusted));
    EXPECT_FALSE(client.IsConnected());
    const std::optional<FtpCertificate>& seen = client.ServerCertificate();
    if (!seen) return {};
    EXPECT_EQ(seen->trouble, FtpCertificate::Trouble::SelfSigned);
    EXPECT_EQ(seen->subject.substr(0, 3), "CN=");
    return seen->sha256;
  }

  // A put, a listing and SIZE over `encryption`, passive or active.
  void PutAndList(FtpEncryption encryption, bool passive) {
    FtpServerOptions options = TlsServer();
    options.implicitTls = encryption == FtpEncryption::Implicit;
    FtpServer server(options);
    const std::string pin = FirstSight(server, encryption);
    local.Write("page.html", std::string(300000, 'x'));

    FtpClient client(test::QuickOptions());
    ASSERT_EQ(
        client.Connect(server.hostField(), "tolvane", "secret", passive, Tls(encryption, pin)),
        test::kDone);
    EXPECT_EQ(client.PutFile(local / "page.html", "page.html", TransferType::Binary), test::kDone);
    EXPECT_EQ(server.files().Read("page.html"), local.Read("page.html"));
    EXPECT_EQ(client.SizeOf("page.html"), 300000u);
    std::optional<FtpFolderListing> listing = client.ListFolder();
    ASSERT_TRUE(listing);
    EXPECT_EQ(client.FindInListing(*listing, "page.html").kind, FolderAnswer::Kind::Found);
    client.Close();
    // The server requires TLS on both connections: it would have refused anything else.
    for (std::string command : {"AUTH TLS", "PBSZ 0", "PROT P"}) {
      const std::vector<std::string> commands = server.Commands();
      const bool sent = std::find(commands.begin(), commands.end(), command) != commands.end();
      EXPECT_EQ(sent, encryption == FtpEncryption::Explicit || command != "AUTH TLS") << command;
    }
  }

  test::TempDir certificates;
  test::TempDir local;
};

TEST_F(FtpsClientTest, ExplicitPassiveTransfersAreEncrypted) {
  PutAndList(FtpEncryption::Explicit, true);
}

TEST_F(FtpsClientTest, ImplicitActiveTransfersAreEncrypted) {
  PutAndList(FtpEncryption::Implicit, false);
}

// Another certificate where one was pinned: refused as changed, never taken in its place.
TEST_F(FtpsClientTest, ADifferentCertificateThanThePinnedOneIsRefused) {
  FtpServer first(TlsServer("first"));
  const std::string pin = FirstSight(first, FtpEncryption::Explicit);
  FtpServer second(TlsServer("second"));
  FtpClient client(test::QuickOptions());
  EXPECT_EQ(client.Connect(second.hostField(), "tolvane", "secret", true,
                           Tls(FtpEncryption::Explicit, pin)),
            test::Failure(test::Kind::CertificateChanged));
  ASSERT_TRUE(client.ServerCertificate());
  EXPECT_NE(client.ServerCertificate()->sha256, pin);
  EXPECT_EQ(second.Commands(), (std::vector<std::string>{"AUTH TLS"}));  // no account sent
}

// A server without TLS: the session ends there, and the account never crosses in clear.
TEST_F(FtpsClientTest, RefusedAuthTlsNeverFallsBackToClearText) {
  FtpServer plain;
  FtpClient client(test::QuickOptions());
  FtpResult result =
      client.Connect(plain.hostField(), "tolvane", "secret", true, Tls(FtpEncryption::Explicit));
  EXPECT_EQ(result.kind, test::Kind::TlsRefused);
  EXPECT_EQ(result.serverLine.substr(0, 3), "500");
  EXPECT_EQ(plain.Commands(), (std::vector<std::string>{"AUTH TLS"}));
}

// A handshake the server never answers is cut like a reply that never comes; one it hangs up
// on ends at once.
TEST(FtpsHandshakeTest, StalledOrDroppedHandshakesEndWithinTheBound) {
  FtpOptions options = test::QuickOptions();
  options.replyTimeoutMs = 800;
  for (const auto& [rule, expected] : {std::pair{"AUTH=tls-stall", test::Kind::ReplyTimeout},
                                       std::pair{"AUTH=tls-drop", test::Kind::TlsFailed}}) {
    test::ScriptedFtpServer server({rule});
    FtpClient client(options);
    FtpResult result;
    int64_t ms = test::MillisecondsOf([&] {
      result = client.Connect(server.hostField(), "tolvane", "secret", true,
                              Tls(FtpEncryption::Explicit));
    });
    EXPECT_EQ(result, test::Failure(expected)) << rule;
    EXPECT_LT(ms, 2500) << rule;
    EXPECT_EQ(server.Count("USER"), 0) << rule;
  }
}

// The whole way from the button: asked once, pinned in kestra.ini for this host, and not
// asked again; a scheduled run of the same settings never asks and says what to do.
class FtpsRunTest : public ::testing::Test, protected test::UploadRunRig {
 protected:
  void SetUp() override {
    test::FtpServerOptions options;
    options.tlsCertificate = test::MakeTestCertificate(certificates, "127.0.0.1");
    Serve(options);
    settings.encryption = 1;
    site.Write("index.html", "<p>hello</p>\n");
    List({site / "index.html", "/"});
  }

  std::string Ini() const {
    std::ifstream in(settings.iniPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  int Questions() const {
    return static_cast<int>(
        std::count_if(prompts.shown.begin(), prompts.shown.end(),
                      [](const test::Shown& s) { return s.buttons == Buttons::YesNo; }));
  }

  test::TempDir certificates;
};

TEST_F(FtpsRunTest, TheButtonAsksOnceAndPinsTheCertificateForThisHost) {
  prompts.answers = {Answer::Yes};
  PressUpload();
  ASSERT_EQ(Questions(), 1);
  const test::Shown& question = prompts.shown.front();
  EXPECT_NE(question.text.find("自己署名"), std::string::npos);
  EXPECT_NE(question.text.find("SHA-256"), std::string::npos);
  EXPECT_EQ(server->files().Read("index.html"), "<p>hello</p>\n");
  EXPECT_EQ(settings.pinnedCertificate.size(), 64u);
  EXPECT_NE(Ini().find("tlspin=" + settings.pinnedCertificate), std::string::npos);
  EXPECT_NE(Ini().find("tlspinhost=" + server->hostField()), std::string::npos);

  site.Write("index.html", "<p>again</p>\n");
  test::SetFileTime(site / "index.html", time(nullptr) + 120);
  PressUpload();
  EXPECT_EQ(Questions(), 1);
  EXPECT_EQ(server->files().Read("index.html"), "<p>again</p>\n");

  // A pin taken for another server setting counts for nothing here.
  settings.pinnedCertificateHost = "ftp.example.jp";
  prompts.answers = {Answer::No};
  PressUpload();
  EXPECT_EQ(Questions(), 2);
}

TEST_F(FtpsRunTest, AScheduledRunNeverAsksAndSaysWhatToDo) {
  prompts.answers = {Answer::Yes};
  std::optional<UploadReport> report = UploadFromSchedule(ctx, TimerEntry{"210805", "web"});
  ASSERT_TRUE(report);
  EXPECT_EQ(Questions(), 0);
  EXPECT_FALSE(report->connected);
  EXPECT_NE(report->connectFailure.find(kFtpCertificateUntrusted), std::string::npos);
  EXPECT_NE(report->connectFailure.find("アップロードボタンか時間確認"), std::string::npos);
  EXPECT_TRUE(settings.pinnedCertificate.empty());
  EXPECT_FALSE(server->files().Exists("index.html"));
}

}  // namespace
}  // namespace tolvane
