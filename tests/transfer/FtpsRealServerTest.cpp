// FTPS against Debian's vsftpd as it ships: it demands that every data connection resumes the
// control connection's TLS session (require_ssl_reuse=YES), which pyftpdlib never checks.
#include <gtest/gtest.h>

#include "platform/LocalTime.h"
#include "support/RealFtpServer.h"
#include "transfer/FtpTestSupport.h"
#include "transfer/UploadRunRig.h"

namespace tolvane {
namespace {

using test::RealFtpServer;
using test::RealServerKind;

void PutAndListOn(const RealFtpServer& server, FtpEncryption encryption) {
  FtpClient client(test::QuickOptions());
  const FtpTlsSettings unpinned{encryption, {}};
  ASSERT_EQ(client.Connect(server.hostField(), server.user(), server.password(), true, unpinned),
            test::Failure(test::Kind::CertificateUntrusted));
  ASSERT_TRUE(client.ServerCertificate());
  const FtpTlsSettings pinned{encryption, client.ServerCertificate()->sha256};
  ASSERT_EQ(client.Connect(server.hostField(), server.user(), server.password(), true, pinned),
            test::kDone);
  ASSERT_TRUE(client.ChangeDirectory(server.serverFolder()));
  test::TempDir local;
  local.Write("a.bin", std::string(200000, '\x7f'));
  local.Write("b.txt", "line\n");
  EXPECT_EQ(client.PutFile(local / "a.bin", "a.bin", TransferType::Binary), test::kDone);
  EXPECT_EQ(client.PutFile(local / "b.txt", "b.txt", TransferType::Ascii), test::kDone);
  // A listing comes the other way over its own resumed session.
  std::optional<std::set<std::string>> names = client.NamesHere();
  ASSERT_TRUE(names);
  EXPECT_TRUE(names->count("a.bin") && names->count("b.txt"));
  client.Close();
  EXPECT_EQ(server.Read("a.bin"), local.Read("a.bin"));
  EXPECT_EQ(server.Read("b.txt").substr(0, 4), "line");
}

std::vector<std::string> VsftpdTls(const std::string& certificate, FtpEncryption encryption) {
  std::vector<std::string> config = {"ssl_enable=YES",
                                     "require_ssl_reuse=YES",
                                     "allow_anon_ssl=YES",
                                     "force_anon_logins_ssl=YES",
                                     "force_anon_data_ssl=YES",
                                     "ssl_ciphers=HIGH",
                                     "rsa_cert_file=" + certificate};
  if (encryption == FtpEncryption::Implicit) config.push_back("implicit_ssl=YES");
  return config;
}

TEST(FtpsRealServerTest, VsftpdRequiringSessionReuseTakesEncryptedTransfers) {
  if (std::string why = RealFtpServer::Missing(RealServerKind::Vsftpd); !why.empty()) {
    GTEST_SKIP() << why;
  }
  test::TempDir certificates;
  const std::string certificate = test::MakeTestCertificate(certificates, "127.0.0.1");
  for (FtpEncryption encryption : {FtpEncryption::Explicit, FtpEncryption::Implicit}) {
    SCOPED_TRACE(static_cast<int>(encryption));
    RealFtpServer server(RealServerKind::Vsftpd, VsftpdTls(certificate, encryption));
    PutAndListOn(server, encryption);
  }
}

// Every extra connection of a run logs in over TLS with the pinned certificate and resumes
// its own session for its data connections.
TEST(FtpsRealServerTest, RunOverSeveralEncryptedConnections) {
  if (std::string why = RealFtpServer::Missing(RealServerKind::Vsftpd); !why.empty()) {
    GTEST_SKIP() << why;
  }
  test::TempDir certificates;
  const std::string certificate = test::MakeTestCertificate(certificates, "127.0.0.1");
  RealFtpServer server(RealServerKind::Vsftpd, VsftpdTls(certificate, FtpEncryption::Explicit));
  FtpClient first(test::QuickOptions());
  first.Connect(server.hostField(), server.user(), server.password(), true,
                {FtpEncryption::Explicit, {}});
  ASSERT_TRUE(first.ServerCertificate());

  test::UploadListRig rig;
  rig.settings.hostname = rig.settings.pinnedCertificateHost = server.hostField();
  rig.settings.username = server.user();
  rig.settings.password = server.password();
  rig.settings.serverfolder = server.serverFolder();
  rig.settings.encryption = 1;
  rig.settings.pinnedCertificate = first.ServerCertificate()->sha256;
  rig.settings.connections = 3;
  rig.settings.logFtp = 1;
  std::vector<std::string> lines;
  for (int i = 0; i < 8; ++i) {
    rig.site.Write("p" + std::to_string(i) + ".bin", std::string(50000 + i, 'a' + i));
    lines.insert(lines.end(), {rig.site / ("p" + std::to_string(i) + ".bin"), ""});
  }
  rig.List(lines);
  rig.PressUpload(5000);
  EXPECT_TRUE(rig.prompts.shown.empty());
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(server.Read("p" + std::to_string(i) + ".bin"), std::string(50000 + i, 'a' + i));
  }
  const std::string log = rig.app.Read("log/" + FormatLocal(rig.clock.now, "%Y-%m") + ".log");
  EXPECT_NE(log.find("[接続2] > PROT P"), std::string::npos);
}

}  // namespace
}  // namespace tolvane
