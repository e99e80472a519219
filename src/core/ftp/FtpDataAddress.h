#pragma once
// Where a data connection goes: the passive replies (EPSV, PASV) read, and the arguments of
// the active commands (EPRT, PORT) written.
#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

struct PasvTarget {
  uint32_t ipv4 = 0;  // host order
  int port = 0;
};

// "229 Entering Extended Passive Mode (|||6446|)" → 6446.
std::optional<int> ParseEpsvPort(std::string_view line);
// "227 Entering Passive Mode (192,168,1,2,25,30)" → 192.168.1.2 and 6430.
std::optional<PasvTarget> ParsePasv(std::string_view line);

// Addresses that cannot be reached from elsewhere: private, loopback, link-local, shared and
// "this network". A server behind NAT often names one of these in its PASV reply.
bool IsPrivateOrUnroutable(uint32_t ipv4);

// "|1|127.0.0.1|40000|" or "|2|::1|40000|" for EPRT; nullopt for other families.
std::optional<std::string> EprtArgument(const sockaddr_storage& address);
// "127,0,0,1,156,64" for PORT; IPv4 only.
std::optional<std::string> PortArgument(const sockaddr_storage& address);

}  // namespace tolvane
