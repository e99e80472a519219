#pragma once
// The extensions sent in ASCII mode: mode.ini beside the executable, one extension per line,
// without the dot; the five defaults when the file cannot be opened.
#include <string>
#include <vector>

#include "Seams.h"
#include "ftp/FtpOptions.h"
#include "settings/AppSettings.h"

namespace tolvane {

// Appends the file's lines (empty lines and duplicates included) or the defaults to `exts`.
void LoadAsciiExtensions(const AppSettings& settings, std::vector<std::string>& exts);

// ASCII when the text after the path's last '.' (the whole path when it has none) equals an
// entry of the table, ASCII letters compared without regard to case; binary otherwise.
TransferType TransferTypeFor(const std::string& localPath, const std::vector<std::string>& exts);

// Rewrites mode.ini from the dialog's items ("*." + extension) and replaces `exts` with the
// same extensions. When the file cannot be written, says so and leaves `exts` as it was.
bool SaveAsciiExtensions(const AppSettings& settings, const std::vector<std::string>& items,
                         std::vector<std::string>& exts, Prompts& prompts);

}  // namespace tolvane
