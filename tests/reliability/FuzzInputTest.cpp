// The fuzz targets' checks over every kept input in tests/fuzz/<target>/: the seeds and any
// input that once broke something, so a fixed fault stays fixed without running the fuzzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/FuzzChecks.h"

namespace tolvane {
namespace {

using Check = std::string (*)(std::string_view);

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(FuzzInputs, EveryKeptInputPassesItsCheck) {
  const std::pair<const char*, Check> targets[] = {{"profile_file", fuzz::CheckProfileFile},
                                                   {"line_file", fuzz::CheckLineFile},
                                                   {"timer_code", fuzz::CheckTimerCode},
                                                   {"ftp_reply", fuzz::CheckFtpReply},
                                                   {"ftp_listing", fuzz::CheckFtpListing}};
  for (const auto& [name, check] : targets) {
    int inputs = 0;
    for (const auto& file :
         std::filesystem::directory_iterator(std::filesystem::path(TOLVANE_FUZZ_CORPUS) / name)) {
      EXPECT_EQ(check(Contents(file.path())), "") << file.path();
      ++inputs;
    }
    EXPECT_GE(inputs, 2) << name;
  }
}

}  // namespace
}  // namespace tolvane
