#include "settings/AsciiModeTable.h"

#include <optional>

#include "platform/AsciiText.h"
#include "platform/LineFile.h"

namespace tolvane {
namespace {

std::string ModeFilePath(const AppSettings& settings) {
  return PathBesideExe(settings, "mode.ini");
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
    if (EqualsIgnoringAsciiCase(ext, entry)) return TransferType::Ascii;
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
