// Upload runs against Debian's vsftpd, ProFTPD and Pure-FTPd, each run the way hosting
// services commonly set it up. pyftpdlib answers refused commands, dot files and times the
// way the client expects; these servers do not, and a wrong guess there overwrites the site.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "support/RealFtpServer.h"
#include "transfer/UploadRunRig.h"
#include "upload/UploadStarter.h"

namespace tolvane {
namespace {

using test::RealFtpServer;
using test::RealServerKind;
using Texts = std::vector<std::string>;

constexpr int64_t kDay = 86400;

class RealServerTest : public ::testing::Test, protected test::UploadListRig {
 protected:
  // Empty when the server runs; otherwise why it cannot, for GTEST_SKIP.
  std::string Serve(RealServerKind kind, std::vector<std::string> extra = {}) {
    if (std::string why = RealFtpServer::Missing(kind); !why.empty()) return why;
    server = std::make_unique<RealFtpServer>(kind, std::move(extra));
    settings.hostname = server->hostField();
    settings.username = server->user();
    settings.password = server->password();
    settings.serverfolder = server->serverFolder();
    return {};
  }

  // A local file with the given bytes and modification time, as a list line.
  std::string Local(const std::string& name, const std::string& bytes, int64_t mtime) {
    site.Write(name, bytes);
    test::SetFileTime(site / name, mtime);
    return site / name;
  }

  // A server copy with the given bytes and modification time.
  void Remote(const std::string& name, const std::string& bytes, int64_t mtime) {
    server->Write(name, bytes);
    server->SetMtime(name, mtime);
  }

  void Run() {
    PressUpload();
    EXPECT_FALSE(state.m_busy);
  }

  int Uploads() const {
    return static_cast<int>(std::count_if(
        status.statusHistory.begin(), status.statusHistory.end(),
        [](const std::string& s) { return s.find("アップロード中") != std::string::npos; }));
  }

  int64_t now = time(nullptr);
  std::unique_ptr<RealFtpServer> server;
};

// A server that refuses a look-up command, and what it refuses.
struct Refusing {
  RealServerKind kind;
  Texts config;
};

void PrintTo(const Refusing& r, std::ostream* os) {
  *os << RealFtpServer::Name(r.kind) << " " << testing::PrintToString(r.config);
}

class RefusedLookupTest : public RealServerTest, public ::testing::WithParamInterface<Refusing> {};

// A refused MLST or MDTM says nothing about the file: the folder's listing does, dot files
// included. Taken as "absent", it makes every run upload everything, older over newer.
TEST_P(RefusedLookupTest, ServerCopiesThatAreNewerStay) {
  if (std::string why = Serve(GetParam().kind, GetParam().config); !why.empty())
    GTEST_SKIP() << why;
  Remote("older.html", "newer on the server", now - kDay);
  Remote(".htaccess", "Options -Indexes\n", now - kDay);
  Remote("newer.html", "older on the server", now - 3 * kDay);
  List({Local("older.html", "older here", now - 2 * kDay), "",
        Local(".htaccess", "Options +Indexes\n", now - 2 * kDay), "",
        Local("newer.html", "newer here", now - 2 * kDay), "",
        Local("absent.html", "not on the server", now - 2 * kDay), ""});
  Run();
  EXPECT_EQ(server->Read("older.html"), "newer on the server");
  EXPECT_EQ(server->Read(".htaccess"), "Options -Indexes\n");
  EXPECT_EQ(server->Read("newer.html"), "newer here");
  EXPECT_EQ(server->Read("absent.html"), "not on the server");
  EXPECT_EQ(Uploads(), 2) << testing::PrintToString(server->Commands());

  Run();  // every server copy is as new as the local one now
  EXPECT_EQ(Uploads(), 0) << testing::PrintToString(server->Commands());
}

INSTANTIATE_TEST_SUITE_P(
    Servers, RefusedLookupTest,
    ::testing::Values(
        Refusing{RealServerKind::Vsftpd, {"cmds_denied=MDTM"}},
        Refusing{RealServerKind::Proftpd, {"<Limit MLST MLSD>", "DenyAll", "</Limit>"}},
        Refusing{RealServerKind::Proftpd, {"<Limit MLST MLSD MDTM>", "DenyAll", "</Limit>"}}),
    [](const auto& info) {
      return std::string(info.param.kind == RealServerKind::Vsftpd ? "VsftpdNoMdtm"
                         : info.index == 1                         ? "ProftpdNoMlst"
                                                                   : "ProftpdNoMlstNoMdtm");
    });

class EveryServerTest : public RealServerTest,
                        public ::testing::WithParamInterface<RealServerKind> {};

// A plain run: text converted, binary byte-exact, a Japanese name, a file replaced; nothing
// else is left in the folder (a half-sent file under a hidden name must not stay).
TEST_P(EveryServerTest, RunLeavesExactlyTheFiles) {
  // vsftpd keeps the CR LF of ASCII uploads unless told otherwise.
  Texts extra;
  if (GetParam() == RealServerKind::Vsftpd) extra = {"ascii_upload_enable=YES"};
  if (std::string why = Serve(GetParam(), extra); !why.empty()) GTEST_SKIP() << why;
  state.m_asciiExts = {"html", "txt"};
  const std::string png("\x89PNG\r\n\x1a\n\0\r\n", 11);
  Remote("index.html", "old page\n", now - 3 * kDay);
  List({Local("index.html", "<p>\r\nnew\n</p>\n", now - 3600), "",
        Local("logo.png", png, now - 3600), "", Local("お知らせ.txt", "日本語\n", now - 3600), ""});
  Run();
  EXPECT_EQ(Uploads(), 3);
  EXPECT_EQ(server->Read("index.html"), "<p>\nnew\n</p>\n");
  EXPECT_EQ(server->Read("logo.png"), png);
  EXPECT_EQ(server->Read("お知らせ.txt"), "日本語\n");
  EXPECT_EQ(server->Names(), (Texts{"index.html", "logo.png", "お知らせ.txt"}))
      << testing::PrintToString(server->Commands());
}

INSTANTIATE_TEST_SUITE_P(Servers, EveryServerTest,
                         ::testing::Values(RealServerKind::Vsftpd, RealServerKind::Proftpd,
                                           RealServerKind::PureFtpd),
                         [](const auto& info) {
                           std::string name = RealFtpServer::Name(info.param);
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

// A whitelist without EPSV refuses it with 550 before every transfer; asking once is enough.
TEST_F(RealServerTest, CommandRefusedOnceIsNotSentAgain) {
  if (std::string why = Serve(RealServerKind::Vsftpd,
                              {"cmds_allowed=USER,PASS,SYST,FEAT,OPTS,PWD,CWD,CDUP,TYPE,PASV,"
                               "PORT,STOR,RETR,LIST,NLST,MDTM,SIZE,RNFR,RNTO,DELE,MKD,NOOP,QUIT"});
      !why.empty()) {
    GTEST_SKIP() << why;
  }
  List({Local("a.html", "a", now - 3600), "", Local("b.html", "b", now - 3600), "",
        Local("c.html", "c", now - 3600), ""});
  settings.connections = 1;  // each connection learns for itself
  Run();
  EXPECT_EQ(server->Read("a.html") + server->Read("b.html") + server->Read("c.html"), "abc");
  Texts commands = server->Commands();
  EXPECT_LE(std::count(commands.begin(), commands.end(), "EPSV"), 1)
      << testing::PrintToString(commands);
}

// A server reporting its local time (Tokyo here) with no correction set makes every server
// copy look hours newer, so local edits would be skipped without a word.
TEST_F(RealServerTest, ServerTimesInTheFutureAreReported) {
  const char* oldTz = getenv("TZ");
  std::string savedTz = oldTz ? oldTz : "";
  setenv("TZ", "Asia/Tokyo", 1);  // the server inherits it
  tzset();
  std::string why = Serve(RealServerKind::Vsftpd, {"use_localtime=YES"});
  if (why.empty()) {
    settings.clockCorrectionMinutes = 0;
    Remote("a.html", "server", now - 2 * 3600);
    Remote("b.html", "server", now - 2 * 3600);
    List({Local("a.html", "local", now - 3600), "", Local("b.html", "local", now - 3600), ""});
    Run();
    const std::string warning = "サーバーの時刻が進んでいます。時間確認で補正を確かめてください";
    auto mentions = [&](const Texts& texts) {
      return std::count_if(texts.begin(), texts.end(), [&](const std::string& s) {
        return s.find(warning) != std::string::npos;
      });
    };
    EXPECT_GE(mentions(status.statusHistory) + mentions(status.fileHistory), 1)
        << testing::PrintToString(status.statusHistory);
    EXPECT_LE(mentions(status.statusHistory), 1);  // once per run
    EXPECT_EQ(server->Read("a.html"), "server");   // the decisions stay as they were
  }
  if (oldTz)
    setenv("TZ", savedTz.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  if (!why.empty()) GTEST_SKIP() << why;
}

}  // namespace
}  // namespace tolvane
