#include "upload/ResultLine.h"

#include "platform/LocalTime.h"

namespace tolvane {
namespace {

std::string Counted(int count, const char* what) { return std::to_string(count) + "件" + what; }

}  // namespace

std::string ResultCountsText(const ResultCounts& counts) {
  std::string line = Counted(counts.uploaded, "アップロード");
  const std::pair<int, const char*> troubles[] = {{counts.failed, "失敗"},
                                                  {counts.unchecked, "確認できず"},
                                                  {counts.localMissing, "ファイルなし"}};
  for (const auto& [count, what] : troubles) {
    if (count) line += "・" + Counted(count, what);
  }
  return line;
}

std::string ResultLine(const UploadReport& report) {
  using Kind = EntryOutcome::Kind;
  const std::string when = "（" + FormatLocal(report.endedAt, "%H:%M") + "）";
  if (report.listUnreadable) return "リストを読み込めませんでした" + when;
  if (!report.connected) return "接続できませんでした" + when;
  return ResultCountsText({report.Count(Kind::Uploaded), report.Count(Kind::Failed),
                           report.Count(Kind::Unchecked), report.Count(Kind::LocalMissing)}) +
         when;
}

}  // namespace tolvane
