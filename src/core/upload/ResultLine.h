#pragma once
// The short line that says what the last run did, e.g. "12件アップロード・1件失敗（14:05）". It
// stays in the window until the next run, and a scheduled run in the tray shows it as a notice.
#include <string>

#include "upload/UploadRequest.h"

namespace tolvane {

std::string ResultLine(const UploadReport& report);

// The counts such a line tells of.
struct ResultCounts {
  int uploaded = 0;
  int failed = 0;
  int unchecked = 0;
  int localMissing = 0;
};

// The line's counts without the time: "12件アップロード・1件失敗". The run log window shows a
// logged run the same way.
std::string ResultCountsText(const ResultCounts& counts);

}  // namespace tolvane
