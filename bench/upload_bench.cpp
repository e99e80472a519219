// The upload run against the local FTP server with every reply delayed, side by side with
// lftp's `mirror -R --only-newer` and rclone's `copy --update` over the same tree, in two
// workloads:
//   check-only   every file unchanged: the plain per-file run, the listing run over 1, 2, 4
//                and 8 connections, lftp, rclone, and the round-trip floor (see Floor below);
//   changed      `changed` files newer here, spread over every folder: each uploads the same
//                files, each into a fresh copy of the server tree.
// Prints wall times, ratios and commands per file. With `tls` every client speaks explicit
// FTPS (AUTH TLS, PROT P) to a server that takes nothing in clear, with a certificate made
// for the run (pinned for the program, unverified for lftp and rclone).
//
//   upload_bench [files=1000] [folders=20] [delay_ms=10] [changed=100] [plain|tls]
//   upload_bench memory [files=100000] [folders=200] [connections=1]
//                the growth of the process's memory over a check-only run of a long list,
//                the first run in the process
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "ftp/FtpClient.h"
#include "platform/LineFile.h"
#include "support/Fakes.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "upload/UploadStarter.h"
#include "window/MainState.h"

namespace {

using namespace tolvane;
using Clock = std::chrono::steady_clock;

struct Shape {
  int files = 1000, folders = 20, delayMs = 10, changed = 100;
  std::string certificate;  // FTPS with this certificate when set
  std::string Folder(int i) const { return "d" + std::to_string(i % folders); }
  std::string Name(int i) const { return Folder(i) + "/page" + std::to_string(i) + ".html"; }
  // Changed files are whole rounds of the list (one file of every folder), spread evenly.
  bool Changed(int i) const {
    int stride = changed > 0 ? files / changed : 0;
    return stride > 0 && (i / folders) % stride == 0 && i / folders / stride * folders < changed;
  }
};

struct Measure {
  double seconds = 0;
  size_t commands = 0;
};

void Touch(const std::string& path, int64_t mtime) {
  struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string Body(int i, bool changed) {
  return (changed ? "<p>changed " : "<p>") + std::to_string(i) + "</p>\n";
}

// The local tree (changed files an hour newer than the server's copies, the rest an hour
// older) and the list naming every file.
struct Site {
  test::TempDir app, site;
  Site(const Shape& shape, bool withChanges) {
    const int64_t now = time(nullptr);
    std::vector<std::string> lines;
    for (int i = 0; i < shape.files; ++i) {
      bool changed = withChanges && shape.Changed(i);
      site.Write(shape.Name(i), Body(i, changed));
      Touch(site / shape.Name(i), changed ? now - 60 : now - 7200);
      lines.push_back(site / shape.Name(i));
      lines.push_back(shape.Folder(i));
    }
    app.Write("list/bench.ini", EncodeLines(lines).value());
  }
};

std::unique_ptr<test::FtpServer> Server(const Shape& shape) {
  test::FtpServerOptions options;
  options.delayMs = shape.delayMs;
  options.tlsCertificate = shape.certificate;
  auto server = std::make_unique<test::FtpServer>(options);
  for (int i = 0; i < shape.files; ++i) {
    server->files().Write(shape.Name(i), Body(i, false));
    server->SetMtime(shape.Name(i), time(nullptr) - 3600);
  }
  return server;
}

template <typename F>
Measure Timed(const test::FtpServer& server, F&& work) {
  size_t before = server.Commands().size();
  auto start = Clock::now();
  work();
  Measure m;
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.commands = server.Commands().size() - before;
  return m;
}

// Explicit FTPS with the server's certificate pinned, or plain FTP.
FtpTlsSettings TlsFor(const test::FtpServer& server) {
  if (server.options().tlsCertificate.empty()) return {};
  FtpClient first;
  first.Connect(server.hostField(), server.options().user, server.options().password, true,
                {FtpEncryption::Explicit, {}});
  return {FtpEncryption::Explicit,
          first.ServerCertificate() ? first.ServerCertificate()->sha256 : std::string()};
}

// Status lines that keep nothing: the recorder's history would weigh on a memory figure.
class UnkeptStatus : public StatusLines {
 public:
  void SetStatus(const std::string&) override {}
  void SetFileLine(const std::string&) override {}
};

Measure RunTolvane(const test::FtpServer& server, Site& s, UploadMethod method, int connections = 1,
                   bool keepStatus = true) {
  AppSettings settings = test::SettingsIn(s.app);
  settings.connections = connections;
  settings.hostname = server.hostField();
  settings.username = server.options().user;
  settings.password = server.options().password;
  const FtpTlsSettings tls = TlsFor(server);
  settings.encryption = static_cast<uint8_t>(tls.encryption);
  settings.pinnedCertificate = tls.pinnedSha256;
  settings.pinnedCertificateHost = settings.hostname;
  MainState state;
  state.m_asciiExts = {"html"};
  test::FakeMainView view;
  view.lists = {"bench"};
  view.listSelection = 0;
  test::RecordingPrompts prompts;
  test::RecordingStatus recorded;
  UnkeptStatus unkept;
  StatusLines& status = keepStatus ? static_cast<StatusLines&>(recorded) : unkept;
  test::FakeClock clock(time(nullptr));  // the one-second "finished" hold is not slept
  MainContext ctx{settings, state, view, prompts, status, clock};
  Measure m = Timed(server, [&] { UploadFromButton(ctx, {}, method); });
  if (!prompts.shown.empty()) std::fprintf(stderr, "tolvane: %s\n", prompts.shown[0].text.c_str());
  return m;
}

Measure RunLftp(const test::FtpServer& server, Site& s) {
  const std::string tls = server.options().tlsCertificate.empty()
                              ? ""
                              : "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
                                "set ssl:verify-certificate false; ";
  std::string cmd = "lftp -u " + server.options().user + "," + server.options().password + " -p " +
                    std::to_string(server.port()) + " -e '" + tls +
                    "set ftp:passive-mode on; set net:max-retries 1; mirror -R --only-newer "
                    "--no-perms " +
                    s.site.path() + " /; quit' " + server.host() + " > /dev/null";
  int rc = 0;
  Measure m = Timed(server, [&] { rc = std::system(cmd.c_str()); });
  if (rc != 0) std::fprintf(stderr, "lftp exited with %d\n", rc);
  return m;
}

std::string Captured(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// rclone with its default settings, configured on the fly through the environment.
Measure RunRclone(const test::FtpServer& server, Site& s) {
  const std::string obscured = Captured("rclone obscure " + server.options().password);
  setenv("RCLONE_CONFIG_BENCH_TYPE", "ftp", 1);
  setenv("RCLONE_CONFIG_BENCH_HOST", server.host().c_str(), 1);
  setenv("RCLONE_CONFIG_BENCH_PORT", std::to_string(server.port()).c_str(), 1);
  setenv("RCLONE_CONFIG_BENCH_USER", server.options().user.c_str(), 1);
  setenv("RCLONE_CONFIG_BENCH_PASS", obscured.c_str(), 1);
  const bool tls = !server.options().tlsCertificate.empty();
  setenv("RCLONE_CONFIG_BENCH_EXPLICIT_TLS", tls ? "true" : "false", 1);
  setenv("RCLONE_CONFIG_BENCH_NO_CHECK_CERTIFICATE", tls ? "true" : "false", 1);
  const std::string cmd =
      "rclone copy --update " + s.site.path() + " bench:/ > /dev/null 2> /tmp/rclone-bench.err";
  int rc = 0;
  Measure m = Timed(server, [&] { rc = std::system(cmd.c_str()); });
  if (rc != 0) std::fprintf(stderr, "rclone exited with %d (see /tmp/rclone-bench.err)\n", rc);
  return m;
}

// The round-trip floor of the check-only workload: the least any client must do to learn
// every file's time folder by folder. Measured, not estimated: our client logs in and, per
// folder, sends one change of directory (straight to "/dN") and takes one MLSD listing,
// then quits, on the same server with the same delay.
Measure Floor(const test::FtpServer& server, const Shape& shape) {
  const FtpTlsSettings tls = TlsFor(server);
  return Timed(server, [&] {
    FtpClient ftp;
    ftp.Connect(server.hostField(), server.options().user, server.options().password, true, tls);
    for (int f = 0; f < shape.folders; ++f) {
      ftp.ChangeDirectory("/" + shape.Folder(f));
      ftp.ListFolder();
    }
    ftp.Close();
  });
}

// Files on the server whose bytes are not what the workload expects.
int WrongFiles(const test::FtpServer& server, const Shape& shape) {
  int wrong = 0;
  for (int i = 0; i < shape.files; ++i) {
    wrong += server.files().Read(shape.Name(i)) != Body(i, shape.Changed(i));
  }
  return wrong;
}

constexpr int kConnections[] = {1, 2, 4, 8};

void PrintRow(const std::string& who, const Measure& m, double files, const Measure& lftp,
              const Measure& rclone) {
  std::printf("  %-12s %7.2f s  %6zu commands  %5.2f per file  %5.2f x lftp  %5.2f x rclone\n",
              who.c_str(), m.seconds, m.commands, static_cast<double>(m.commands) / files,
              m.seconds / lftp.seconds, m.seconds / rclone.seconds);
}

void CheckOnly(const Shape& shape) {
  auto server = Server(shape);
  Site s(shape, false);
  // The plain run asks about every file by itself: minutes for a long list.
  Measure plain = shape.files <= 2000 ? RunTolvane(*server, s, UploadMethod::PerFile) : Measure{};
  std::vector<Measure> listed;
  for (int connections : kConnections) {
    listed.push_back(RunTolvane(*server, s, UploadMethod::Listed, connections));
  }
  Measure lftp = RunLftp(*server, s);
  Measure rclone = RunRclone(*server, s);
  Measure floor = Floor(*server, shape);
  std::printf("check-only: %d unchanged files in %d folders, replies delayed %d ms\n", shape.files,
              shape.folders, shape.delayMs);
  PrintRow("plain", plain, shape.files, lftp, rclone);
  for (size_t i = 0; i < listed.size(); ++i) {
    PrintRow("listing x" + std::to_string(kConnections[i]), listed[i], shape.files, lftp, rclone);
  }
  PrintRow("lftp", lftp, shape.files, lftp, rclone);
  PrintRow("rclone", rclone, shape.files, lftp, rclone);
  PrintRow("floor", floor, shape.files, lftp, rclone);
  std::printf("  (floor: login, then per folder one CWD and one MLSD listing, then QUIT)\n");
}

void Changed(const Shape& shape) {
  Site s(shape, true);
  auto plainServer = Server(shape), lftpServer = Server(shape), rcloneServer = Server(shape);
  Measure plain =
      shape.files <= 2000 ? RunTolvane(*plainServer, s, UploadMethod::PerFile) : Measure{};
  std::vector<Measure> listed;
  std::vector<int> wrong;
  for (int connections : kConnections) {
    auto server = Server(shape);
    listed.push_back(RunTolvane(*server, s, UploadMethod::Listed, connections));
    wrong.push_back(WrongFiles(*server, shape));
  }
  Measure lftp = RunLftp(*lftpServer, s);
  Measure rclone = RunRclone(*rcloneServer, s);
  int changed = 0;  // whole rounds of the list: more than asked for where a round is longer
  for (int i = 0; i < shape.files; ++i) changed += shape.Changed(i);
  std::printf("changed: %d of the %d files newer here, uploaded into a fresh tree each\n", changed,
              shape.files);
  PrintRow("plain", plain, shape.files, lftp, rclone);
  for (size_t i = 0; i < listed.size(); ++i) {
    PrintRow("listing x" + std::to_string(kConnections[i]), listed[i], shape.files, lftp, rclone);
  }
  PrintRow("lftp", lftp, shape.files, lftp, rclone);
  PrintRow("rclone", rclone, shape.files, lftp, rclone);
  std::printf("  files not as expected afterwards: plain %d, listing",
              WrongFiles(*plainServer, shape));
  for (int w : wrong) std::printf(" %d", w);
  std::printf(", lftp %d, rclone %d\n", WrongFiles(*lftpServer, shape),
              WrongFiles(*rcloneServer, shape));
}

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM").
long StatusKb(const char* key) {
  FILE* file = std::fopen("/proc/self/status", "r");
  if (!file) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, file)) {
    if (std::strncmp(line, key, std::strlen(key)) == 0) kb = std::atol(line + std::strlen(key) + 1);
  }
  std::fclose(file);
  return kb;
}

// What a check-only run of a long list adds to the process's memory at its peak.
void Memory(const Shape& shape, int connections) {
  auto server = Server(shape);
  Site s(shape, false);
  {
    const long before = StatusKb("VmRSS");
    // The peak so far is reset, so VmHWM is this run's.
    if (FILE* reset = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", reset);
      std::fclose(reset);
    }
    Measure m = RunTolvane(*server, s, UploadMethod::Listed, connections, false);
    const long peak = StatusKb("VmHWM");
    std::printf(
        "memory: %d entries in %d folders, %d connections: %.1f s, peak %.1f MB over the "
        "%.1f MB before\n",
        shape.files, shape.folders, connections, m.seconds, (peak - before) / 1024.0,
        before / 1024.0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Shape shape;
  if (argc > 1 && std::string(argv[1]) == "memory") {
    shape.files = argc > 2 ? std::atoi(argv[2]) : 100000;
    shape.folders = argc > 3 ? std::atoi(argv[3]) : 200;
    shape.delayMs = 0;
    Memory(shape, argc > 4 ? std::atoi(argv[4]) : 1);
    return 0;
  }
  if (argc > 1) shape.files = std::atoi(argv[1]);
  if (argc > 2) shape.folders = std::atoi(argv[2]);
  if (argc > 3) shape.delayMs = std::atoi(argv[3]);
  if (argc > 4) shape.changed = std::atoi(argv[4]);
  test::TempDir certificates;
  if (argc > 5 && std::string(argv[5]) == "tls") {
    shape.certificate = test::MakeTestCertificate(certificates, "127.0.0.1");
    std::printf("explicit FTPS (AUTH TLS, PROT P) for every client\n");
  }
  CheckOnly(shape);
  if (shape.changed > 0) Changed(shape);
  return 0;
}
