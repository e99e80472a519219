#include "upload/PreviewText.h"

#include "lists/ListStore.h"
#include "platform/LocalTime.h"
#include "upload/UploadRun.h"

namespace tolvane {
namespace {

using Kind = EntryOutcome::Kind;
using Reason = EntryOutcome::Reason;

constexpr const char* kTimeShown = "%Y-%m-%d %H:%M";  // the comparison's precision

// Where the run's changes of directory lead when every one succeeds: "/", the server
// folder, the entry's folder.
std::string FolderText(const std::string& serverFolder, const std::string& folder) {
  std::string path = "/";
  for (const std::string& change : {serverFolder, folder}) {
    if (change.empty()) continue;
    if (change[0] == '/') {
      path = change;
    } else {
      path += (path.back() == '/' ? "" : "/") + change;
    }
  }
  return path;
}

const char* ActionText(Kind kind) {
  switch (kind) {
    case Kind::WouldUpload:
      return "アップロードする";
    case Kind::Uploaded:
      return "アップロード済み";
    case Kind::UpToDate:
      return "最新";
    case Kind::LocalMissing:
      return "ローカルファイルなし";
    case Kind::Unchecked:
      return "確認できず";
    case Kind::Failed:
      return "失敗";
    case Kind::NotReached:
      break;
  }
  return "未確認";
}

std::string ComparedText(const EntryOutcome& outcome, int32_t clockCorrectionMinutes) {
  std::string text = "ローカル " + FormatLocal(*outcome.localTime, kTimeShown) + " ／ サーバー " +
                     FormatLocal(*outcome.serverTime, kTimeShown);
  std::string notes;
  if (clockCorrectionMinutes != 0) notes = "補正後";
  if (outcome.serverCopyFromEarlierEntry) {
    notes += std::string(notes.empty() ? "" : "・") + "前の項目でアップロード後";
  }
  return notes.empty() ? text : text + "（" + notes + "）";
}

std::string ReasonText(const EntryOutcome& outcome, const UploadEntry& entry,
                       int32_t clockCorrectionMinutes) {
  switch (outcome.reason) {
    case Reason::Compared:
      return ComparedText(outcome, clockCorrectionMinutes);
    case Reason::NotOnServer:
      return "サーバーにありません";
    case Reason::UncheckedMode:
      return "すべてアップロードするモード";
    case Reason::None:
      break;
  }
  switch (outcome.kind) {
    case Kind::LocalMissing:
      return entry.localPath + " が見つかりません";
    case Kind::Unchecked:
      return outcome.detail.empty() ? "サーバーがファイルの時刻を答えませんでした" : outcome.detail;
    case Kind::NotReached:
      return "途中で終わったため確認していません";
    default:
      return outcome.detail;
  }
}

PreviewRow::Look LookOf(Kind kind) {
  switch (kind) {
    case Kind::WouldUpload:
    case Kind::Uploaded:
      return PreviewRow::Look::Upload;
    case Kind::UpToDate:
      return PreviewRow::Look::Plain;
    default:
      return PreviewRow::Look::Warning;
  }
}

}  // namespace

const char* ModeText(UploadMode mode) {
  switch (mode) {
    case UploadMode::Newer:
      return "新しいファイルのみ";
    case UploadMode::NewerOrSame:
      return "同じ時刻のファイルも";
    case UploadMode::Unchecked:
      return "すべて（確認なし）";
  }
  return "";
}

std::string PreviewTitle(const UploadPreview& preview) {
  return "プレビュー − " + preview.request.listName;
}

std::string PreviewHeading(const UploadPreview& preview) {
  return "リスト: " + preview.request.listName + "　モード: " + ModeText(preview.request.mode) +
         "　サーバー: " + preview.host;
}

std::vector<PreviewRow> PreviewRows(const UploadPreview& preview) {
  std::vector<PreviewRow> rows;
  const std::vector<UploadEntry>& entries = preview.request.entries;
  for (size_t i = 0; i < entries.size() && i < preview.report.outcomes.size(); ++i) {
    const EntryOutcome& outcome = preview.report.outcomes[i];
    rows.push_back(
        {DisplayName(entries[i].localPath), entries[i].localPath,
         FolderText(preview.serverFolder, entries[i].remoteFolder), ActionText(outcome.kind),
         ReasonText(outcome, entries[i], preview.clockCorrectionMinutes), LookOf(outcome.kind)});
  }
  return rows;
}

std::string PreviewSummary(const UploadReport& report) {
  const int uploads = report.Count(Kind::WouldUpload);
  std::string summary = uploads > 0 ? std::to_string(uploads) + "件アップロードします"
                                    : "アップロードするファイルはありません";
  const std::pair<Kind, const char*> others[] = {
      {Kind::UpToDate, "件は最新です"},
      {Kind::LocalMissing, "件はローカルファイルがありません"},
      {Kind::Unchecked, "件は確認できませんでした"},
      {Kind::NotReached, "件は未確認です"}};
  for (const auto& [kind, what] : others) {
    if (int count = report.Count(kind)) summary += "・" + std::to_string(count) + what;
  }
  if (report.serverAhead) summary += std::string("　") + kServerAheadText;
  return summary;
}

}  // namespace tolvane
