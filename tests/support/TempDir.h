#pragma once
#include <cstdint>
#include <string>

#include "settings/AppSettings.h"

namespace tolvane::test {

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

  // Writes raw bytes to a file below the folder (creating folders on the way).
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // Sets a file's modification time (seconds since 1970, UTC).
  void SetMtime(const std::string& name, int64_t utc) const;

 private:
  std::string m_path;
};

// Sets a file's access and modification times (seconds since 1970, UTC).
void SetFileTime(const std::string& path, int64_t mtime);

// Settings whose executable folder is `dir` (kestra.ini, list/, timer.ini live there).
inline AppSettings SettingsIn(const TempDir& dir) {
  AppSettings settings;
  SetPathsFromExecutable(settings, dir / "tolvane");
  return settings;
}

}  // namespace tolvane::test
