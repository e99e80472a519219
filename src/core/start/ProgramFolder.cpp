#include "start/ProgramFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifndef TOLVANE_DATA_DIR
#define TOLVANE_DATA_DIR "/usr/local/share/tolvane"
#endif
#ifndef TOLVANE_BIN_DIR
#define TOLVANE_BIN_DIR "/usr/local/bin"
#endif

namespace tolvane {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderName = "tolvane";

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsSystemFolder(const std::string& folder) {
  std::error_code error;
  const fs::path real = fs::weakly_canonical(folder, error);
  for (const char* system : {TOLVANE_BIN_DIR, "/usr/bin", "/bin", "/usr/local/bin", "/usr/sbin",
                             "/sbin", "/usr/games"}) {
    std::error_code ignored;
    if (real == fs::weakly_canonical(system, ignored)) return true;
  }
  return false;
}

}  // namespace

std::string ConfigHome(const std::string& xdgConfigHome, const std::string& home) {
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
    return WithoutTrailingSlash(xdgConfigHome);
  }
  if (home.empty()) return "";
  return WithoutTrailingSlash(home) + "/.config";
}

ProgramFolderChoice ChooseProgramFolder(const ProgramFolderFacts& facts) {
  using Kind = ProgramFolderChoice::Kind;
  ProgramFolderChoice choice;
  const std::string beside = FolderOf(facts.executable);
  const std::string configHome = ConfigHome(facts.xdgConfigHome, facts.home);
  const bool portable =
      facts.besideHoldsSettings || (facts.besideWritable && !facts.besideIsSystemFolder);
  if (portable || configHome.empty()) {
    // Without any configuration folder the program's own folder is all there is.
    choice.kind = Kind::BesideExecutable;
    choice.folder = beside;
  } else {
    choice.kind = Kind::ConfigFolder;
    choice.folder = configHome + "/" + kFolderName;
  }
  choice.automaticFolder = choice.folder;
  if (!facts.givenFolder.empty()) {
    choice.kind = Kind::Given;
    choice.folder = WithoutTrailingSlash(facts.givenFolder);
  }
  return choice;
}

ProgramFolderFacts GatherProgramFolderFacts(const std::string& executable,
                                            const std::string& givenFolder) {
  ProgramFolderFacts facts;
  facts.executable = executable;
  const std::string beside = FolderOf(executable);
  struct stat st {};
  facts.besideHoldsSettings = ::stat((beside + "/kestra.ini").c_str(), &st) == 0;
  facts.besideWritable = ::access(beside.c_str(), W_OK) == 0;
  facts.besideIsSystemFolder = IsSystemFolder(beside);
  facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
  facts.home = Environment("HOME");
  if (!givenFolder.empty()) {
    std::error_code error;
    const fs::path absolute = fs::absolute(givenFolder, error);
    facts.givenFolder = error ? givenFolder : absolute.lexically_normal().string();
  }
  return facts;
}

std::string PrepareChosenFolder(const ProgramFolderChoice& choice) {
  if (choice.kind == ProgramFolderChoice::Kind::BesideExecutable) return "";
  struct stat st {};
  if (::stat(choice.folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "";
    return "フォルダではありません: " + choice.folder;
  }
  // The parents (~/.config) as the system would make them; the folder itself for its owner
  // only, since kestra.ini holds the password.
  std::error_code error;
  fs::create_directories(FolderOf(choice.folder), error);
  if (::mkdir(choice.folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return "フォルダを作れません: " + choice.folder + "（" + std::strerror(errno) + "）";
  }
  return "";
}

void UseProgramFolder(AppSettings& settings, const ProgramFolderFacts& facts,
                      const ProgramFolderChoice& choice) {
  settings.exeFolder = choice.folder;
  settings.iniPath = PathBesideExe(settings, "kestra.ini");
  settings.place.executable = facts.executable;
  settings.place.dataFolder = InstalledDataFolder(facts.executable);
  settings.place.configHome = ConfigHome(facts.xdgConfigHome, facts.home);
  settings.place.folderArgument =
      choice.folder == choice.automaticFolder ? std::string() : choice.folder;
}

std::string OpenProgramFolder(AppSettings& settings, const std::string& executable,
                              const std::string& givenFolder) {
  const ProgramFolderFacts facts = GatherProgramFolderFacts(executable, givenFolder);
  const ProgramFolderChoice choice = ChooseProgramFolder(facts);
  if (std::string problem = PrepareChosenFolder(choice); !problem.empty()) return problem;
  UseProgramFolder(settings, facts, choice);
  return "";
}

std::string InstalledDataFolder(const std::string& executable) {
  const std::string besideBin = FolderOf(FolderOf(executable)) + "/share/" + kFolderName;
  struct stat st {};
  if (::stat(besideBin.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return besideBin;
  return TOLVANE_DATA_DIR;
}

}  // namespace tolvane
