// Check-only upload run over 1,000 unchanged files in 20 folders against the local FTP server
// with every reply delayed, side by side with lftp's `mirror -R --only-newer` over the same
// tree and server. Prints wall times, their ratio and the commands per unchanged file.
//
//   upload_bench [files=1000] [folders=20] [delay_ms=10]
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/MainState.h"
#include "platform/LineFile.h"
#include "support/Fakes.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "transfer/UploadRun.h"

namespace {

using namespace tolvane;
using Clock = std::chrono::steady_clock;

void Touch(const std::string& path, int64_t mtime) {
  struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Workload {
  test::TempDir app, site;
  std::vector<std::string> lines;
};

// The same tree locally and on the server, the server's copies an hour newer.
void Build(Workload& w, const test::FtpServer& server, int files, int folders) {
  const int64_t now = time(nullptr);
  for (int i = 0; i < files; ++i) {
    std::string folder = "d" + std::to_string(i % folders);
    std::string name = folder + "/page" + std::to_string(i) + ".html";
    std::string body = "<p>" + std::to_string(i) + "</p>\n";
    w.site.Write(name, body);
    Touch(w.site / name, now - 7200);
    server.files().Write(name, body);
    server.SetMtime(name, now - 3600);
    w.lines.push_back(w.site / name);
    w.lines.push_back(folder);
  }
  w.app.Write("list/bench.ini", EncodeLines(w.lines).value());
}

double RunTolvane(const test::FtpServer& server, Workload& w, size_t& commands) {
  AppSettings settings = test::SettingsIn(w.app);
  settings.hostname = server.hostField();
  settings.username = server.options().user;
  settings.password = server.options().password;
  MainState state;
  state.m_asciiExts = {"html"};
  test::FakeMainView view;
  view.lists = {"bench"};
  view.listSelection = 0;
  test::RecordingPrompts prompts;
  test::RecordingStatus status;
  test::FakeClock clock(time(nullptr));  // the one-second "finished" hold is not slept
  MainContext ctx{settings, state, view, prompts, status, clock};
  size_t before = server.Commands().size();
  auto start = Clock::now();
  UploadRun(ctx).OnUpload();
  double seconds = Seconds(start);
  commands = server.Commands().size() - before;
  if (!prompts.shown.empty()) std::fprintf(stderr, "tolvane: %s\n", prompts.shown[0].text.c_str());
  return seconds;
}

double RunLftp(const test::FtpServer& server, Workload& w, size_t& commands) {
  std::string cmd = "lftp -u " + server.options().user + "," + server.options().password +
                    " -p " + std::to_string(server.port()) +
                    " -e 'set ftp:passive-mode on; set net:max-retries 1; mirror -R --only-newer "
                    "--no-perms " + w.site.path() + " /; quit' " + server.host() + " > /dev/null";
  size_t before = server.Commands().size();
  auto start = Clock::now();
  int rc = std::system(cmd.c_str());
  double seconds = Seconds(start);
  commands = server.Commands().size() - before;
  if (rc != 0) std::fprintf(stderr, "lftp exited with %d\n", rc);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  int files = argc > 1 ? std::atoi(argv[1]) : 1000;
  int folders = argc > 2 ? std::atoi(argv[2]) : 20;
  int delay = argc > 3 ? std::atoi(argv[3]) : 10;
  test::FtpServerOptions options;
  options.delayMs = delay;
  test::FtpServer server(options);
  Workload w;
  Build(w, server, files, folders);

  size_t ours = 0, theirs = 0;
  double tolvane = RunTolvane(server, w, ours);
  double lftp = RunLftp(server, w, theirs);
  std::printf("check-only run, %d unchanged files in %d folders, replies delayed %d ms\n", files,
              folders, delay);
  std::printf("  tolvane: %7.2f s  %6zu commands  %.2f commands per file\n", tolvane, ours,
              static_cast<double>(ours) / files);
  std::printf("  lftp:    %7.2f s  %6zu commands  %.2f commands per file\n", lftp, theirs,
              static_cast<double>(theirs) / files);
  std::printf("  ratio tolvane / lftp: %.2f\n", tolvane / lftp);
  return 0;
}
