#include "platform/LineFile.h"

#include "platform/AtomicFile.h"
#include "platform/Cp932.h"

namespace tolvane {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    size_t textEnd = end;
    // Text mode turns CR LF into LF; a CR anywhere else stays part of the line.
    if (lf != std::string_view::npos && textEnd > start && bytes[textEnd - 1] == '\r') --textEnd;
    lines.emplace_back(bytes.substr(start, textEnd - start));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

std::optional<std::vector<std::string>> ReadRawLines(const std::string& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return SplitLines(*bytes);
}

std::optional<std::vector<std::string>> ReadLineFile(const std::string& path) {
  std::optional<std::vector<std::string>> lines = ReadRawLines(path);
  if (lines) {
    for (std::string& line : *lines) line = FromCp932(line);
  }
  return lines;
}

bool WriteRawLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string image;
  for (const std::string& line : lines) image += line + "\r\n";
  return WriteFileAtomically(path, image);
}

std::optional<std::string> EncodeLines(const std::vector<std::string>& lines) {
  std::string image;
  for (const std::string& line : lines) {
    // A line break inside an element would shift every later line of the file.
    if (line.find('\n') != std::string::npos) return std::nullopt;
    std::optional<std::string> encoded = ToCp932(line);
    if (!encoded) return std::nullopt;
    image += *encoded;
    image += "\r\n";
  }
  return image;
}

LineWrite WriteLineFile(const std::string& path, const std::vector<std::string>& lines) {
  std::optional<std::string> image = EncodeLines(lines);
  if (!image) return LineWrite::Unencodable;
  return WriteFileAtomically(path, *image) ? LineWrite::Ok : LineWrite::Failed;
}

}  // namespace tolvane
