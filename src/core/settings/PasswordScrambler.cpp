#include "settings/PasswordScrambler.h"

#include <cstdlib>

#include "platform/ProfileFile.h"

namespace tolvane {

std::string ScrambleWithKey(std::string_view plain, int k0, std::string_view filler) {
  std::string scrambled(plain);
  int k = k0;
  for (size_t j = 0; j < scrambled.size(); ++j) {
    if (k > 8) k = 3;
    unsigned char b = static_cast<unsigned char>(scrambled[j]);
    b = static_cast<unsigned char>(j % 2 == 1 ? b + k : b - k);
    scrambled[j] = static_cast<char>(b);
    ++k;
  }
  std::string value = std::to_string(k0);
  value += filler;
  value.append(scrambled.rbegin(), scrambled.rend());
  return value;
}

std::string Unscramble(std::string_view data) {
  if (data.empty()) return std::string();
  std::string text(data);
  // The leading number as atoi reads it; strtol saturates instead of overflowing.
  int m = static_cast<int>(std::strtol(text.c_str(), nullptr, 10) % 256);
  if (m < 0) m += 256;
  size_t from = static_cast<size_t>(m) + 1;
  if (from >= text.size()) return std::string();
  std::string_view payload = std::string_view(text).substr(from);
  std::string plain(payload.size(), '\0');
  int k = m;
  for (size_t i = 0; i < payload.size(); ++i) {
    if (k > 8) k = 3;
    unsigned char b = static_cast<unsigned char>(payload[payload.size() - 1 - i]);
    plain[i] = static_cast<char>(i % 2 == 1 ? b - k : b + k);
    ++k;
  }
  return plain;
}

bool ReadsBackWhole(std::string_view value) {
  if (value.size() > kProfileValueMax) return false;
  if (value.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  return value.empty() || (value.back() != ' ' && value.back() != '\t');
}

}  // namespace tolvane
