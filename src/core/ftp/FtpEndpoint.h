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
// control characters). Without a port in the field the port is `defaultPort` (990 for
// implicit FTPS).
std::optional<FtpEndpoint> ParseHostField(std::string_view field, int defaultPort = 21);

}  // namespace tolvane
