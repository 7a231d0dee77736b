#include "net/tls_client.h"

#include <arpa/inet.h>

#include <cerrno>

#include "net/net_error.h"
#include "net/openssl_functions.h"

namespace quillmark {
namespace {

// The ex_data slot of an SSL_CTX that points back at its TlsClient.
int ClientIndex(const OpenSslFunctions& openssl) {
  // SSL_CTX_get_ex_new_index
  static const int index = openssl.CRYPTO_get_ex_new_index(CRYPTO_EX_INDEX_SSL_CTX, 0, nullptr,
                                                           nullptr, nullptr, nullptr);
  return index;
}

std::string ErrorQueueText(const OpenSslFunctions& openssl) {
  const unsigned long error = openssl.ERR_peek_last_error();
  if (error == 0) return "unknown error";
  char text[256];
  openssl.ERR_error_string_n(error, text, sizeof text);
  return text;
}

bool IsAddress(const std::string& name) {
  in_addr v4;
  in6_addr v6;
  return ::inet_pton(AF_INET, name.c_str(), &v4) == 1 ||
         ::inet_pton(AF_INET6, name.c_str(), &v6) == 1;
}

}  // namespace

TlsClient::TlsClient(const std::string& trustedCertificates) : openssl_(OpenSsl()) {
  openssl_.ERR_clear_error();
  context_ = openssl_.SSL_CTX_new(openssl_.TLS_client_method());
  if (context_ == nullptr) {
    throw NetError("Secure Socket setup failed: " + ErrorQueueText(openssl_));
  }
  // SSL_CTX_set_min_proto_version
  openssl_.SSL_CTX_ctrl(context_, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
  // A page is read to the close of the connection (HTTP/1.0); many servers close without
  // the closing alert, and that close is the page's end, not an attack.
  openssl_.SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  openssl_.SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
  // Sends behave as on a plain socket: part of the bytes may go, and the rest is offered
  // again from where it stands.
  openssl_.SSL_CTX_ctrl(context_, SSL_CTRL_MODE,  // SSL_CTX_set_mode
                        SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER,
                        nullptr);
  const int loaded =
      trustedCertificates.empty()
          ? openssl_.SSL_CTX_set_default_verify_paths(context_)
          : openssl_.SSL_CTX_load_verify_locations(context_, trustedCertificates.c_str(), nullptr);
  if (loaded != 1) {
    const std::string reason = ErrorQueueText(openssl_);
    openssl_.SSL_CTX_free(context_);
    throw NetError("Secure Socket setup failed: " + reason);
  }
  // Every connection is new (HTTP/1.0); resuming the last session with a server saves most
  // of the handshake's work. The sessions are kept here, not in OpenSSL's cache, so they are
  // found by server name and port.
  openssl_.SSL_CTX_set_ex_data(context_, ClientIndex(openssl_), this);
  openssl_.SSL_CTX_ctrl(context_, SSL_CTRL_SET_SESS_CACHE_MODE,  // SSL_CTX_set_session_cache_mode
                        SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE, nullptr);
  openssl_.SSL_CTX_sess_set_new_cb(context_, &TlsClient::KeepSession);
}

TlsClient::~TlsClient() {
  End();
  for (auto& [key, session] : sessions_) openssl_.SSL_SESSION_free(session);
  openssl_.SSL_CTX_free(context_);
}

void TlsClient::Begin(int fd, const std::string& serverName, std::uint32_t port) {
  End();
  failure_.clear();
  wantsWrite_ = false;
  openssl_.ERR_clear_error();
  ssl_ = openssl_.SSL_new(context_);
  if (ssl_ == nullptr) throw NetError("Secure Socket setup failed: " + ErrorQueueText(openssl_));
  openssl_.SSL_set_fd(ssl_, fd);
  if (IsAddress(serverName)) {
    openssl_.X509_VERIFY_PARAM_set1_ip_asc(openssl_.SSL_get0_param(ssl_), serverName.c_str());
  } else {
    openssl_.SSL_ctrl(ssl_, SSL_CTRL_SET_TLSEXT_HOSTNAME,  // SSL_set_tlsext_host_name
                      TLSEXT_NAMETYPE_host_name, const_cast<char*>(serverName.c_str()));
    openssl_.SSL_set1_host(ssl_, serverName.c_str());
  }
  sessionKey_ = serverName + ":" + std::to_string(port);
  if (const auto kept = sessions_.find(sessionKey_); kept != sessions_.end()) {
    openssl_.SSL_set_session(ssl_, kept->second);
  }
}

void TlsClient::End() {
  if (ssl_ == nullptr) return;
  // No closing alert: it could block, and the socket is closed right after. Marked as shut
  // down all the same, or freeing it would spoil the session kept for resumption.
  openssl_.SSL_set_shutdown(ssl_, SSL_SENT_SHUTDOWN | SSL_RECEIVED_SHUTDOWN);
  openssl_.SSL_free(ssl_);
  ssl_ = nullptr;
}

int TlsClient::KeepSession(SSL* ssl, SSL_SESSION* session) {
  const OpenSslFunctions& openssl = OpenSsl();
  auto* client = static_cast<TlsClient*>(
      openssl.SSL_CTX_get_ex_data(openssl.SSL_get_SSL_CTX(ssl), ClientIndex(openssl)));
  if (client == nullptr || client->ssl_ != ssl) return 0;
  auto& sessions = client->sessions_;
  if (const auto old = sessions.find(client->sessionKey_); old != sessions.end()) {
    openssl.SSL_SESSION_free(old->second);
    sessions.erase(old);
  } else if (sessions.size() >= kMaxKeptSessions) {
    openssl.SSL_SESSION_free(sessions.begin()->second);
    sessions.erase(sessions.begin());
  }
  sessions.emplace(client->sessionKey_, session);
  return 1;  // the reference is ours now
}

TlsClient::Step TlsClient::Handshake() {
  openssl_.ERR_clear_error();
  errno = 0;
  const int ret = openssl_.SSL_connect(ssl_);
  if (ret == 1) return Step::kDone;
  return StepOf(ret);
}

TlsClient::Step TlsClient::StepOf(int ret) {
  switch (openssl_.SSL_get_error(ssl_, ret)) {
    case SSL_ERROR_WANT_READ:
      return Step::kWantRead;
    case SSL_ERROR_WANT_WRITE:
      return Step::kWantWrite;
    default:
      break;
  }
  const long verified = openssl_.SSL_get_verify_result(ssl_);
  if (verified != X509_V_OK) {
    failure_ = openssl_.X509_verify_cert_error_string(verified);
  } else if (openssl_.ERR_peek_last_error() != 0) {
    failure_ = ErrorQueueText(openssl_);
  } else if (errno != 0) {
    failure_ = std::string("socket error ") + std::to_string(errno);
  } else {
    failure_ = "the server closed the connection";
  }
  return Step::kFailed;
}

ssize_t TlsClient::TransferResult(int ret) {
  wantsWrite_ = false;
  const int error = openssl_.SSL_get_error(ssl_, ret);
  switch (error) {
    case SSL_ERROR_ZERO_RETURN:
      return 0;
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
      wantsWrite_ = error == SSL_ERROR_WANT_WRITE;
      errno = EAGAIN;
      return -1;
    case SSL_ERROR_SYSCALL:
      if (errno != 0 && openssl_.ERR_peek_last_error() == 0) return -1;  // the system's own error
      [[fallthrough]];
    default:
      failure_ = ErrorQueueText(openssl_);
      errno = EPROTO;
      return -1;
  }
}

ssize_t TlsClient::Read(char* buffer, std::size_t size) {
  openssl_.ERR_clear_error();
  errno = 0;
  std::size_t read = 0;
  if (openssl_.SSL_read_ex(ssl_, buffer, size, &read) == 1) return static_cast<ssize_t>(read);
  return TransferResult(0);
}

ssize_t TlsClient::Write(const char* data, std::size_t size) {
  openssl_.ERR_clear_error();
  errno = 0;
  std::size_t written = 0;
  if (openssl_.SSL_write_ex(ssl_, data, size, &written) == 1) return static_cast<ssize_t>(written);
  return TransferResult(0);
}

}  // namespace quillmark
