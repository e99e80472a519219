#pragma once
// Whole-number edit fields: what a dialog reads from the text of such a field.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tolvane {

// The prompt shown when a whole-number field holds no integer.
inline constexpr const char* kIntegerPrompt = "Please enter an integer.";

// One optionally signed decimal number at the start of `text`, after any leading blanks;
// whatever follows the digits is ignored ("12分" reads as 12). Nothing (an empty field, "-",
// "abc") and numbers outside the 32-bit range read as no integer: a value that wrapped or was
// clamped would pass later range checks as a number the person never typed.
std::optional<int32_t> ReadInteger(std::string_view text);

}  // namespace tolvane
