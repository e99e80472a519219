// What comes from the server: replies on the control connection and LIST lines.
#include <cstdint>

#include "ftp/FtpDataAddress.h"
#include "ftp/FtpListing.h"
#include "ftp/FtpReplyReader.h"
#include "ftp/FtpTimes.h"
#include "ftp/FtpWireText.h"
#include "fuzz/FuzzChecks.h"
#include "platform/LineFile.h"

namespace tolvane::fuzz {
namespace {

struct Replies {
  std::vector<FtpReply> replies;
  bool garbled = false;
};

Replies ReadAll(std::string_view bytes, size_t piece) {
  FtpReplyReader reader;
  Replies out;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    reader.Feed(bytes.substr(at, piece));
    while (std::optional<FtpReply> reply = reader.Next()) out.replies.push_back(std::move(*reply));
  }
  out.garbled = reader.Garbled();
  return out;
}

bool Same(const Replies& a, const Replies& b) {
  if (a.garbled != b.garbled || a.replies.size() != b.replies.size()) return false;
  for (size_t i = 0; i < a.replies.size(); ++i) {
    if (a.replies[i].code != b.replies[i].code || a.replies[i].lines != b.replies[i].lines) {
      return false;
    }
  }
  return true;
}

// Fit for a message box: well-formed, no control characters, of bounded length.
std::string CheckShown(const std::string& text) {
  if (!IsValidUtf8(text)) return "shown reply text is malformed UTF-8";
  if (text.size() > 1024 + 4) return "shown reply text is too long";
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<uint8_t>(text[i]);
    bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) < 0xA0;
    if (c < 0x20 || c == 0x7F || c1) return "shown reply text holds a control character";
  }
  for (const char* layout : {"\u200E", "\u200F", "\u2028", "\u2029", "\u202A", "\u202B", "\u202C",
                             "\u202D", "\u202E", "\u2066", "\u2067", "\u2068", "\u2069"}) {
    if (text.find(layout) != std::string::npos) return "shown reply text can be reordered";
  }
  return {};
}

std::string CheckReply(const FtpReply& reply) {
  if (reply.lines.empty() || reply.lines.size() > FtpReplyReader::kMaxLines) {
    return "reply with " + std::to_string(reply.lines.size()) + " lines";
  }
  if (reply.code < 100 || reply.code > 599) return "reply code out of range";
  for (const std::string& line : reply.lines) {
    if (line.size() > FtpReplyReader::kMaxLineBytes) return "reply line longer than the limit";
  }
  for (WireEncoding encoding : {WireEncoding::Utf8, WireEncoding::Cp932}) {
    std::string broken = CheckShown(ReplyTextForDisplay(reply.LastLine(), encoding));
    if (!broken.empty()) return broken;
  }
  std::optional<int> epsv = ParseEpsvPort(reply.LastLine());
  if (epsv && (*epsv < 1 || *epsv > 65535)) return "EPSV port out of range";
  std::optional<PasvTarget> passiveMode = ParsePasv(reply.LastLine());
  if (passiveMode && (passiveMode->port < 1 || passiveMode->port > 65535))
    return "PASV port out of range";
  ParseMlstReply(reply);
  ParseMdtmReply(reply);
  return {};
}

}  // namespace

std::string CheckFtpReply(std::string_view input) {
  size_t piece = input.empty() ? 1 : static_cast<uint8_t>(input.front()) % 97 + 1;
  if (!input.empty()) input.remove_prefix(1);
  Replies whole = ReadAll(input, input.size() + 1);
  // However the network cuts the bytes, the same replies come out.
  if (!Same(whole, ReadAll(input, piece))) return "replies depend on how the bytes arrive";
  for (const FtpReply& reply : whole.replies) {
    if (std::string broken = CheckReply(reply); !broken.empty()) return broken;
  }
  return {};
}

std::string CheckFtpListing(std::string_view input) {
  const int64_t now = TakeInstant(input);
  for (const std::string& line : SplitLines(input)) {
    std::optional<ListedEntry> entry = ParseListLine(line, now);
    if (!entry) continue;
    if (!line.ends_with(entry->name) && line.find(entry->name + " -> ") == std::string::npos) {
      return "listed name is not the end of its line";
    }
  }
  return {};
}

}  // namespace tolvane::fuzz
