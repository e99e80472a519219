#include "platform/Cp932.h"

#include <iconv.h>
#include <cerrno>

namespace tolvane {
namespace {

// One conversion descriptor per direction and thread; iconv_open is not cheap.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Converter() {
    if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible; returns false at the first sequence that cannot be
  // converted, leaving `in`/`inLeft` pointing at it and `out` holding everything before it.
  bool Run(char*& in, size_t& inLeft, std::string& out) {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t rc = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, outPtr);
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t m_cd;
};

Converter& Encoder() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

Converter& Decoder() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}

}  // namespace

std::optional<std::string> ToCp932(std::string_view utf8) {
  Converter& c = Encoder();
  if (!c.valid()) return std::nullopt;
  std::string input(utf8);
  char* in = input.data();
  size_t left = input.size();
  std::string out;
  out.reserve(input.size());
  if (!c.Run(in, left, out)) return std::nullopt;
  return out;
}

std::string FromCp932(std::string_view cp932) {
  Converter& c = Decoder();
  std::string input(cp932);
  char* in = input.data();
  size_t left = input.size();
  std::string out;
  out.reserve(input.size() + input.size() / 2);
  while (left > 0) {
    if (c.valid() && c.Run(in, left, out)) break;
    // A byte that starts no valid character: replace it and go on after it.
    out += "\xEF\xBF\xBD";
    ++in;
    --left;
  }
  return out;
}

bool FitsCp932(std::string_view utf8) { return ToCp932(utf8).has_value(); }

}  // namespace tolvane
