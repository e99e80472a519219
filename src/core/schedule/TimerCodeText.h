#pragma once
// Byte-position helpers for entry codes: every field access clamps to the code's length, so a
// short code yields short (or empty) fields instead of failing.
#include <string_view>

namespace tolvane::timercode {

// Characters [pos, pos + n) of `code`, clamped.
inline std::string_view Field(std::string_view code, size_t pos, size_t n) {
  if (pos >= code.size()) return {};
  return code.substr(pos, n);
}

// The last `n` characters, or the whole code when it is shorter.
inline std::string_view Last(std::string_view code, size_t n) {
  return n >= code.size() ? code : code.substr(code.size() - n);
}

}  // namespace tolvane::timercode
