// One libFuzzer entry point; the build picks the check with TOLVANE_FUZZ_CHECK.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string broken = tolvane::fuzz::TOLVANE_FUZZ_CHECK(input);
  if (!broken.empty()) {
    std::fprintf(stderr, "broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
