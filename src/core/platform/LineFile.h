#pragma once
// Line-oriented text files (lists, mode.ini, timer.ini): code page 932 on disk, UTF-8 here.
// Reading: LF and CR LF end a line, every LF is removed, empty lines are kept, and a last line
// without a line end is still a line. Writing: every line ends in CR LF.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// Splits raw bytes into lines by the rule above (no decoding).
std::vector<std::string> SplitLines(std::string_view bytes);

// The file's lines decoded to UTF-8, or nullopt when it cannot be opened.
std::optional<std::vector<std::string>> ReadLineFile(const std::string& path);

enum class LineWrite {
  Ok,
  Unencodable,  // some line holds text code page 932 cannot hold; nothing was written
  Failed,       // the file could not be written; the old one is untouched
};

// Writes the lines whole (temporary file and rename), each followed by CR LF.
LineWrite WriteLineFile(const std::string& path, const std::vector<std::string>& lines);

// The file's lines as bytes, undecoded, or nullopt when it cannot be opened.
std::optional<std::vector<std::string>> ReadRawLines(const std::string& path);

// Writes lines of bytes as they are (no encoding), each followed by CR LF; for lines read by
// ReadRawLines, whose bytes may not all be code page 932 and must survive a rewrite.
bool WriteRawLines(const std::string& path, const std::vector<std::string>& lines);

// The encoded file image, or nullopt when a line cannot be encoded.
std::optional<std::string> EncodeLines(const std::vector<std::string>& lines);

}  // namespace tolvane
