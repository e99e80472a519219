#pragma once
// The text of the バージョン情報 box.
#include <string>

#include "settings/AppSettings.h"

namespace tolvane {

inline constexpr const char* kCaptionAbout = "バージョン情報";

// The program's name and version, the folder in use, and the licences of the program and of
// Qt (`qtVersion`: the version of the Qt the program runs with).
std::string AboutText(const AppSettings& settings, const std::string& qtVersion);

}  // namespace tolvane
