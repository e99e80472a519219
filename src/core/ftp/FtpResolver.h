#pragma once
// Host name to addresses, within the connect deadline and without freezing the window: an
// address is taken as it is, a name is looked up in the background while the pump runs.
#include <sys/socket.h>

#include <string>
#include <vector>

#include "ftp/FtpSocket.h"

namespace tolvane {

struct ResolvedAddress {
  sockaddr_storage address{};
  socklen_t length = 0;
};

enum class ResolveResult { Found, NotFound, TimedOut };

ResolveResult ResolveHost(const std::string& host, int port, SteadyTime deadline,
                          const FtpSocket::Pump& pump, std::vector<ResolvedAddress>& found);

}  // namespace tolvane
