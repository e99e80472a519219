#include "settings/AppSettings.h"

#include <sys/stat.h>

namespace tolvane {

void SetPathsFromExecutable(AppSettings& settings, const std::string& executablePath) {
  size_t slash = executablePath.rfind('/');
  settings.exeFolder = slash == std::string::npos ? std::string() : executablePath.substr(0, slash);
  settings.iniPath = PathBesideExe(settings, "kestra.ini");
}

std::string PinnedCertificateForHost(const AppSettings& settings) {
  if (settings.pinnedCertificateHost != settings.hostname) return {};
  return settings.pinnedCertificate;
}

std::string PathBesideExe(const AppSettings& settings, const std::string& name) {
  return settings.exeFolder + "/" + name;
}

std::string ProgramOrDataFile(const AppSettings& settings, const std::string& name) {
  const std::string beside = PathBesideExe(settings, name);
  struct stat st {};
  if (settings.place.dataFolder.empty() || ::stat(beside.c_str(), &st) == 0) return beside;
  return settings.place.dataFolder + "/" + name;
}

}  // namespace tolvane
