// TlsClient: the client side of TLS (OpenSSL) over a socket that the socket layer already
// holds, connected and non-blocking. Every call returns at once and says what it waits for,
// so the socket layer keeps driving it from its own wait loop (poll, pump, flags, deadline):
// a handshake can be cancelled or time out like any other wait.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct ssl_session_st SSL_SESSION;

namespace quillmark {

struct OpenSslFunctions;

class TlsClient {
 public:
  // TLS 1.2 or later; peers are checked against `trustedCertificates` (a PEM file of
  // certificate authorities) or, when it is empty, against the system's trusted roots.
  // Throws NetError("Secure Socket setup failed: <reason>") when that file cannot be read, or
  // when OpenSSL, loaded by the first client (openssl_functions.h), cannot be loaded.
  explicit TlsClient(const std::string& trustedCertificates);
  ~TlsClient();
  TlsClient(const TlsClient&) = delete;
  TlsClient& operator=(const TlsClient&) = delete;

  // Starts a session on `fd` with the server `serverName` (a host name or a dotted address)
  // on `port`: the name goes out as SNI (not for an address) and the certificate must be
  // issued for it. A session this client kept for the same server is offered for
  // resumption. Ends a session still open first.
  void Begin(int fd, const std::string& serverName, std::uint32_t port);
  // Forgets the session without a closing alert (the socket is about to be closed).
  void End();
  bool Active() const { return ssl_ != nullptr; }

  // What a step did: kDone, or the readiness of the socket it waits for, or a failure.
  enum class Step { kDone, kWantRead, kWantWrite, kFailed };
  // One step of the handshake; kFailed when it cannot succeed (FailureText says why: the
  // certificate check or the peer's alert).
  Step Handshake();

  // Like recv and send: bytes moved (> 0), 0 when the peer has closed (Read only), or -1
  // with errno: EAGAIN when nothing can move yet (WaitsForWrite says which readiness to poll
  // for), EPROTO for a TLS error (FailureText), or the system's number (ECONNRESET, ...).
  ssize_t Read(char* buffer, std::size_t size);
  ssize_t Write(const char* data, std::size_t size);
  bool WaitsForWrite() const { return wantsWrite_; }

  const std::string& FailureText() const { return failure_; }

  // Sessions kept for resumption, one per server; past this many the oldest go.
  static constexpr std::size_t kMaxKeptSessions = 64;

 private:
  static int KeepSession(SSL* ssl, SSL_SESSION* session);
  // Turns the result `ret` of an SSL call into a Step or an errno, noting the failure.
  Step StepOf(int ret);
  ssize_t TransferResult(int ret);

  const OpenSslFunctions& openssl_;
  SSL_CTX* context_ = nullptr;
  SSL* ssl_ = nullptr;
  std::string sessionKey_;  // "name:port" of the session in progress
  std::map<std::string, SSL_SESSION*> sessions_;
  bool wantsWrite_ = false;
  std::string failure_;
};

}  // namespace quillmark
