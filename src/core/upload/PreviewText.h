#pragma once
// The words of a preview: for each entry what a run would do and why, the heading and the
// summary. The preview dialog shows them; a command line can print the same.
#include <cstdint>
#include <string>
#include <vector>

#include "upload/UploadRequest.h"

namespace tolvane {

// A preview as it is shown.
struct UploadPreview {
  UploadRequest request;  // with the list's entries
  UploadReport report;
  std::string host;          // the server, as the settings name it
  std::string serverFolder;  // the settings' server folder
  int32_t clockCorrectionMinutes = 0;
};

struct PreviewRow {
  enum class Look { Plain, Upload, Warning };
  std::string file;       // the file's name
  std::string localPath;  // as the list names it
  std::string folder;     // the server folder the list sends it to
  std::string action;     // what the run does: アップロードする, 最新, ...
  std::string reason;     // why
  Look look = Look::Plain;
};

// The mode in words, as the run log also names it.
const char* ModeText(UploadMode mode);

std::string PreviewTitle(const UploadPreview& preview);
// The list, the mode and the server.
std::string PreviewHeading(const UploadPreview& preview);
// One row per entry, in the list's order.
std::vector<PreviewRow> PreviewRows(const UploadPreview& preview);
// e.g. "3件アップロードします・5件は最新です".
std::string PreviewSummary(const UploadReport& report);

}  // namespace tolvane
