#pragma once
// A TCP socket for the FTP client: non-blocking underneath, blocking to its caller, every wait
// bounded by a deadline and broken into short slices so the caller's pump keeps the window
// painting. It can speak TLS as the client once connected (FtpSocketTls.cpp).
#include <openssl/types.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// As <openssl/ssl.h> declares it, without pulling all of OpenSSL into every user of sockets.
typedef struct ssl_session_st SSL_SESSION;

namespace tolvane {

using SteadyTime = std::chrono::steady_clock::time_point;
SteadyTime DeadlineAfter(int ms);

// The longest the pump waits to be called while a socket is waited on.
inline constexpr int kPumpIntervalMs = 50;

class FtpSocket {
 public:
  using Pump = std::function<void()>;

  FtpSocket() = default;
  ~FtpSocket() { Close(); }
  FtpSocket(FtpSocket&& other) noexcept;
  FtpSocket& operator=(FtpSocket&& other) noexcept;
  FtpSocket(const FtpSocket&) = delete;
  FtpSocket& operator=(const FtpSocket&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  void Close();

  // Each returns 0 or an errno value; ETIMEDOUT when the deadline or stall bound passed.
  int Connect(const sockaddr* address, socklen_t length, SteadyTime deadline, const Pump& pump);
  // Sends all of `bytes`; gives up when no byte could be sent for `stallMs`.
  int SendAll(std::string_view bytes, int stallMs, const Pump& pump);
  // Receives up to `size` bytes into `buffer`; `received` 0 means the peer closed.
  int Receive(char* buffer, size_t size, size_t& received, SteadyTime deadline, const Pump& pump);
  // Listens on the address family and interface of `local`, on a port of the system's choice.
  int Listen(const sockaddr_storage& local);
  // Accepts one connection, but only from `peerAddress` (another host must not slip data in).
  int Accept(FtpSocket& accepted, const sockaddr_storage& peerAddress, SteadyTime deadline,
             const Pump& pump);
  // Sends FIN after everything queued: the receiver then knows the data is complete.
  void ShutdownWrite();
  // Reads and drops whatever arrives, bypassing TLS, until the peer closes or `deadline`.
  void DiscardUntilClosed(SteadyTime deadline, const Pump& pump);
  // Closes with a reset instead of FIN: the receiver learns the data is not complete.
  void Reset();
  // Waits until everything queued has left (or the socket cannot tell); gives up when the
  // queue has not shrunk for `stallMs`.
  int Drain(int stallMs, const Pump& pump);
  // Makes the connection a TLS client connection and runs the handshake. `host` is sent as
  // the server name (SNI) and is what the certificate is checked for; `resume`, when given, is
  // the session to take up again (a data connection resumes its control connection's).
  // 0; ETIMEDOUT or ECANCELED as any wait; ECONNRESET when the peer hung up, EPROTO when the
  // handshake failed. The certificate's verdict is left to the caller (Tls()).
  int StartTls(SSL_CTX* context, const std::string& host, SSL_SESSION* resume, SteadyTime deadline,
               const Pump& pump);
  // The TLS connection once StartTls succeeded; nullptr on a plain connection.
  SSL* Tls() const { return m_ssl; }
  // Sends TLS close_notify, which tells the peer the data ended here and was not cut off.
  // The peer's own close_notify is not waited for.
  int EndTls(int stallMs, const Pump& pump);
  // Every wait on this socket ends with ECANCELED once `cancelled` says so.
  void SetCancel(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

  sockaddr_storage LocalAddress() const;
  sockaddr_storage PeerAddress() const;

 private:
  explicit FtpSocket(int fd) : m_fd(fd) {}
  int Open(int family);
  int Wait(short events, SteadyTime deadline, const Pump& pump);
  int TlsSendAll(std::string_view bytes, int stallMs, const Pump& pump);
  int TlsReceive(char* buffer, size_t size, size_t& received, SteadyTime deadline,
                 const Pump& pump);
  // Waits for what an OpenSSL call that did not complete wants (`sslError`), or turns its
  // failure into an errno value; 0 when the call is to be made again.
  int TlsWait(int sslError, int systemError, SteadyTime deadline, const Pump& pump);
  void FreeTls();

  int m_fd = -1;
  SSL* m_ssl = nullptr;
  std::function<bool()> m_cancelled;
};

// True when both hold the same IP address (ports are ignored).
bool SameHost(const sockaddr_storage& a, const sockaddr_storage& b);

}  // namespace tolvane
