#include "ftp/FtpSocket.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tolvane {
namespace {

int MsUntil(SteadyTime deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

bool Retry(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

SteadyTime DeadlineAfter(int ms) {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, ms));
}

FtpSocket::FtpSocket(FtpSocket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_ssl(std::exchange(other.m_ssl, nullptr)) {}

FtpSocket& FtpSocket::operator=(FtpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = std::exchange(other.m_fd, -1);
    m_ssl = std::exchange(other.m_ssl, nullptr);
  }
  return *this;
}

void FtpSocket::Close() {
  FreeTls();
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

int FtpSocket::Open(int family) {
  Close();
  m_fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  return m_fd >= 0 ? 0 : errno;
}

int FtpSocket::Wait(short events, SteadyTime deadline, const Pump& pump) {
  // The pump's rhythm runs across waits, so a reply that arrives just before a slice ends
  // does not stretch the gap the window sees.
  thread_local SteadyTime lastPump{};
  while (true) {
    auto now = std::chrono::steady_clock::now();
    if (pump && now - lastPump >= std::chrono::milliseconds(kPumpIntervalMs)) {
      pump();
      lastPump = now = std::chrono::steady_clock::now();
    }
    if (m_cancelled && m_cancelled()) return ECANCELED;
    int left = MsUntil(deadline);
    int slice = left;
    if (pump) {
      auto sincePump = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastPump);
      slice = std::min<int>(left, kPumpIntervalMs - static_cast<int>(sincePump.count()));
    }
    pollfd p{m_fd, events, 0};
    int n = poll(&p, 1, std::max(slice, 0));
    if (n > 0) return (p.revents & POLLNVAL) ? EBADF : 0;
    if (n < 0 && errno != EINTR) return errno;
    if (left == 0) return ETIMEDOUT;
  }
}

int FtpSocket::Connect(const sockaddr* address, socklen_t length, SteadyTime deadline,
                       const Pump& pump) {
  if (int error = Open(address->sa_family)) return error;
  if (connect(m_fd, address, length) != 0) {
    if (errno != EINPROGRESS) return errno;
    if (int error = Wait(POLLOUT, deadline, pump)) return error;
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    if (error != 0) return error;
  }
  int one = 1;
  setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return 0;
}

int FtpSocket::SendAll(std::string_view bytes, int stallMs, const Pump& pump) {
  if (m_ssl) return TlsSendAll(bytes, stallMs, pump);
  while (!bytes.empty()) {
    ssize_t n = send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && !Retry(errno)) return errno;
    if (int error = Wait(POLLOUT, DeadlineAfter(stallMs), pump)) return error;
  }
  return 0;
}

int FtpSocket::Receive(char* buffer, size_t size, size_t& received, SteadyTime deadline,
                       const Pump& pump) {
  if (m_ssl) return TlsReceive(buffer, size, received, deadline, pump);
  received = 0;
  while (true) {
    ssize_t n = recv(m_fd, buffer, size, 0);
    if (n >= 0) {
      received = static_cast<size_t>(n);
      return 0;
    }
    if (!Retry(errno)) return errno;
    if (int error = Wait(POLLIN, deadline, pump)) return error;
  }
}

int FtpSocket::Listen(const sockaddr_storage& local) {
  if (int error = Open(local.ss_family)) return error;
  sockaddr_storage address = local;
  socklen_t length = sizeof(sockaddr_in);
  if (address.ss_family == AF_INET) {
    reinterpret_cast<sockaddr_in&>(address).sin_port = 0;
  } else {
    reinterpret_cast<sockaddr_in6&>(address).sin6_port = 0;
    length = sizeof(sockaddr_in6);
  }
  if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0) return errno;
  if (listen(m_fd, 1) != 0) return errno;
  return 0;
}

int FtpSocket::Accept(FtpSocket& accepted, const sockaddr_storage& peerAddress, SteadyTime deadline,
                      const Pump& pump) {
  while (true) {
    sockaddr_storage from{};
    socklen_t length = sizeof from;
    int fd =
        accept4(m_fd, reinterpret_cast<sockaddr*>(&from), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      FtpSocket candidate(fd);
      if (SameHost(from, peerAddress)) {
        accepted = std::move(candidate);
        return 0;
      }
      continue;  // someone else: dropped
    }
    if (!Retry(errno) && errno != ECONNABORTED) return errno;
    if (int error = Wait(POLLIN, deadline, pump)) return error;
  }
}

void FtpSocket::ShutdownWrite() {
  if (m_fd >= 0) shutdown(m_fd, SHUT_WR);
}

void FtpSocket::DiscardUntilClosed(SteadyTime deadline, const Pump& pump) {
  char buffer[4096];
  while (true) {
    ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
    if (n == 0 || (n < 0 && !Retry(errno))) return;
    if (n < 0 && Wait(POLLIN, deadline, pump) != 0) return;
  }
}

void FtpSocket::Reset() {
  if (m_fd < 0) return;
  FreeTls();  // no close_notify: the peer must not take the data for complete
  linger abortive{1, 0};
  setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  Close();
}

int FtpSocket::Drain(int stallMs, const Pump& pump) {
  // The queue usually empties within a millisecond or two once the peer acknowledges; the
  // looks start close together and spread out to kLookAtMostEveryMs, so a short file does not
  // pay a whole slow look and a long drain does not spin.
  constexpr int kLookAtMostEveryMs = 20;
  int lookEveryMs = 1;
  int last = -1;
  SteadyTime stalled = DeadlineAfter(stallMs);
  while (true) {
    int queued = 0;
    if (ioctl(m_fd, SIOCOUTQ, &queued) != 0 || queued <= 0) return 0;
    if (last < 0 || queued < last) {
      last = queued;
      stalled = DeadlineAfter(stallMs);
    }
    if (std::chrono::steady_clock::now() >= stalled) return ETIMEDOUT;
    // No event to wait for: the wait is a pause that keeps the pump and the cancel going.
    int error = Wait(0, std::min(stalled, DeadlineAfter(lookEveryMs)), pump);
    lookEveryMs = std::min(lookEveryMs * 2, kLookAtMostEveryMs);
    if (error == 0) return EPIPE;  // an error or hang-up: the rest will never arrive
    if (error != ETIMEDOUT) return error;
  }
}

sockaddr_storage FtpSocket::LocalAddress() const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
  return address;
}

sockaddr_storage FtpSocket::PeerAddress() const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  getpeername(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
  return address;
}

bool SameHost(const sockaddr_storage& a, const sockaddr_storage& b) {
  if (a.ss_family != b.ss_family) return false;
  if (a.ss_family == AF_INET) {
    return reinterpret_cast<const sockaddr_in&>(a).sin_addr.s_addr ==
           reinterpret_cast<const sockaddr_in&>(b).sin_addr.s_addr;
  }
  if (a.ss_family == AF_INET6) {
    return std::memcmp(&reinterpret_cast<const sockaddr_in6&>(a).sin6_addr,
                       &reinterpret_cast<const sockaddr_in6&>(b).sin6_addr, sizeof(in6_addr)) == 0;
  }
  return false;
}

}  // namespace tolvane
