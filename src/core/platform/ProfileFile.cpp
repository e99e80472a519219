#include "platform/ProfileFile.h"

#include <unistd.h>
#include <vector>

#include "platform/AsciiText.h"
#include "platform/AtomicFile.h"
#include "platform/IntegerText.h"

namespace tolvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

struct Line {
  size_t begin;  // offset of the first byte
  size_t end;    // offset just past the text, before CR LF / LF
  size_t next;   // offset of the next line
};

std::vector<Line> LinesOf(const std::string& bytes) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t next = lf == std::string::npos ? bytes.size() : lf + 1;
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

struct Located {
  bool sectionFound = false;
  size_t sectionEnd = 0;  // where a new key of the section goes
  std::optional<Line> keyLine;
  std::string_view value;
};

Located Locate(const std::string& bytes, std::string_view section, std::string_view key) {
  Located result;
  bool inSection = false;
  for (const Line& line : LinesOf(bytes)) {
    std::string_view text(bytes.data() + line.begin, line.end - line.begin);
    if (auto name = SectionName(text)) {
      if (result.sectionFound) break;  // only the first section of that name counts
      inSection = EqualsIgnoringAsciiCase(*name, section);
      if (inSection) {
        result.sectionFound = true;
        result.sectionEnd = line.next;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(text).empty()) result.sectionEnd = line.next;
    if (auto kv = KeyOf(text); kv && EqualsIgnoringAsciiCase(kv->key, key)) {
      result.keyLine = line;
      result.value = kv->value;
      return result;
    }
  }
  return result;
}

// The line ending the file already uses, so an added line matches its neighbours.
std::string_view LineEndOf(const std::string& bytes) {
  size_t lf = bytes.find('\n');
  if (lf != std::string::npos && lf > 0 && bytes[lf - 1] == '\r') return "\r\n";
  if (lf != std::string::npos) return "\n";
  return "\r\n";
}

}  // namespace

ProfileFile ProfileFile::Load(const std::string& path) {
  return ProfileFile(ReadWholeFile(path).value_or(std::string()));
}

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
  Located at = Locate(m_bytes, section, key);
  if (!at.keyLine) return std::nullopt;
  std::string_view value = at.value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kProfileValueMax) value = value.substr(0, kProfileValueMax);
  return std::string(value);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  std::optional<std::string> value = Find(section, key);
  return value ? *value : std::string(fallback);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> value = Find(section, key);
  if (!value) return fallback;
  return ReadInteger(*value).value_or(fallback);
}

bool ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  for (std::string_view part : {section, key, value}) {
    if (part.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  }
  std::string entry = std::string(key) + "=" + std::string(value);
  std::string_view eol = LineEndOf(m_bytes);
  Located at = Locate(m_bytes, section, key);
  if (at.keyLine) {
    m_bytes.replace(
        at.keyLine->begin, at.keyLine->end - at.keyLine->begin,
        entry + (at.keyLine->end > at.keyLine->begin && m_bytes[at.keyLine->end - 1] == '\r' ? "\r"
                                                                                             : ""));
    return true;
  }
  if (at.sectionFound) {
    std::string insert = entry + std::string(eol);
    // The section's last line may lack a line end when it closes the file.
    if (at.sectionEnd > 0 && m_bytes[at.sectionEnd - 1] != '\n') insert = std::string(eol) + insert;
    m_bytes.insert(at.sectionEnd, insert);
    return true;
  }
  if (!m_bytes.empty() && m_bytes.back() != '\n') m_bytes += eol;
  m_bytes += "[" + std::string(section) + "]" + std::string(eol) + entry + std::string(eol);
  return true;
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::optional<unsigned> mode) {
  std::optional<std::string> old = ReadWholeFile(path);
  // A file that exists but cannot be read must not be replaced by one holding a single key.
  if (!old && ::access(path.c_str(), F_OK) == 0) return false;
  ProfileFile file = ProfileFile::FromBytes(old.value_or(std::string()));
  if (!file.Set(section, key, value)) return false;
  return WriteFileAtomically(path, file.bytes(), mode);
}

}  // namespace tolvane
