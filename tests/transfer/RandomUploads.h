#pragma once
// Randomized server trees and upload lists, for holding two ways of running a list to the
// same results: what one seed decides, the server and site it sets up, and the server tree a
// run leaves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/LineFile.h"
#include "settings/AppSettings.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"

namespace tolvane::test {

using Texts = std::vector<std::string>;

// Folders that exist, alias one another ("sub" under "/www" is "/www/sub"), fail ("missing",
// a file), or climb.
inline const Texts kFolderLines = {"",     "sub",     "www/sub", "/www/sub", "deep", "sub/deep",
                                   "/www", "missing", "notadir", "..",       "日本", "/"};
inline const Texts kServerFolders = {"", "/www", "www", "/missing"};
inline const Texts kServerDirs = {"", "www", "www/sub", "www/sub/deep", "sub", "日本"};
inline const Texts kNames = {"index.html",  "Index.html", "a b.txt",   "logo.png",
                             "日本語.html", ".htaccess",  "style.css", "x"};

struct TimedFile {
  std::string path;
  int64_t mtime;
};

// Everything one seed decides.
struct Scenario {
  FtpServerOptions server;
  std::vector<TimedFile> serverFiles, localFiles;  // paths relative to the server root / site
  Texts lines;                                     // list lines, local paths relative to site
  std::string serverFolder;
  int32_t clockCorrectionMinutes = 0;
  bool ctrl = false, shift = false;
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
  // Mostly near `base`; now and then changed a little before `now` (newer than the server's
  // copy, older than one put during the run), or dated in the future.
  int64_t LocalTime(int64_t base, int64_t now) {
    if (Chance(0.15)) return now - 600 - Below(180);
    if (Chance(0.05)) return now + 600 + Below(180);
    return TimeNear(base);
  }

 private:
  std::mt19937 m_random;
};

inline FtpServerOptions ServerKind(uint32_t seed) {
  FtpServerOptions o;
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

// `base`: the time the server's and most local files date from; `now`: the run's.
inline Scenario Generate(uint32_t seed, int64_t base, int64_t now) {
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
        s.localFiles.push_back({std::string(local) + "/" + name, draw.LocalTime(base, now)});
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
  // The server lists its clock in UTC; the clock check would set nine hours for it.
  if (s.server.noMlst && s.server.noMdtm) s.clockCorrectionMinutes += 540;
  s.ctrl = draw.Chance(0.3);
  s.shift = draw.Chance(0.1);
  return s;
}

// The scenario's local files in `site`, and its list as "web" in the program folder `app`.
inline void WriteSite(const Scenario& s, const TempDir& site, const TempDir& app) {
  for (const TimedFile& f : s.localFiles) {
    site.Write(f.path, "local " + f.path);
    SetFileTime(site / f.path, f.mtime);
  }
  Texts lines = s.lines;
  for (size_t i = 0; i < lines.size(); i += 2) lines[i] = site / lines[i];
  app.Write("list/web.ini", EncodeLines(lines).value());
}

inline void FillServer(const FtpServer& server, const Scenario& s) {
  for (const TimedFile& f : s.serverFiles) {
    server.files().Write(f.path, "server " + f.path);
    server.SetMtime(f.path, f.mtime);
  }
}

// The scenario's settings for `server`, logged in with the read-only account when it has one
// and `readOnly` asks for it.
inline void UseServer(AppSettings& settings, const Scenario& s, const FtpServer& server,
                      bool readOnly) {
  const bool guest = readOnly && !s.server.readonlyUser.empty();
  settings.hostname = server.hostField();
  settings.username = guest ? s.server.readonlyUser : s.server.user;
  settings.password = guest ? s.server.readonlyPassword : s.server.password;
  settings.serverfolder = s.serverFolder;
  settings.clockCorrectionMinutes = s.clockCorrectionMinutes;
  settings.ctrl = s.ctrl;
  settings.shift = s.shift;
}

// path → bytes, marked when a run wrote the file (its time is not the one it started with).
inline std::map<std::string, std::string> Tree(const FtpServer& server,
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

}  // namespace tolvane::test
