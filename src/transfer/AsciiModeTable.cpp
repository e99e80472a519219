#include "transfer/AsciiModeTable.h"

#include <optional>

#include "platform/LineFile.h"

namespace tolvane {
namespace {

std::string ModeFilePath(const AppSettings& settings) {
  return PathBesideExe(settings, "mode.ini");
}

bool EqualsAsciiNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

void LoadAsciiExtensions(const AppSettings& settings, std::vector<std::string>& exts) {
  std::optional<std::vector<std::string>> lines = ReadLineFile(ModeFilePath(settings));
  if (!lines) {
    exts.insert(exts.end(), {"html", "htm", "txt", "cgi", "pl"});
    return;
  }
  exts.insert(exts.end(), lines->begin(), lines->end());
}

TransferType TransferTypeFor(const std::string& localPath, const std::vector<std::string>& exts) {
  size_t dot = localPath.rfind('.');
  std::string ext = dot == std::string::npos ? localPath : localPath.substr(dot + 1);
  for (const std::string& entry : exts) {
    if (EqualsAsciiNoCase(ext, entry)) return TransferType::Ascii;
  }
  return TransferType::Binary;
}

bool SaveAsciiExtensions(const AppSettings& settings, const std::vector<std::string>& items,
                         std::vector<std::string>& exts, Prompts& prompts) {
  std::vector<std::string> stripped;
  stripped.reserve(items.size());
  for (const std::string& item : items)
    stripped.push_back(item.size() >= 2 ? item.substr(2) : std::string());
  if (WriteLineFile(ModeFilePath(settings), stripped) != LineWrite::Ok) {
    prompts.Error("転送モードファイルを更新できませんでした");
    return false;
  }
  exts = std::move(stripped);
  return true;
}

}  // namespace tolvane
