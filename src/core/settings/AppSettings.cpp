#include "settings/AppSettings.h"

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

}  // namespace tolvane
