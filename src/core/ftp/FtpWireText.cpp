#include "ftp/FtpWireText.h"

#include <cstdint>

#include "platform/Cp932.h"

namespace tolvane {
namespace {

constexpr size_t kMaxDisplayBytes = 1024;
constexpr const char* kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0.
size_t Utf8SequenceLength(std::string_view s) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  uint8_t b0 = byte(0);
  if (b0 < 0x80) return 1;
  size_t len = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
  if (len == 0 || b0 > 0xF4 || s.size() < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  // Overlong forms, surrogates and values beyond U+10FFFF.
  if (b0 == 0xE0 && byte(1) < 0xA0) return 0;
  if (b0 == 0xED && byte(1) >= 0xA0) return 0;
  if (b0 == 0xF0 && byte(1) < 0x90) return 0;
  if (b0 == 0xF4 && byte(1) >= 0x90) return 0;
  return len;
}

// Control characters could reshape or hide the message: C0, DEL and the C1 range, and the
// format characters that break lines or reorder text (LRM, RLM, U+2028, U+2029, and the
// bidirectional embeddings, overrides and isolates), which would let a server disguise it.
bool IsControl(std::string_view sequence) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(sequence[i]); };
  if (sequence.size() == 1) return byte(0) < 0x20 || byte(0) == 0x7F;
  if (sequence.size() == 2) return byte(0) == 0xC2 && byte(1) < 0xA0;
  if (sequence.size() != 3 || byte(0) != 0xE2) return false;
  if (byte(1) == 0x80) {
    return byte(2) == 0x8E || byte(2) == 0x8F || (byte(2) >= 0xA8 && byte(2) <= 0xAE);
  }
  return byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9;  // U+2066 to U+2069
}

}  // namespace

bool BreaksCommandLine(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    size_t len = Utf8SequenceLength(bytes);
    if (len == 0) return false;
    bytes.remove_prefix(len);
  }
  return true;
}

std::optional<std::string> ToWire(std::string_view utf8, WireEncoding encoding) {
  if (BreaksCommandLine(utf8) || !IsValidUtf8(utf8)) return std::nullopt;
  if (encoding == WireEncoding::Utf8) return std::string(utf8);
  return ToCp932(utf8);
}

std::string ReplyTextForDisplay(std::string_view line, WireEncoding encoding) {
  // Many servers that do not announce UTF8 still word their messages in UTF-8; code page 932
  // text is almost never well-formed UTF-8, so such a line is taken as UTF-8.
  bool cp932 = encoding == WireEncoding::Cp932 && !IsValidUtf8(line);
  std::string decoded = cp932 ? FromCp932(line) : std::string(line);
  std::string_view rest = decoded;
  std::string text;
  while (!rest.empty() && text.size() < kMaxDisplayBytes) {
    size_t len = Utf8SequenceLength(rest);
    if (len == 0) {
      text += kReplacement;
      rest.remove_prefix(1);
      continue;
    }
    std::string_view sequence = rest.substr(0, len);
    if (!IsControl(sequence)) text += sequence;
    rest.remove_prefix(len);
  }
  return text;
}

}  // namespace tolvane
