#pragma once
// Cuts the bytes of the control connection into replies. Bounded: an endless line or an
// endless multi-line reply costs at most a fixed amount of memory; bytes that are no reply
// at all mark the stream as garbled.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "ftp/FtpReply.h"

namespace tolvane {

class FtpReplyReader {
 public:
  static constexpr size_t kMaxLineBytes = 4096;  // the rest of a longer line is dropped
  static constexpr size_t kMaxLines = 256;       // middle lines beyond this are dropped

  void Feed(std::string_view bytes);
  // The oldest complete reply not taken yet.
  std::optional<FtpReply> Next();
  // Something arrived that is not an FTP reply; nothing after it can be trusted.
  bool Garbled() const { return m_garbled; }
  void Reset() { *this = FtpReplyReader(); }

 private:
  void TakeLine(std::string line);

  std::string m_partial;
  bool m_partialOverlong = false;
  std::optional<FtpReply> m_open;  // a multi-line reply still waiting for its last line
  std::deque<FtpReply> m_complete;
  bool m_garbled = false;
};

}  // namespace tolvane
