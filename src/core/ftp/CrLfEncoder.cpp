#include "ftp/CrLfEncoder.h"

namespace tolvane {

std::string CrLfEncoder::Encode(std::string_view chunk) {
  std::string out;
  out.reserve(chunk.size() + chunk.size() / 16);
  for (char c : chunk) {
    if (c == '\n' && !lastWasCr_) out += '\r';
    out += c;
    lastWasCr_ = c == '\r';
  }
  return out;
}

}  // namespace tolvane
