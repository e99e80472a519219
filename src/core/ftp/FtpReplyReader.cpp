#include "ftp/FtpReplyReader.h"

namespace tolvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The code of a line "ddd text", "ddd-text" or "ddd"; 0 when the line does not start so.
int CodeOf(const std::string& line) {
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return 0;
  if (line[0] < '1' || line[0] > '5') return 0;
  if (line.size() > 3 && line[3] != ' ' && line[3] != '-') return 0;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool OpensMultiLine(const std::string& line) { return line.size() > 3 && line[3] == '-'; }

}  // namespace

void FtpReplyReader::Feed(std::string_view bytes) {
  while (!bytes.empty() && !m_garbled) {
    size_t lf = bytes.find('\n');
    std::string_view piece = bytes.substr(0, lf);
    if (!m_partialOverlong) {
      size_t room = kMaxLineBytes - m_partial.size();
      m_partial.append(piece.substr(0, room));
      m_partialOverlong = piece.size() > room;
    }
    if (lf == std::string_view::npos) return;
    bytes.remove_prefix(lf + 1);
    std::string line = std::move(m_partial);
    m_partial.clear();
    m_partialOverlong = false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    TakeLine(std::move(line));
  }
}

void FtpReplyReader::TakeLine(std::string line) {
  int code = CodeOf(line);
  if (!m_open) {
    if (code == 0) {
      m_garbled = true;
      return;
    }
    FtpReply reply{code, {std::move(line)}};
    if (OpensMultiLine(reply.lines.front())) {
      m_open = std::move(reply);
    } else {
      m_complete.push_back(std::move(reply));
    }
    return;
  }
  // Inside a multi-line reply any line may appear; only "ddd " with the same code ends it.
  bool last = code == m_open->code && !OpensMultiLine(line);
  if (last || m_open->lines.size() < kMaxLines - 1) m_open->lines.push_back(std::move(line));
  if (last) {
    m_complete.push_back(std::move(*m_open));
    m_open.reset();
  }
}

std::optional<FtpReply> FtpReplyReader::Next() {
  if (m_complete.empty()) return std::nullopt;
  FtpReply reply = std::move(m_complete.front());
  m_complete.pop_front();
  return reply;
}

}  // namespace tolvane
