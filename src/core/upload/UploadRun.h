#pragma once
// The upload run: takes one request and puts every listed file that is newer locally than on
// the server into its server folder, showing each step in the status lines, and reports what
// became of each entry. It reads no window state: whoever starts it says what to run.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpFileFinder.h"
#include "ftp/FtpOptions.h"
#include "upload/ConnectionPool.h"
#include "upload/UploadRequest.h"
#include "window/MainView.h"

namespace tolvane {

class FtpClient;
class ListedFolders;
class SafeUploader;
class PreviewFolders;
class RemoteFolders;

inline constexpr const char* kServerAheadText =
    "サーバーの時刻が進んでいます。時間確認で補正を確かめてください";

// The comparison of one entry: the server time gets the clock correction, the one-year repair
// (only when `remoteYearShown` is false: a listing's guessed year) and the fixed 9-hour shift,
// then both are compared as local "%Y%m%d%H%M" stamps.
// `now` is the current time plus 9 hours, as the run takes it.
bool ShouldUpload(int64_t localTime, int64_t remoteTime, bool remoteYearShown, int64_t now,
                  int32_t stimeMinutes, UploadMode mode);
// Its two steps: the server time as compared (seconds since 1970, like a local file's time),
// and the comparison at minute precision.
int64_t ComparedServerTime(int64_t remoteTime, bool remoteYearShown, int64_t now,
                           int32_t stimeMinutes);
bool LocalIsNewer(int64_t localTime, int64_t comparedServerTime, UploadMode mode);

// How the run finds its way on the server. Both give the same results; PerFile asks about
// every entry by itself and stays as the reference the faster way is checked against.
enum class UploadMethod { Listed, PerFile };

class UploadRun {
 public:
  // Uses the settings, the ASCII table and the end flags of `ctx`, its prompts, status lines
  // and clock; never its view.
  explicit UploadRun(MainContext& ctx, FtpOptions options = {},
                     UploadMethod method = UploadMethod::Listed);

  // Connects, walks the entries and disconnects. Returns when the run ended. A preview
  // request takes every step up to the put, with the same status texts, and puts, renames
  // and deletes nothing: its entries that the run would put come back as WouldUpload.
  UploadReport Execute(const UploadRequest& request);

  // Hears of each entry as soon as it is decided (and its put, if any, ended), in list
  // order, with its index in the request.
  using EntryObserver = std::function<void(size_t, const EntryOutcome&)>;
  void ObserveEntries(EntryObserver observer) { m_entryDone = std::move(observer); }

 private:
  // What the person is shown of one entry, kept until every entry before it is shown.
  struct Shown {
    enum class Kind { Status, FileLine, Failure, Pause };
    Kind kind;
    std::string text;
  };
  struct PutResult;
  struct Pending {
    size_t index = 0;
    std::vector<Shown> shown;
    bool goOn = true;
    std::shared_ptr<ConnectionPool::Task> put;  // a put in progress on some connection
    std::shared_ptr<PutResult> result;
  };

  void UploadEntries(const UploadRequest& request, FtpClient& ftp, UploadReport& report);
  std::unique_ptr<ConnectionPool> MakePool(FtpClient& ftp, ListedFolders& listed,
                                           SafeUploader& uploader, const UploadRequest& request);
  std::vector<std::string> FoldersToList(const UploadRequest& request, FtpClient& ftp) const;
  // Puts the entry's file on whichever connection is free first.
  void DispatchPut(const std::string& localPath, const std::string& remoteName, TransferType type);
  // Waits for an earlier entry's put of the same server file.
  void AwaitPutOf(const std::string& remoteName);
  // Shows the entries whose turn has come, in list order: all of them with `all` (waiting
  // for their puts), else those up to the first put still in progress.
  void ShowFinished(UploadReport& report, FtpClient& ftp, bool all);
  void FinishPut(Pending& pending, EntryOutcome& outcome, FtpClient& ftp);
  // Runs `put` (on whatever thread) and notes how long it took and how it ended.
  static PutResult TimedPut(const std::string& localPath, FtpClient& on,
                            const std::function<std::optional<std::string>()>& put);
  // Writes what became of a put into `outcome` and the entry's failure into `shown`; false
  // when the run should stop.
  bool TakePutResult(const PutResult& result, EntryOutcome& outcome, std::vector<Shown>& shown,
                     FtpClient& ftp);
  // Called on the run's thread while it waits for another connection.
  void Waiting();
  // Shows at once, or keeps it with the entry being decided while earlier ones are not shown.
  void Show(Shown::Kind kind, const std::string& text);
  void ShowNow(const Shown& shown);
  // False when the connection is gone and the run cannot go on.
  bool RunEntry(UploadMode mode, size_t number, const UploadEntry& entry, int64_t now,
                RemoteFolders& folders, FtpClient& ftp, EntryOutcome& outcome);
  // Whether the entry's file goes up: WouldUpload, UpToDate, LocalMissing or Unchecked in
  // `outcome`, with what that rested on. False when the connection is gone.
  bool Decide(UploadMode mode, size_t number, const UploadEntry& entry, int64_t now,
              RemoteFolders& folders, FtpClient& ftp, EntryOutcome& outcome);
  void ShowNotChecked(size_t number);
  void Pause();
  void ShowIdle();
  // Tells once per run when a server time lies ahead of the corrected local clock.
  void NoticeServerAhead(int64_t remoteTime);

  MainContext& m_ctx;
  FtpOptions m_options;
  UploadMethod m_method;
  bool m_serverAheadTold = false;
  EntryObserver m_entryDone;
  bool m_previewing = false;
  PreviewFolders* m_previewFolders = nullptr;  // while a preview walks its entries
  // While entries are walked with more than one connection:
  ConnectionPool* m_pool = nullptr;
  ListedFolders* m_listed = nullptr;
  std::deque<Pending> m_pending;  // decided, not yet shown, in list order
  std::map<std::string, std::shared_ptr<ConnectionPool::Task>> m_putsByName;
  bool m_stopped = false;  // an entry ended the run: later ones are no longer shown
};

}  // namespace tolvane
