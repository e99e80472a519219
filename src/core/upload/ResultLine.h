#pragma once
// The short line that says what the last run did, e.g. "12件アップロード・1件失敗（14:05）". It
// stays in the window until the next run, and a scheduled run in the tray shows it as a notice.
#include <string>

#include "upload/UploadRequest.h"

namespace tolvane {

std::string ResultLine(const UploadReport& report);

}  // namespace tolvane
