#include "ftp/CrLfEncoder.h"

namespace tolvane {

std::string CrLfEncoder::Encode(std::string_view chunk) {
  std::string out;
  out.reserve(chunk.size() + chunk.size() / 16);
  for (char c : chunk) {
    if (c == '\n' && !m_lastWasCr) out += '\r';
    out += c;
    m_lastWasCr = c == '\r';
  }
  return out;
}

}  // namespace tolvane
