// A loopback TCP server for network tests: answers each connection by a script and records
// the bytes every client sent.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace quillmark::testing {

// What the server does with one accepted connection: it reads the request (up to the empty
// line that ends its header, or the client's close), records it, then sends `reply` at once,
// then `dripped` piece by piece, then the filler, then ends the connection as `ending` says.
struct Exchange {
  enum class Ending {
    kClose,  // orderly close (FIN) after everything was sent
    kReset,  // drop the connection with a reset (RST)
    kStall,  // send nothing more and keep the connection open until the client leaves
    // keep the connection for the client's next request, answered by the next exchange of
    // the script (a persistent HTTP/1.1 connection); a close there ends it quietly
    kKeepOpen,
  };

  // Builders, so a script reads as one expression:
  //   Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n").Drip("body", 1, 25ms).EndWith(kStall)
  static Exchange Reply(std::string bytes) {
    Exchange exchange;
    exchange.reply = std::move(bytes);
    return exchange;
  }
  Exchange& Drip(std::string bytes, std::size_t piece, std::chrono::milliseconds pause) {
    dripped = std::move(bytes);
    drip_bytes = piece;
    drip_pause = pause;
    return *this;
  }
  Exchange& Filler(char byte, std::uint64_t count) {
    filler = byte;
    filler_bytes = count;
    return *this;
  }
  Exchange& EndlessFiller(char byte) {
    filler = byte;
    endless_filler = true;
    return *this;
  }
  Exchange& EndWith(Ending how) {
    ending = how;
    return *this;
  }

  std::string reply;  // exact bytes, sent at once
  // Exact bytes sent `drip_bytes` at a time with `drip_pause` before each piece.
  std::string dripped;
  std::size_t drip_bytes = 1;
  std::chrono::milliseconds drip_pause{0};
  // Filler after the reply: `filler_bytes` copies of `filler`, or, when `endless_filler`,
  // as many as the client takes until it goes away.
  std::uint64_t filler_bytes = 0;
  bool endless_filler = false;
  char filler = 'x';
  Ending ending = Ending::kClose;
};

// Listens on 127.0.0.1 with a port chosen by the system; ready when the constructor returns
// (no waiting, no sleeping). Serves connections one after another on its own thread.
// Stop() (or the destructor) ends a connection in progress at once and joins the thread.
class ScriptedServer {
 public:
  // Connection i is answered with script[i]; the last entry answers every later connection.
  // (Counted in exchanges: a connection kept open by kKeepOpen takes the next entry for its
  // next request.)
  // An empty script answers by closing right after the request.
  explicit ScriptedServer(std::vector<Exchange> script = {});
  // Picks the answer from the request itself, e.g. a small site keyed by path.
  using Responder = std::function<Exchange(int connection_index, const std::string& request)>;
  explicit ScriptedServer(Responder responder);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  // Replaces the script for connections not yet accepted (for scripts that name the port).
  void SetScript(std::vector<Exchange> script);
  // Connections not yet accepted begin with a TLS handshake, the server showing the PEM
  // certificate `certificate` (see TestTlsFile) with the shared test key; the request and the
  // exchange then go through TLS, and a connection whose handshake fails is recorded with an
  // empty request and closed. Url() gives "https://" addresses from then on.
  // With kConnectFirst the server plays a proxy's tunnel as well: each connection first
  // sends a plain request (a CONNECT), recorded in Requests() of its own, answered with
  // "HTTP/1.0 200 Connection established" and an empty line; the handshake follows.
  enum class Tunnel { kNo, kConnectFirst };
  void UseTls(const std::string& certificate, Tunnel tunnel = Tunnel::kNo);

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" + path, or "https://..." after UseTls.
  std::string Url(std::string_view path = "/") const;
  // The bytes received on each connection, in connection order.
  std::vector<std::string> Requests() const;
  // Connections served so far, each counted once its request has been read (a tunnel's
  // CONNECT is not counted).
  int connections() const;
  // The number of the connection each request of Requests() came on (from 0; a tunnel's
  // CONNECT shares its connection's number).
  std::vector<int> RequestConnections() const;

  void Stop();

  // Longest request kept; a client sending more is cut off there.
  static constexpr std::size_t kMaxRequestBytes = 1 << 20;

 private:
  // One accepted connection, and its TLS session after UseTls.
  struct Link {
    int fd;
    SSL* ssl;
  };

  void Listen(int backlog);
  void Run();
  void Serve(Link& link);
  // Sends one exchange; true when the connection stays open for another request.
  bool ServeExchange(Link& link, const Exchange& exchange);
  bool Handshake(Link& link);
  // Like recv and send, through TLS when the link has it; on EAGAIN `waitFor` says what to
  // wait for.
  ssize_t Receive(Link& link, char* buffer, std::size_t size, short& waitFor);
  ssize_t Send(Link& link, std::string_view bytes, short& waitFor);
  bool ReadRequest(Link& link, std::string& request);
  bool SendAll(Link& link, std::string_view bytes);
  bool SendFiller(Link& link, const Exchange& exchange);
  void WaitForClientToLeave(int connection);
  // Waits until `fd` has `events` or Stop is asked; false on Stop.
  bool WaitFor(int fd, short events);
  bool Pause(std::chrono::milliseconds pause);

  int listener_ = -1;
  int wake_read_ = -1;
  int wake_write_ = -1;
  std::uint16_t port_ = 0;
  Responder responder_;
  std::vector<Exchange> script_;
  std::vector<std::string> requests_;
  int connections_ = 0;
  int exchanges_ = 0;
  std::vector<int> requestConnections_;
  SSL_CTX* tls_ = nullptr;
  Tunnel tunnel_ = Tunnel::kNo;
  mutable std::mutex mutex_;
  std::thread thread_;
};

// A small site for a Responder: the answer for "GET <path> " is `pages[path]`; a path not
// listed gets "HTTP/1.0 404 Not Found" and a close.
ScriptedServer::Responder ServePages(std::vector<std::pair<std::string, Exchange>> pages);

// The answer of a page: "HTTP/1.0 200 OK", an empty line, then `body`.
Exchange Page(std::string body);

// A listener whose accept queue is full and never drained: a client's connect to it neither
// succeeds nor fails until the client gives up. For connect time-outs and Cancel.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  std::uint16_t port() const { return port_; }
  std::string Url(std::string_view path = "/") const;

 private:
  int listener_ = -1;
  std::vector<int> queue_fillers_;
  std::uint16_t port_ = 0;
};

// A port on 127.0.0.1 that nothing listens on (connections are refused).
std::uint16_t UnusedLoopbackPort();

// The path of a file of the test certificates (tests/support/tls, made by its
// make-certificates.sh): "ca.pem" (the test authority), and certificates for 127.0.0.1 and
// localhost: "server.pem" (issued by it), "elsewhere.pem" (issued for elsewhere.example),
// "expired.pem" (expired in 2001), "self-signed.pem" (not issued by it).
std::string TestTlsFile(std::string_view name);

}  // namespace quillmark::testing
