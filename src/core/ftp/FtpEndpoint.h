#pragma once
// The server setting "host", "host:port", "[v6addr]:port" or "[v6addr]" taken apart.
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

struct FtpEndpoint {
  std::string host;  // a name or an address, IPv6 without its brackets
  int port = 21;
};

// nullopt when the field cannot name a server (empty, bad port, unclosed bracket, spaces or
// control characters).
std::optional<FtpEndpoint> ParseHostField(std::string_view field);

}  // namespace tolvane
