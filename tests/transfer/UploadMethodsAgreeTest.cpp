// The listing run against the plain per-file run, on randomized server trees and upload lists:
// the same files must arrive with the same bytes, in the same order, and the person must see
// the same status texts, file lines and messages. Each run gets its own fresh server.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <random>

#include "platform/LineFile.h"
#include "support/Fakes.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "upload/UploadStarter.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

using Texts = std::vector<std::string>;

// Folders that exist, alias one another ("sub" under "/www" is "/www/sub"), fail ("missing",
// a file), or climb.
const Texts kFolderLines = {"",     "sub",     "www/sub", "/www/sub", "deep", "sub/deep",
                            "/www", "missing", "notadir", "..",       "日本", "/"};
const Texts kServerFolders = {"", "/www", "www", "/missing"};
const Texts kServerDirs = {"", "www", "www/sub", "www/sub/deep", "sub", "日本"};
const Texts kNames = {"index.html",  "Index.html", "a b.txt",   "logo.png",
                      "日本語.html", ".htaccess",  "style.css", "x"};

struct TimedFile {
  std::string path;
  int64_t mtime;
};

// Everything one seed decides.
struct Scenario {
  test::FtpServerOptions server;
  std::vector<TimedFile> serverFiles, localFiles;  // paths relative to the server root / site
  Texts lines;                                     // list lines, local paths relative to site
  std::string serverFolder;
  int32_t clockCorrectionMinutes = 0;
  bool ctrl = false, shift = false;
};

// What a run left behind and showed.
struct Outcome {
  Texts status, fileLines, messages, stored;
  std::map<std::string, std::string> tree;  // path → bytes, marked when written by the run
  size_t commands = 0, listings = 0;
};

class Draw {
 public:
  explicit Draw(uint32_t seed) : m_random(seed) {}
  bool Chance(double p) { return std::uniform_real_distribution<>(0, 1)(m_random) < p; }
  int Below(int n) { return std::uniform_int_distribution<>(0, n - 1)(m_random); }
  const std::string& From(const Texts& texts) {
    return texts[Below(static_cast<int>(texts.size()))];
  }
  // Within three minutes of `base`, seconds scattered, now and then a day older.
  int64_t TimeNear(int64_t base) { return base - (Chance(0.15) ? 86400 : 0) + Below(180); }

 private:
  std::mt19937 m_random;
};

test::FtpServerOptions ServerKind(uint32_t seed) {
  test::FtpServerOptions o;
  switch (seed % 6) {
    case 1:
      o.noMlst = true;
      break;  // MDTM per file
    case 2:
      o.noMlst = o.noMdtm = true;
      break;  // LIST only
    case 3:
      o.noUtf8 = true;
      break;  // names in code page 932
    case 4:
      o.refuseCwd = {"/", "www/sub"};
      break;  // "/" never works: changes pile up
    case 5:
      o.readonlyUser = o.readonlyPassword = "guest";
      break;  // every put refused
    default:
      break;
  }
  return o;
}

Scenario Generate(uint32_t seed, int64_t base) {
  Draw draw(seed);
  Scenario s;
  s.server = ServerKind(seed);
  s.serverFiles.push_back({"notadir", base});
  for (const std::string& dir : kServerDirs) {
    if (!dir.empty() && draw.Chance(0.2)) continue;
    std::string prefix = dir.empty() ? "" : dir + "/";
    s.serverFiles.push_back({prefix + "filler.dat", base});
    for (const std::string& name : kNames) {
      if (draw.Chance(0.5)) s.serverFiles.push_back({prefix + name, draw.TimeNear(base)});
    }
  }
  for (const char* local : {"L0", "L1", "L2"}) {
    for (const std::string& name : kNames) {
      if (draw.Chance(0.6)) {
        s.localFiles.push_back({std::string(local) + "/" + name, draw.TimeNear(base)});
      }
    }
  }
  // Few folders, many entries: enough repeats for listings, duplicates and puts seen again.
  Texts folders;
  for (int i = 0, n = 2 + draw.Below(5); i < n; ++i) folders.push_back(draw.From(kFolderLines));
  for (int i = 0, n = 10 + draw.Below(40); i < n; ++i) {
    bool gone = s.localFiles.empty() || draw.Chance(0.08);
    s.lines.push_back(gone ? "gone/" + draw.From(kNames)
                           : s.localFiles[draw.Below(static_cast<int>(s.localFiles.size()))].path);
    s.lines.push_back(draw.From(folders));
  }
  if (draw.Chance(0.2)) s.lines.push_back("L0/unpaired.html");
  s.serverFolder = draw.From(kServerFolders);
  s.clockCorrectionMinutes = draw.Chance(0.3) ? draw.Below(5) - 2 : 0;
  s.ctrl = draw.Chance(0.3);
  s.shift = draw.Chance(0.1);
  return s;
}

void SetTime(const std::string& path, int64_t mtime) {
  struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

std::map<std::string, std::string> Tree(const test::FtpServer& server,
                                        const std::vector<TimedFile>& before) {
  std::map<std::string, int64_t> initial;
  for (const TimedFile& f : before) initial[f.path] = f.mtime;
  std::map<std::string, std::string> tree;
  namespace fs = std::filesystem;
  for (const auto& e : fs::recursive_directory_iterator(server.root())) {
    if (!e.is_regular_file()) continue;
    std::string path = fs::relative(e.path(), server.root()).string();
    struct stat st {};
    stat(e.path().c_str(), &st);
    auto it = initial.find(path);
    bool written = it == initial.end() || it->second != st.st_mtime;
    tree[path] = (written ? "[written] " : "") + server.files().Read(path);
  }
  return tree;
}

Outcome RunWith(UploadMethod method, const Scenario& s, const test::TempDir& app) {
  test::FtpServer server(s.server);
  for (const TimedFile& f : s.serverFiles) {
    server.files().Write(f.path, "server " + f.path);
    server.SetMtime(f.path, f.mtime);
  }
  AppSettings settings = test::SettingsIn(app);
  settings.hostname = server.hostField();
  settings.username = s.server.readonlyUser.empty() ? s.server.user : s.server.readonlyUser;
  settings.password = s.server.readonlyUser.empty() ? s.server.password : s.server.readonlyPassword;
  settings.serverfolder = s.serverFolder;
  settings.clockCorrectionMinutes = s.clockCorrectionMinutes;
  settings.ctrl = s.ctrl;
  settings.shift = s.shift;
  MainState state;
  state.m_asciiExts = {"html", "txt"};
  test::FakeMainView view;
  view.lists = {"web"};
  view.listSelection = 0;
  test::RecordingPrompts prompts;
  test::RecordingStatus status;
  test::FakeClock clock(time(nullptr));
  MainContext ctx{settings, state, view, prompts, status, clock};
  FtpOptions options;
  options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 3000;
  UploadFromButton(ctx, options, method);

  Outcome out{status.statusHistory, status.fileHistory, {}, {}, Tree(server, s.serverFiles)};
  for (const test::Shown& shown : prompts.shown) {
    out.messages.push_back(shown.caption + "|" + std::to_string(static_cast<int>(shown.icon)) +
                           "|" + shown.text);
  }
  for (const std::string& c : server.Commands()) {
    ++out.commands;
    if (c.rfind("STOR ", 0) == 0) out.stored.push_back(c);
    if (c == "MLSD" || c == "LIST") ++out.listings;
  }
  return out;
}

TEST(UploadMethodsAgree, SameFilesAndTextsOnRandomTreesAndLists) {
  const int64_t base = (static_cast<int64_t>(time(nullptr)) - 4 * 86400) / 60 * 60;
  size_t plainCommands = 0, listedCommands = 0, listings = 0;
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    Scenario s = Generate(seed, base);
    test::TempDir site, app;
    for (const TimedFile& f : s.localFiles) {
      site.Write(f.path, "local " + f.path);
      SetTime(site / f.path, f.mtime);
    }
    Texts lines = s.lines;
    for (size_t i = 0; i < lines.size(); i += 2) lines[i] = site / lines[i];
    app.Write("list/web.ini", EncodeLines(lines).value());

    Outcome plain = RunWith(UploadMethod::PerFile, s, app);
    Outcome listed = RunWith(UploadMethod::Listed, s, app);
    EXPECT_EQ(listed.tree, plain.tree) << "seed " << seed;
    EXPECT_EQ(listed.stored, plain.stored) << "seed " << seed;
    EXPECT_EQ(listed.status, plain.status) << "seed " << seed;
    EXPECT_EQ(listed.fileLines, plain.fileLines) << "seed " << seed;
    EXPECT_EQ(listed.messages, plain.messages) << "seed " << seed;
    plainCommands += plain.commands;
    listedCommands += listed.commands;
    listings += listed.listings;
  }
  // The comparison only means something if the listing run really took its own way.
  EXPECT_GT(listings, 10u);
  EXPECT_LT(listedCommands * 3, plainCommands * 2);
}

}  // namespace
}  // namespace tolvane
