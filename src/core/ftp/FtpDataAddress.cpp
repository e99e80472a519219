#include "ftp/FtpDataAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <vector>

namespace tolvane {
namespace {

std::optional<int> Port(int value) {
  if (value < 1 || value > 65535) return std::nullopt;
  return value;
}

// Up to `max` decimal numbers separated by commas, starting at the first digit of `text`.
std::vector<int> CommaNumbers(std::string_view text, size_t max) {
  std::vector<int> numbers;
  size_t pos = text.find_first_of("0123456789");
  while (pos < text.size() && numbers.size() < max) {
    int value = 0, digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
      value = value * 10 + (text[pos++] - '0');
      ++digits;
    }
    if (digits == 0 || value > 255) break;
    numbers.push_back(value);
    if (pos >= text.size() || text[pos] != ',') break;
    ++pos;
  }
  return numbers;
}

}  // namespace

std::optional<int> ParseEpsvPort(std::string_view line) {
  size_t open = line.find('(');
  if (open == std::string_view::npos || open + 4 >= line.size()) return std::nullopt;
  char delimiter = line[open + 1];
  if (line[open + 2] != delimiter || line[open + 3] != delimiter) return std::nullopt;
  size_t pos = open + 4;
  int port = 0, digits = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && digits < 6) {
    port = port * 10 + (line[pos++] - '0');
    ++digits;
  }
  if (digits == 0 || pos >= line.size() || line[pos] != delimiter) return std::nullopt;
  return Port(port);
}

std::optional<PasvTarget> ParsePasv(std::string_view line) {
  // The numbers usually stand in brackets; some servers leave the brackets out.
  size_t open = line.find('(');
  line.remove_prefix(open != std::string_view::npos ? open : std::min<size_t>(line.size(), 4));
  std::vector<int> n = CommaNumbers(line, 6);
  if (n.size() != 6) return std::nullopt;
  auto port = Port(n[4] * 256 + n[5]);
  if (!port) return std::nullopt;
  uint32_t ip = (uint32_t(n[0]) << 24) | (uint32_t(n[1]) << 16) | (uint32_t(n[2]) << 8) | n[3];
  return PasvTarget{ip, *port};
}

bool IsPrivateOrUnroutable(uint32_t ip) {
  auto in = [ip](uint32_t net, int bits) { return (ip >> (32 - bits)) == (net >> (32 - bits)); };
  return in(0x00000000, 8) || in(0x0A000000, 8) || in(0x64400000, 10) || in(0x7F000000, 8) ||
         in(0xA9FE0000, 16) || in(0xAC100000, 12) || in(0xC0A80000, 16) || ip >= 0xE0000000;
}

std::optional<std::string> EprtArgument(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto& a = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return "|1|" + std::string(text) + "|" + std::to_string(ntohs(a.sin_port)) + "|";
  }
  if (address.ss_family == AF_INET6) {
    const auto& a = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
    return "|2|" + std::string(text) + "|" + std::to_string(ntohs(a.sin6_port)) + "|";
  }
  return std::nullopt;
}

std::optional<std::string> PortArgument(const sockaddr_storage& address) {
  if (address.ss_family != AF_INET) return std::nullopt;
  const auto& a = reinterpret_cast<const sockaddr_in&>(address);
  uint32_t ip = ntohl(a.sin_addr.s_addr);
  int port = ntohs(a.sin_port);
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += std::to_string((ip >> shift) & 0xFF) + ",";
  return text + std::to_string(port >> 8) + "," + std::to_string(port & 0xFF);
}

}  // namespace tolvane
