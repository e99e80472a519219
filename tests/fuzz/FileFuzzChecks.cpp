// The readers of the program's own files: settings (profile file) and line files.
#include <array>

#include "ftp/FtpWireText.h"
#include "fuzz/FuzzChecks.h"
#include "platform/Cp932.h"
#include "platform/LineFile.h"
#include "platform/ProfileFile.h"

namespace tolvane::fuzz {
namespace {

struct Key {
  const char* section;
  const char* key;
};

constexpr std::array<Key, 7> kKeys = {{{"main", "hostname"},
                                       {"main", "username"},
                                       {"main", "data"},
                                       {"MAIN", "Pasv"},
                                       {"timer", "timer"},
                                       {"timer", "kidou"},
                                       {"", ""}}};

std::string Describe(const Key& k) { return std::string(k.section) + "/" + k.key; }

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

bool SameKey(const Key& a, const Key& b) { return Lower(Describe(a)) == Lower(Describe(b)); }

// Writing `target` must read back as written and leave every other key as it was.
std::string CheckOneWrite(const ProfileFile& file, const Key& target) {
  const std::string value = "fuzz=1";
  ProfileFile changed = file;
  if (!changed.Set(target.section, target.key, value)) return "Set refused " + Describe(target);
  if (changed.Find(target.section, target.key) != value) {
    return "Set of " + Describe(target) + " does not read back";
  }
  for (const Key& other : kKeys) {
    if (SameKey(other, target)) continue;
    if (changed.Find(other.section, other.key) != file.Find(other.section, other.key)) {
      return "Set of " + Describe(target) + " changed " + Describe(other);
    }
  }
  return {};
}

bool HasReplacement(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.find("\xEF\xBF\xBD") != std::string::npos) return true;
  }
  return false;
}

}  // namespace

std::string CheckProfileFile(std::string_view input) {
  ProfileFile file = ProfileFile::FromBytes(std::string(input));
  for (const Key& k : kKeys) {
    std::optional<std::string> value = file.Find(k.section, k.key);
    if (value && value->size() > kProfileValueMax) return "value of " + Describe(k) + " too long";
    file.GetInt(k.section, k.key, 7);
  }
  for (const Key& target : {kKeys[0], kKeys[3], kKeys[5]}) {
    if (std::string broken = CheckOneWrite(file, target); !broken.empty()) return broken;
  }
  return {};
}

std::string CheckLineFile(std::string_view input) {
  const std::vector<std::string> raw = SplitLines(input);
  std::string image;
  for (const std::string& line : raw) image += line + "\r\n";
  if (SplitLines(image) != raw) return "lines written back as read do not read the same";

  std::vector<std::string> text;
  for (const std::string& line : raw) {
    text.push_back(FromCp932(line));
    if (!IsValidUtf8(text.back())) return "the decoder gave malformed UTF-8";
  }
  std::optional<std::string> encoded = EncodeLines(text);
  if (!encoded) {
    // Only damaged bytes (shown as U+FFFD) may keep a file from being written back.
    return HasReplacement(text) ? std::string() : "readable text cannot be written back";
  }
  std::vector<std::string> again = SplitLines(*encoded);
  if (again.size() != text.size()) return "a rewrite changed the number of lines";
  for (size_t i = 0; i < again.size(); ++i) {
    if (FromCp932(again[i]) != text[i]) return "a rewrite changed line " + std::to_string(i);
  }
  return {};
}

}  // namespace tolvane::fuzz
