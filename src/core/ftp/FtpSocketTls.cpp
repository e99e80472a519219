// The TLS half of FtpSocket: OpenSSL on the non-blocking socket, every call that cannot go on
// waiting in the socket's own bounded, pumping Wait.
#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <poll.h>
#include <signal.h>

#include <cerrno>

#include "ftp/FtpSocket.h"

namespace tolvane {
namespace {

// OpenSSL writes to the socket with write(2), so a peer that hung up would raise SIGPIPE and
// end the program. It is blocked for the length of one OpenSSL call, and one the call raised
// is taken back.
class SigpipeBlocked {
 public:
  SigpipeBlocked() {
    sigemptyset(&m_pipe);
    sigaddset(&m_pipe, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    m_wasPending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
  }
  ~SigpipeBlocked() {
    sigset_t pending;
    sigpending(&pending);
    if (!m_wasPending && sigismember(&pending, SIGPIPE) == 1) {
      timespec none{};
      sigtimedwait(&m_pipe, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
  }
  SigpipeBlocked(const SigpipeBlocked&) = delete;
  SigpipeBlocked& operator=(const SigpipeBlocked&) = delete;

 private:
  sigset_t m_pipe;
  sigset_t m_previous;
  bool m_wasPending = false;
};

// One OpenSSL call: its return value, and errno as it left it.
template <typename Call>
int CallTls(Call call, int& systemError) {
  SigpipeBlocked blocked;
  ERR_clear_error();
  errno = 0;
  int result = call();
  systemError = errno;
  return result;
}

bool IsAddress(const std::string& host) {
  in6_addr any;
  return inet_pton(AF_INET, host.c_str(), &any) == 1 ||
         inet_pton(AF_INET6, host.c_str(), &any) == 1;
}

}  // namespace

void FtpSocket::FreeTls() {
  if (m_ssl) SSL_free(m_ssl);
  m_ssl = nullptr;
}

int FtpSocket::TlsWait(int sslError, int systemError, SteadyTime deadline, const Pump& pump) {
  switch (sslError) {
    case SSL_ERROR_WANT_READ:
      return Wait(POLLIN, deadline, pump);
    case SSL_ERROR_WANT_WRITE:
      return Wait(POLLOUT, deadline, pump);
    case SSL_ERROR_ZERO_RETURN:
      return ECONNRESET;
    case SSL_ERROR_SYSCALL:
      return systemError != 0 ? systemError : ECONNRESET;
    default:
      return EPROTO;
  }
}

int FtpSocket::StartTls(SSL_CTX* context, const std::string& host, SSL_SESSION* resume,
                        SteadyTime deadline, const Pump& pump) {
  FreeTls();
  m_ssl = SSL_new(context);
  if (!m_ssl || SSL_set_fd(m_ssl, m_fd) != 1) return ENOMEM;
  X509_VERIFY_PARAM* check = SSL_get0_param(m_ssl);
  if (IsAddress(host)) {
    X509_VERIFY_PARAM_set1_ip_asc(check, host.c_str());
  } else {
    SSL_set_tlsext_host_name(m_ssl, host.c_str());
    X509_VERIFY_PARAM_set1_host(check, host.c_str(), 0);
  }
  if (resume) SSL_set_session(m_ssl, resume);
  while (true) {
    int systemError = 0;
    int result = CallTls([this] { return SSL_connect(m_ssl); }, systemError);
    if (result == 1) return 0;
    int sslError = SSL_get_error(m_ssl, result);
    if (int error = TlsWait(sslError, systemError, deadline, pump)) {
      return error == ETIMEDOUT || error == ECANCELED || error == ECONNRESET ? error : EPROTO;
    }
  }
}

int FtpSocket::TlsSendAll(std::string_view bytes, int stallMs, const Pump& pump) {
  while (!bytes.empty()) {
    size_t sent = 0;
    int systemError = 0;
    int result = CallTls([&] { return SSL_write_ex(m_ssl, bytes.data(), bytes.size(), &sent); },
                         systemError);
    if (result == 1) {
      bytes.remove_prefix(sent);
      continue;
    }
    int sslError = SSL_get_error(m_ssl, result);
    if (int error = TlsWait(sslError, systemError, DeadlineAfter(stallMs), pump)) return error;
  }
  return 0;
}

int FtpSocket::TlsReceive(char* buffer, size_t size, size_t& received, SteadyTime deadline,
                          const Pump& pump) {
  received = 0;
  while (true) {
    int systemError = 0;
    int result = CallTls([&] { return SSL_read_ex(m_ssl, buffer, size, &received); }, systemError);
    if (result == 1) return 0;
    int sslError = SSL_get_error(m_ssl, result);
    // close_notify, or the peer's end without one: either way nothing more comes.
    if (sslError == SSL_ERROR_ZERO_RETURN) return 0;
    if (int error = TlsWait(sslError, systemError, deadline, pump)) return error;
  }
}

int FtpSocket::EndTls(int stallMs, const Pump& pump) {
  if (!m_ssl) return 0;
  const SteadyTime deadline = DeadlineAfter(stallMs);
  while (true) {
    int systemError = 0;
    int result = CallTls([this] { return SSL_shutdown(m_ssl); }, systemError);
    if (result >= 0) return 0;
    int sslError = SSL_get_error(m_ssl, result);
    if (int error = TlsWait(sslError, systemError, deadline, pump)) return error;
  }
}

}  // namespace tolvane
