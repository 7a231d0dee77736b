#include "support/scripted_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace quillmark::testing {
namespace {

[[noreturn]] void ThrowSystemError(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

int ListenOnLoopback(int backlog, std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) ThrowSystemError("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, backlog) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    ThrowSystemError("listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

std::string LoopbackUrl(std::uint16_t port, std::string_view path, bool secure = false) {
  return (secure ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port) +
         std::string(path);
}

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

bool HasHeaderEnd(const std::string& request) {
  return request.find("\r\n\r\n") != std::string::npos || request.find("\n\n") != std::string::npos;
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<Exchange> script) : script_(std::move(script)) {
  Listen(SOMAXCONN);
}

ScriptedServer::ScriptedServer(Responder responder) : responder_(std::move(responder)) {
  Listen(SOMAXCONN);
}

ScriptedServer::~ScriptedServer() {
  Stop();
  SSL_CTX_free(tls_);
  if (listener_ >= 0) ::close(listener_);
  if (wake_read_ >= 0) ::close(wake_read_);
  if (wake_write_ >= 0) ::close(wake_write_);
}

void ScriptedServer::Listen(int backlog) {
  listener_ = ListenOnLoopback(backlog, port_);
  SetNonBlocking(listener_);
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) ThrowSystemError("pipe");
  wake_read_ = wake[0];
  wake_write_ = wake[1];
  thread_ = std::thread([this] { Run(); });
}

void ScriptedServer::SetScript(std::vector<Exchange> script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
}

void ScriptedServer::UseTls(const std::string& certificate, Tunnel tunnel) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr || SSL_CTX_use_certificate_chain_file(context, certificate.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context, TestTlsFile("server.key").c_str(), SSL_FILETYPE_PEM) !=
          1) {
    SSL_CTX_free(context);
    throw std::runtime_error("cannot serve TLS with " + certificate);
  }
  std::lock_guard lock(mutex_);
  SSL_CTX_free(tls_);
  tls_ = context;
  tunnel_ = tunnel;
}

std::string ScriptedServer::Url(std::string_view path) const {
  std::lock_guard lock(mutex_);
  return LoopbackUrl(port_, path, tls_ != nullptr);
}

std::string TestTlsFile(std::string_view name) {
  return std::string(QUILLMARK_TEST_TLS_DIR) + "/" + std::string(name);
}

ScriptedServer::Responder ServePages(std::vector<std::pair<std::string, Exchange>> pages) {
  return [pages = std::move(pages)](int, const std::string& request) {
    for (const auto& [path, answer] : pages) {
      if (request.starts_with("GET " + path + " ")) return answer;
    }
    return Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\n");
  };
}

Exchange Page(std::string body) { return Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n" + body); }

std::vector<std::string> ScriptedServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int ScriptedServer::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

std::vector<int> ScriptedServer::RequestConnections() const {
  std::lock_guard lock(mutex_);
  return requestConnections_;
}

void ScriptedServer::Stop() {
  if (!thread_.joinable()) return;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_write_, &byte, 1);
  thread_.join();
}

bool ScriptedServer::WaitFor(int fd, short events) {
  pollfd fds[2] = {{fd, events, 0}, {wake_read_, POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (fds[1].revents != 0) return false;
    if (fds[0].revents != 0) return true;
  }
}

bool ScriptedServer::Pause(std::chrono::milliseconds pause) {
  pollfd wake{wake_read_, POLLIN, 0};
  return ::poll(&wake, 1, static_cast<int>(pause.count())) == 0;
}

void ScriptedServer::Run() {
  while (WaitFor(listener_, POLLIN)) {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) continue;
    Link link{connection, nullptr};
    bool tunnel = false;
    {
      std::lock_guard lock(mutex_);
      if (tls_ != nullptr) {
        link.ssl = SSL_new(tls_);
        SSL_set_fd(link.ssl, connection);
        tunnel = tunnel_ == Tunnel::kConnectFirst;
      }
    }
    if (tunnel) {
      Link plain{connection, nullptr};
      std::string connect;
      const bool read = ReadRequest(plain, connect);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(connect);
        requestConnections_.push_back(connections_);
      }
      if (!read || !SendAll(plain, "HTTP/1.0 200 Connection established\r\n\r\n")) {
        SSL_free(link.ssl);
        ::close(connection);
        continue;
      }
    }
    Serve(link);
    SSL_free(link.ssl);
    ::close(connection);
  }
}

bool ScriptedServer::Handshake(Link& link) {
  for (;;) {
    ERR_clear_error();
    const int result = SSL_accept(link.ssl);
    if (result == 1) return true;
    const int error = SSL_get_error(link.ssl, result);
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return false;
    if (!WaitFor(link.fd, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT)) return false;
  }
}

ssize_t ScriptedServer::Receive(Link& link, char* buffer, std::size_t size, short& waitFor) {
  waitFor = POLLIN;
  if (link.ssl == nullptr) return ::recv(link.fd, buffer, size, 0);
  ERR_clear_error();
  std::size_t count = 0;
  if (SSL_read_ex(link.ssl, buffer, size, &count) == 1) return static_cast<ssize_t>(count);
  const int error = SSL_get_error(link.ssl, 0);
  if (error == SSL_ERROR_ZERO_RETURN) return 0;
  if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
    if (error == SSL_ERROR_WANT_WRITE) waitFor = POLLOUT;
    errno = EAGAIN;
    return -1;
  }
  // The client closed without the closing alert: the end of what it had to say.
  if (error == SSL_ERROR_SYSCALL && errno == 0) return 0;
  errno = ECONNRESET;
  return -1;
}

ssize_t ScriptedServer::Send(Link& link, std::string_view bytes, short& waitFor) {
  waitFor = POLLOUT;
  if (link.ssl == nullptr) return ::send(link.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  ERR_clear_error();
  std::size_t count = 0;
  if (SSL_write_ex(link.ssl, bytes.data(), bytes.size(), &count) == 1) {
    return static_cast<ssize_t>(count);
  }
  const int error = SSL_get_error(link.ssl, 0);
  if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
    if (error == SSL_ERROR_WANT_READ) waitFor = POLLIN;
    errno = EAGAIN;
    return -1;
  }
  errno = EPIPE;
  return -1;
}

void ScriptedServer::Serve(Link& link) {
  if (link.ssl != nullptr && !Handshake(link)) {
    std::lock_guard lock(mutex_);
    requestConnections_.push_back(connections_++);
    requests_.emplace_back();
    ++exchanges_;
    return;
  }
  int connection_number = -1;
  for (;;) {
    std::string request;
    const bool read = ReadRequest(link, request);
    // The client closed a kept connection instead of asking again: nothing to record.
    if (connection_number >= 0 && request.empty()) return;
    Exchange exchange;
    {
      std::lock_guard lock(mutex_);
      if (connection_number < 0) connection_number = connections_++;
      const int index = exchanges_++;
      requests_.push_back(request);
      requestConnections_.push_back(connection_number);
      if (responder_) {
        exchange = responder_(index, request);
      } else if (!script_.empty()) {
        exchange = script_[std::min<std::size_t>(index, script_.size() - 1)];
      }
    }
    if (!read || !ServeExchange(link, exchange)) return;
  }
}

bool ScriptedServer::ServeExchange(Link& link, const Exchange& exchange) {
  const int connection = link.fd;

  bool sent = SendAll(link, exchange.reply);
  std::string_view rest = exchange.dripped;
  while (sent && !rest.empty()) {
    const std::size_t piece = std::min(std::max<std::size_t>(exchange.drip_bytes, 1), rest.size());
    sent = Pause(exchange.drip_pause) && SendAll(link, rest.substr(0, piece));
    rest.remove_prefix(piece);
  }
  if (sent) sent = SendFiller(link, exchange);
  if (!sent) return false;

  switch (exchange.ending) {
    case Exchange::Ending::kKeepOpen:
      return true;
    case Exchange::Ending::kClose:
      if (link.ssl != nullptr) SSL_shutdown(link.ssl);  // the closing alert, sent once
      ::shutdown(connection, SHUT_WR);
      WaitForClientToLeave(connection);  // closing with unread input would send a reset
      break;
    case Exchange::Ending::kReset: {
      const linger drop{1, 0};
      ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &drop, sizeof drop);
      break;
    }
    case Exchange::Ending::kStall:
      WaitForClientToLeave(connection);
      break;
  }
  return false;
}

bool ScriptedServer::ReadRequest(Link& link, std::string& request) {
  char buffer[4096];
  while (!HasHeaderEnd(request) && request.size() < kMaxRequestBytes) {
    short waitFor = 0;
    const ssize_t count = Receive(link, buffer, sizeof buffer, waitFor);
    if (count > 0) {
      request.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0) {
      return true;  // the client said all it had to say
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
      if (!WaitFor(link.fd, waitFor)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool ScriptedServer::SendAll(Link& link, std::string_view bytes) {
  while (!bytes.empty()) {
    short waitFor = 0;
    const ssize_t count = Send(link, bytes, waitFor);
    if (count > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(count));
    } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (!WaitFor(link.fd, waitFor)) return false;
    } else {
      return false;  // the client went away
    }
  }
  return true;
}

bool ScriptedServer::SendFiller(Link& link, const Exchange& exchange) {
  if (exchange.filler_bytes == 0 && !exchange.endless_filler) return true;
  const std::string block(64 * 1024, exchange.filler);
  std::uint64_t left = exchange.filler_bytes;
  while (exchange.endless_filler || left > 0) {
    const std::size_t piece =
        exchange.endless_filler ? block.size() : std::min<std::uint64_t>(left, block.size());
    if (!SendAll(link, std::string_view(block).substr(0, piece))) {
      return false;
    }
    left -= exchange.endless_filler ? 0 : piece;
  }
  return true;
}

void ScriptedServer::WaitForClientToLeave(int connection) {
  char buffer[4096];
  for (;;) {
    const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
    if (count == 0) return;
    if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return;
    if (count < 0 && !WaitFor(connection, POLLIN)) return;
  }
}

SilentListener::SilentListener() {
  listener_ = ListenOnLoopback(0, port_);
  // Fill the accept queue ourselves; later connection attempts get no answer at all.
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  for (int i = 0; i < 2; ++i) {
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (filler < 0) ThrowSystemError("socket");
    ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    queue_fillers_.push_back(filler);
  }
}

SilentListener::~SilentListener() {
  for (const int filler : queue_fillers_) ::close(filler);
  ::close(listener_);
}

std::string SilentListener::Url(std::string_view path) const { return LoopbackUrl(port_, path); }

std::uint16_t UnusedLoopbackPort() {
  std::uint16_t port = 0;
  const int fd = ListenOnLoopback(1, port);
  ::close(fd);  // nothing listens there any more; a new listener would get another port
  return port;
}

}  // namespace quillmark::testing
