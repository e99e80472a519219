#pragma once
// Text crossing the control connection: names and the account go out in UTF-8 or code page
// 932 (whatever the server speaks); reply lines come back as text fit to show.
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

enum class WireEncoding { Utf8, Cp932 };

// True when the text holds CR, LF or NUL: sent as an argument it would end the command and
// start another one of the server's choosing.
bool BreaksCommandLine(std::string_view text);

// `utf8` in the server's encoding, or nullopt when it breaks the command line, is not valid
// UTF-8 or has no code page 932 form.
std::optional<std::string> ToWire(std::string_view utf8, WireEncoding encoding);

// A reply line as UTF-8 text for a message box: decoded from the server's encoding (a line
// that is well-formed UTF-8 is read as UTF-8 either way), control characters removed, invalid
// bytes replaced, and cut to a readable length.
std::string ReplyTextForDisplay(std::string_view line, WireEncoding encoding);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace tolvane
