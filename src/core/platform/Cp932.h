#pragma once
// Conversion between the program's UTF-8 strings and code page 932, the encoding of every
// file the program reads or writes.
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// UTF-8 to code page 932; nullopt when some character has no code page 932 form (or the
// input is not valid UTF-8). Never substitutes a character.
std::optional<std::string> ToCp932(std::string_view utf8);

// Code page 932 to UTF-8. A byte sequence that is not valid code page 932 becomes U+FFFD,
// so a damaged file is still read to its end.
std::string FromCp932(std::string_view cp932);

// True when the text can be stored in code page 932 as it is.
bool FitsCp932(std::string_view utf8);

}  // namespace tolvane
