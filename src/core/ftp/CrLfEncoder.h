#pragma once
// ASCII-mode line ends for the wire: a bare LF becomes CR LF, a CR LF already there stays as
// it is (never CR CR LF), everything else passes unchanged. Works chunk by chunk, so a CR at
// the end of one chunk and its LF at the start of the next are still seen as one line end.
#include <string>
#include <string_view>

namespace tolvane {

class CrLfEncoder {
 public:
  std::string Encode(std::string_view chunk);

 private:
  bool m_lastWasCr = false;
};

}  // namespace tolvane
