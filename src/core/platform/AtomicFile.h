#pragma once
// Whole-file writes that never leave half a file behind: the bytes go to a temporary file in
// the same folder, which then replaces the old file by a rename. Reads and writes touch
// regular files only: a symlink could pull another file's content (and mode) into the program
// folder, and opening a FIFO would block the program for good.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// Every temporary file starts with this, so one left by a killed process can be recognised.
// Short, so that a file name near the 255-byte limit still has room for its temporary twin.
inline constexpr std::string_view kTemporaryPrefix = ".tolvane-";

// `mode` is the permission of the new file; without one, an existing file keeps its
// permission and a new one gets 0666 less the umask. Returns false when anything failed or
// `path` exists but is not a regular file; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::optional<unsigned> mode = std::nullopt);

// The whole file, or nullopt when it cannot be opened or read, or is not a regular file
// (a symlink, FIFO, device or folder). Never waits for a writer.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when something other than a regular file sits at `path` (a symlink included).
bool IsIrregularFile(const std::string& path);

// Removes the temporary files in `folder` that a killed write left behind, those older than a
// minute at `now` (seconds since 1970); younger ones may belong to a write in progress.
void RemoveStaleTemporaryFiles(const std::string& folder, int64_t now);

}  // namespace tolvane
