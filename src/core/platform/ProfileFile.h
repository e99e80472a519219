#pragma once
// Windows-style profile (INI) files, read and written the way the settings file needs:
// section and key names match without regard to case, a missing file, section or key gives
// the default, values are cut to 255 bytes, and writing one key keeps every other byte.
// Values are bytes here (the scrambled password is not text); callers decode text keys.
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

inline constexpr size_t kProfileValueMax = 255;

class ProfileFile {
 public:
  // Reads the file once; a missing or unreadable file is an empty profile.
  static ProfileFile Load(const std::string& path);
  static ProfileFile FromBytes(std::string bytes) { return ProfileFile(std::move(bytes)); }

  // The value as stored (blanks around it and one pair of enclosing quotes removed, cut to
  // 255 bytes), or nullopt when the section or key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view fallback = "") const;

  // The value read the way a whole-number field is read (ReadInteger); a value holding no
  // 32-bit integer reads as `fallback` like a missing key.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // Replaces the key's value where it stands, or adds it (and its section) at the end.
  // Fails on a value holding NUL, CR or LF, which would not read back.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  const std::string& bytes() const { return m_bytes; }

 private:
  explicit ProfileFile(std::string bytes) : m_bytes(std::move(bytes)) {}
  std::string m_bytes;
};

// One key written to the file on disk, through a temporary file and a rename.
// `mode` as for WriteFileAtomically.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::optional<unsigned> mode = std::nullopt);

}  // namespace tolvane
