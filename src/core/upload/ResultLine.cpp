#include "upload/ResultLine.h"

#include "platform/LocalTime.h"

namespace tolvane {
namespace {

std::string Counted(int count, const char* what) { return std::to_string(count) + "件" + what; }

}  // namespace

std::string ResultLine(const UploadReport& report) {
  using Kind = EntryOutcome::Kind;
  const std::string when = "（" + FormatLocal(report.endedAt, "%H:%M") + "）";
  if (report.listUnreadable) return "リストを読み込めませんでした" + when;
  if (!report.connected) return "接続できませんでした" + when;
  std::string line = Counted(report.Count(Kind::Uploaded), "アップロード");
  const std::pair<Kind, const char*> troubles[] = {{Kind::Failed, "失敗"},
                                                   {Kind::Unchecked, "確認できず"},
                                                   {Kind::LocalMissing, "ファイルなし"}};
  for (const auto& [kind, what] : troubles) {
    if (int count = report.Count(kind)) line += "・" + Counted(count, what);
  }
  return line + when;
}

}  // namespace tolvane
