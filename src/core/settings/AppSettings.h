#pragma once
// The settings record: every key of kestra.ini, read once at start-up and from then on changed
// field by field together with the file.
#include <cstdint>
#include <string>

namespace tolvane {

// Where the running program comes from, decided once at start-up.
struct ProgramPlace {
  std::string executable;      // absolute path of the program; empty in tests
  std::string dataFolder;      // the installed read-only files (the clock-check file)
  std::string configHome;      // $XDG_CONFIG_HOME or ~/.config; empty when unknown
  std::string folderArgument;  // the --dir a new start needs to find this folder again
};

struct AppSettings {
  std::string exeFolder;  // the program folder (see ProgramFolder.h), no trailing separator
  std::string iniPath;    // exeFolder + "/kestra.ini"
  std::string hostname;
  std::string username;
  std::string password;  // plain; stored scrambled under `data`
  std::string serverfolder;
  std::string localfolder;
  std::string start;
  std::string editor;
  uint8_t timer = 0;
  uint8_t minimizeToTray = 0;
  uint8_t startInTray = 0;
  uint8_t raiseOnScheduledRun = 0;
  uint8_t passiveMode = 1;
  uint8_t temporaryNames = 1;  // put under a temporary name, then rename over the real one
  int32_t clockCorrectionMinutes = 0;
  uint8_t shift = 0;
  uint8_t ctrl = 0;
  uint8_t logFtp = 0;       // the run log keeps the FTP conversation too
  int32_t connections = 2;  // connections a run makes to the server at once
  // `tls`: 0 plain FTP (also when the key is missing), 1 explicit FTPS, 2 implicit FTPS; any
  // other value is taken as explicit, so an unknown value never means clear text.
  uint8_t encryption = 0;
  // The certificate accepted although the system does not trust it: its SHA-256 (`tlspin`)
  // and the server setting it was accepted for (`tlspinhost`); it counts for that host only.
  std::string pinnedCertificate;
  std::string pinnedCertificateHost;

  ProgramPlace place;

  // The flags other than `timer`, `passiveMode` and `temporaryNames` count as on only when exactly 1.
  static bool IsOn(uint8_t flag) { return flag == 1; }
};

inline constexpr int32_t kMaxConnections = 8;

// The pinned certificate's SHA-256 when it was accepted for the current server setting;
// empty otherwise.
std::string PinnedCertificateForHost(const AppSettings& settings);

// exeFolder and iniPath from the executable's full path.
void SetPathsFromExecutable(AppSettings& settings, const std::string& executablePath);

// Path of a file in the program folder.
std::string PathBesideExe(const AppSettings& settings, const std::string& name);

// The file `name` in the program folder when it is there, otherwise the installed one.
std::string ProgramOrDataFile(const AppSettings& settings, const std::string& name);

}  // namespace tolvane
