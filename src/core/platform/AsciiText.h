#pragma once
// Letter case as the program ignores it in profile keys, extensions, list names and FTP
// names: only the ASCII letters A-Z are folded, byte by byte. In UTF-8 every byte of a
// multibyte character is 0x80 or above, so such characters are always compared exactly.
#include <string>
#include <string_view>

namespace tolvane {

char ToLowerAscii(char c);
std::string ToLowerAscii(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tolvane
