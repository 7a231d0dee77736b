#include "net/tls_client.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>

#include "net/net_error.h"

namespace quillmark {
namespace {

// The ex_data slot of an SSL_CTX that points back at its TlsClient.
int ClientIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

std::string ErrorQueueText() {
  const unsigned long error = ERR_peek_last_error();
  if (error == 0) return "unknown error";
  char text[256];
  ERR_error_string_n(error, text, sizeof text);
  return text;
}

bool IsAddress(const std::string& name) {
  in_addr v4;
  in6_addr v6;
  return ::inet_pton(AF_INET, name.c_str(), &v4) == 1 ||
         ::inet_pton(AF_INET6, name.c_str(), &v6) == 1;
}

}  // namespace

TlsClient::TlsClient(const std::string& trustedCertificates) {
  ERR_clear_error();
  context_ = SSL_CTX_new(TLS_client_method());
  if (context_ == nullptr) throw NetError("Secure Socket setup failed: " + ErrorQueueText());
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  // A page is read to the close of the connection (HTTP/1.0); many servers close without
  // the closing alert, and that close is the page's end, not an attack.
  SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
  // Sends behave as on a plain socket: part of the bytes may go, and the rest is offered
  // again from where it stands.
  SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  const int loaded =
      trustedCertificates.empty()
          ? SSL_CTX_set_default_verify_paths(context_)
          : SSL_CTX_load_verify_locations(context_, trustedCertificates.c_str(), nullptr);
  if (loaded != 1) {
    const std::string reason = ErrorQueueText();
    SSL_CTX_free(context_);
    throw NetError("Secure Socket setup failed: " + reason);
  }
  // Every connection is new (HTTP/1.0); resuming the last session with a server saves most
  // of the handshake's work. The sessions are kept here, not in OpenSSL's cache, so they are
  // found by server name and port.
  SSL_CTX_set_ex_data(context_, ClientIndex(), this);
  SSL_CTX_set_session_cache_mode(context_,
                                 SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
  SSL_CTX_sess_set_new_cb(context_, &TlsClient::KeepSession);
}

TlsClient::~TlsClient() {
  End();
  for (auto& [key, session] : sessions_) SSL_SESSION_free(session);
  SSL_CTX_free(context_);
}

void TlsClient::Begin(int fd, const std::string& serverName, std::uint32_t port) {
  End();
  failure_.clear();
  wantsWrite_ = false;
  ERR_clear_error();
  ssl_ = SSL_new(context_);
  if (ssl_ == nullptr) throw NetError("Secure Socket setup failed: " + ErrorQueueText());
  SSL_set_fd(ssl_, fd);
  if (IsAddress(serverName)) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), serverName.c_str());
  } else {
    SSL_set_tlsext_host_name(ssl_, serverName.c_str());
    SSL_set1_host(ssl_, serverName.c_str());
  }
  sessionKey_ = serverName + ":" + std::to_string(port);
  if (const auto kept = sessions_.find(sessionKey_); kept != sessions_.end()) {
    SSL_set_session(ssl_, kept->second);
  }
}

void TlsClient::End() {
  if (ssl_ == nullptr) return;
  // No closing alert: it could block, and the socket is closed right after. Marked as shut
  // down all the same, or freeing it would spoil the session kept for resumption.
  SSL_set_shutdown(ssl_, SSL_SENT_SHUTDOWN | SSL_RECEIVED_SHUTDOWN);
  SSL_free(ssl_);
  ssl_ = nullptr;
}

int TlsClient::KeepSession(SSL* ssl, SSL_SESSION* session) {
  auto* client = static_cast<TlsClient*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), ClientIndex()));
  if (client == nullptr || client->ssl_ != ssl) return 0;
  auto& sessions = client->sessions_;
  if (const auto old = sessions.find(client->sessionKey_); old != sessions.end()) {
    SSL_SESSION_free(old->second);
    sessions.erase(old);
  } else if (sessions.size() >= kMaxKeptSessions) {
    SSL_SESSION_free(sessions.begin()->second);
    sessions.erase(sessions.begin());
  }
  sessions.emplace(client->sessionKey_, session);
  return 1;  // the reference is ours now
}

TlsClient::Step TlsClient::Handshake() {
  ERR_clear_error();
  errno = 0;
  const int ret = SSL_connect(ssl_);
  if (ret == 1) return Step::kDone;
  return StepOf(ret);
}

TlsClient::Step TlsClient::StepOf(int ret) {
  switch (SSL_get_error(ssl_, ret)) {
    case SSL_ERROR_WANT_READ:
      return Step::kWantRead;
    case SSL_ERROR_WANT_WRITE:
      return Step::kWantWrite;
    default:
      break;
  }
  const long verified = SSL_get_verify_result(ssl_);
  if (verified != X509_V_OK) {
    failure_ = X509_verify_cert_error_string(verified);
  } else if (ERR_peek_last_error() != 0) {
    failure_ = ErrorQueueText();
  } else if (errno != 0) {
    failure_ = std::string("socket error ") + std::to_string(errno);
  } else {
    failure_ = "the server closed the connection";
  }
  return Step::kFailed;
}

ssize_t TlsClient::TransferResult(int ret) {
  wantsWrite_ = false;
  const int error = SSL_get_error(ssl_, ret);
  switch (error) {
    case SSL_ERROR_ZERO_RETURN:
      return 0;
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
      wantsWrite_ = error == SSL_ERROR_WANT_WRITE;
      errno = EAGAIN;
      return -1;
    case SSL_ERROR_SYSCALL:
      if (errno != 0 && ERR_peek_last_error() == 0) return -1;  // the system's own error
      [[fallthrough]];
    default:
      failure_ = ErrorQueueText();
      errno = EPROTO;
      return -1;
  }
}

ssize_t TlsClient::Read(char* buffer, std::size_t size) {
  ERR_clear_error();
  errno = 0;
  std::size_t read = 0;
  if (SSL_read_ex(ssl_, buffer, size, &read) == 1) return static_cast<ssize_t>(read);
  return TransferResult(0);
}

ssize_t TlsClient::Write(const char* data, std::size_t size) {
  ERR_clear_error();
  errno = 0;
  std::size_t written = 0;
  if (SSL_write_ex(ssl_, data, size, &written) == 1) return static_cast<ssize_t>(written);
  return TransferResult(0);
}

}  // namespace quillmark
