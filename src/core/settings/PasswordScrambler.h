#pragma once
// The stored form of the FTP password: one digit k0 (3 to 7), k0 filler bytes, then the
// scrambled password bytes in reverse order. Works on bytes (code page 932), not text.
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// The `data` value for `plain` with the given step start and filler bytes (k0 of them).
std::string ScrambleWithKey(std::string_view plain, int k0, std::string_view filler);

// The plain password from a `data` value; a malformed value gives a wrong password, never
// a crash.
std::string Unscramble(std::string_view data);

// True when the value reads back from the settings file exactly as written: no NUL, CR or
// LF anywhere, no blank at the end, at most 255 bytes.
bool ReadsBackWhole(std::string_view value);

}  // namespace tolvane
