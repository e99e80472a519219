#include "ftp/FtpResolver.h"

#include <netdb.h>

#include <cstring>
#include <memory>

namespace tolvane {
namespace {

// Everything the background lookup writes to; it must outlive a lookup that cannot be
// cancelled, so such a request is left to the resolver rather than freed under it.
struct Lookup {
  std::string host;
  std::string service;
  addrinfo hints{};
  gaicb request{};
  gaicb* list[1] = {&request};
};

void Collect(const addrinfo* info, std::vector<ResolvedAddress>& found) {
  for (const addrinfo* a = info; a; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    ResolvedAddress r;
    std::memcpy(&r.address, a->ai_addr, a->ai_addrlen);
    r.length = a->ai_addrlen;
    found.push_back(r);
  }
}

addrinfo Hints(int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = flags;
  return hints;
}

bool ResolveNumeric(const std::string& host, const std::string& service,
                    std::vector<ResolvedAddress>& found) {
  addrinfo hints = Hints(AI_NUMERICHOST | AI_NUMERICSERV);
  addrinfo* info = nullptr;
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &info) != 0) return false;
  Collect(info, found);
  freeaddrinfo(info);
  return true;
}

}  // namespace

ResolveResult ResolveHost(const std::string& host, int port, SteadyTime deadline,
                          const FtpSocket::Pump& pump, std::vector<ResolvedAddress>& found) {
  found.clear();
  std::string service = std::to_string(port);
  if (ResolveNumeric(host, service, found)) {
    return found.empty() ? ResolveResult::NotFound : ResolveResult::Found;
  }
  auto lookup = std::make_unique<Lookup>();
  lookup->host = host;
  lookup->service = service;
  lookup->hints = Hints(AI_ADDRCONFIG | AI_NUMERICSERV);
  lookup->request.ar_name = lookup->host.c_str();
  lookup->request.ar_service = lookup->service.c_str();
  lookup->request.ar_request = &lookup->hints;
  if (getaddrinfo_a(GAI_NOWAIT, lookup->list, 1, nullptr) != 0) return ResolveResult::NotFound;
  while (gai_error(&lookup->request) == EAI_INPROGRESS) {
    if (std::chrono::steady_clock::now() >= deadline) {
      int cancel = gai_cancel(&lookup->request);
      if (cancel == EAI_NOTCANCELED) {
        (void)lookup.release();  // the resolver still writes into it
      } else if (cancel == EAI_ALLDONE && gai_error(&lookup->request) == 0) {
        freeaddrinfo(lookup->request.ar_result);
      }
      return ResolveResult::TimedOut;
    }
    timespec slice{0, kPumpIntervalMs * 1000000L};
    gai_suspend(lookup->list, 1, &slice);
    if (pump) pump();
  }
  int error = gai_error(&lookup->request);
  if (error == 0) {
    Collect(lookup->request.ar_result, found);
    freeaddrinfo(lookup->request.ar_result);
  }
  return error == 0 && !found.empty() ? ResolveResult::Found : ResolveResult::NotFound;
}

}  // namespace tolvane
