#pragma once
// Whole-file writes that never leave half a file behind: the bytes go to a temporary file in
// the same folder, which then replaces the old file by a rename.
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// `mode` is the permission of the new file; without one, an existing file keeps its
// permission and a new one gets 0666 less the umask. Returns false when anything failed;
// the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::optional<unsigned> mode = std::nullopt);

// The whole file, or nullopt when it cannot be opened or read (a folder counts as unreadable).
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace tolvane
