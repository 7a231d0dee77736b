// TPowersock: a TCP client connection whose operations look blocking to the caller but keep
// the application live while they wait.
//
// What may run during a wait. Every waiting step (name lookup, connect, send, ReadLn,
// CaptureString) turns a small loop: poll the socket and the resolver's sockets for at most
// 100 ms (returning at once when one is ready), call `Pump`, then look at the flags and the
// deadline. `Pump` is how the application lets its own events run (the window timer, a Cancel
// click), so the owner's handlers run *inside* these loops. From there a handler may call
// `Cancel` or `Abort` (the step ends with its "aborted"/"Canceled" error) or `Disconnect` (the
// step ends as if the peer had closed: a read returns what it has, a connect fails). A handler
// must not start another operation of the same instance, above all not another fetch: the
// next fetch starts after the current call has returned, never nested inside it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <netinet/in.h>
#include <sys/types.h>

namespace quillmark {

class HostLookup;
class TlsClient;

class TPowersock {
 public:
  // Throws NetError("Initializaton of windows sockets failed") when the socket library
  // cannot be set up; when libcares cannot be loaded, ": " and the loader's reason follow.
  TPowersock();
  virtual ~TPowersock();
  TPowersock(const TPowersock&) = delete;
  TPowersock& operator=(const TPowersock&) = delete;

  std::string Host;        // remote host name or dotted address
  std::uint32_t Port = 0;  // remote port
  std::string Proxy;       // when not empty, lookup and connection go here instead of Host
  std::uint32_t ProxyPort = 0;
  std::uint32_t TimeOut = 10000;  // milliseconds, for each waiting step
  // Comma-separated name servers ("127.0.0.1:53") used instead of the system's; empty means
  // the system configuration. The hosts file is always read first.
  std::string NameServers;
  // A PEM file of the certificate authorities a secure connection trusts; empty means the
  // system's trusted roots.
  std::string TrustedCertificates;
  // When set, a connection straight to Host (no proxy between) whose looked-up address is
  // inward (inward_address.h) fails with "Inward address refused", as a failed connection
  // does. Off by default: what the user names is always fetched.
  bool RefuseInward = false;

  // Events. Each runs on the caller's thread, inside Connect.
  std::function<void()> OnHostResolved;              // a name was looked up (not for dotted ones)
  std::function<void()> OnConnect;                   // the connection is established
  std::function<void(bool& handled)> OnInvalidHost;  // lookup failed; set handled to retry once
  std::function<void()> OnConnectionFailed;          // the connection could not be established
  // Called in every turn of every wait (see the top of this file). Empty by default.
  std::function<void()> Pump;
  // Where the time limits read the time; empty means std::chrono::steady_clock. A test puts
  // in a clock it moves itself (from `Pump`, say), so a limit runs out without real waiting.
  std::function<std::chrono::steady_clock::time_point()> Clock;

  // Looks up Proxy (when set) or Host and connects to ProxyPort or Port. Returns when
  // connected. Throws NetError: "Already connected"; "Host Lookup Timed Out" and
  // "Host Lookup Canceled" (no event); "Null Remote Address" after OnInvalidHost;
  // "Connection Timed out", "Connection Canceled" or "Connection Failed" after
  // OnConnectionFailed (also when Disconnect runs during the connect).
  virtual void Connect();
  // Closes the connection at once; safe in any state, also from a handler inside a wait.
  virtual void Disconnect();
  // Sets the cancel flag: the waiting step in progress ends with its error.
  void Cancel();
  // Cancel; also what the time limit calls when it runs out.
  virtual void Abort();

  // Sends the text up to its first zero byte. Throws as SendBuffer.
  void Write(const std::string& text);
  // Write of the text followed by CR LF.
  void Writeln(const std::string& text);
  // Sends all `length` bytes (0: up to the first zero byte). Throws NetError("Socket send
  // aborted") on cancel or time-out, or a numbered error ("10057:Socket is not connected").
  void SendBuffer(const char* data, std::size_t length);
  // One line including its line end (LF or CR LF). Returns "" when the peer closes before the
  // line is complete, or when Disconnect ran. Throws NetError("Socket readln aborted") on
  // cancel or time-out, NetError("Socket readln line too long") when no line end comes within
  // kWorkingBufferSize bytes, or a numbered error ("10054:Connection reset by peer").
  std::string ReadLn();
  // Replaces `text` with everything received until the peer closes, Disconnect runs, or the
  // text holds `maximum` bytes (-1: kMaxCaptureBytes, the ceiling for any value). The time
  // limit restarts with every chunk. Throws NetError("Socket capture aborted") on cancel or
  // time-out, or a numbered error.
  void CaptureString(std::string& text, long long maximum);

  // The n-th (1-based) field of `text` cut at every `separator` (fields may be empty); empty
  // when there are fewer fields.
  static std::string NthWord(std::string_view text, char separator, int n);
  // The 1-based position of the n-th `separator`; text length + 1 when there are fewer.
  static std::size_t NthPos(std::string_view text, char separator, int n);

  bool Connected() const { return connected_; }
  // Whether the last connection straight to Host (no proxy) went to an inward address.
  bool ReachedInward() const { return reached_inward_; }
  // Whether the connection speaks TLS (StartTls has succeeded on it).
  bool Secure() const;

  static constexpr std::size_t kWorkingBufferSize = 65536;
  static constexpr long long kMaxCaptureBytes = 64LL * 1024 * 1024;

 protected:
  // Connect to `name` (looked up as Host is) on `port`, whatever Proxy says: what Connect
  // does with the proxy or the host. Throws as Connect.
  void ConnectTo(const std::string& name, std::uint32_t port);
  // Turns the connection into a TLS session with `serverName` on `port` (SNI, TLS 1.2 or
  // later, the certificate checked against TrustedCertificates and the name), in the same
  // wait loop as a connect: the pump runs, Cancel, Disconnect and the time limit end it.
  // From then on Write, ReadLn and CaptureString go through TLS. Any failure is a failed
  // connection: OnConnectionFailed, then NetError "Connection Timed out", "Connection
  // Canceled", "Connection Failed" (Disconnect) or "Secure connection failed: <reason>" (a
  // refused handshake or certificate), the socket disconnected.
  void StartTls(const std::string& serverName, std::uint32_t port);
  // OnConnectionFailed, then NetError(message), the socket disconnected first.
  [[noreturn]] void FailConnection(const std::string& message);
  // Time limit of the waiting step in progress.
  void TimerOn();
  void TimerOff();
  void TimerFired();
  // Makes `fd`, an already connected non-blocking stream socket, this connection instead of
  // looking up and connecting: for a subclass whose Connect feeds the reader from a socket
  // pair. Takes ownership; fires OnConnect.
  void AdoptConnectedSocket(int fd);

 private:
  enum class LookupOutcome { kResolved, kFailed, kAbandoned };

  // Stops the time limit on every way out of a waiting step, errors included.
  struct TimeLimitScope {
    TPowersock& owner;
    ~TimeLimitScope() { owner.TimerOff(); }
  };

  LookupOutcome ResolveRemoteHost(const std::string& name, std::uint64_t generation);
  void OpenSocket();
  void CloseSocket();
  void ConnectionEstablished();
  // Like recv and send on the socket, or through TLS once it is on: bytes moved, 0 at the
  // peer's close (receive only), or -1 with errno. On EAGAIN, `waitFor` is the readiness to
  // poll for. A TLS protocol error throws NetError("Secure connection error: <reason>").
  ssize_t ReceiveSome(char* buffer, std::size_t size, short& waitFor);
  ssize_t SendSome(const char* data, std::size_t size, short& waitFor);
  // Polls the socket for `socket_events` (0: not at all) and the resolver's sockets for at
  // most 100 ms, returns at once when one is ready, and hands the resolver what arrived.
  // Returns the socket's revents.
  short PollOnce(short socket_events);
  // The second half of every turn: the pump, then the deadline.
  void PumpAndCheckTime();
  // A waiting step's last word on Cancel or a time-out: clears the cancel flag and throws
  // NetError(message) when it is set.
  void ThrowIfCancelled(const char* message);
  std::chrono::steady_clock::time_point Now() const;
  [[noreturn]] void RaiseSocketError(int error_number);

  int socket_ = -1;
  // Disconnect changes it; a descriptor number can be reused after close, so loops compare
  // generations, not descriptors, to see that their connection is gone.
  std::uint64_t generation_ = 0;
  bool connected_ = false;
  bool cancel_ = false;
  bool timed_out_ = false;
  bool lookup_done_ = false;
  bool no_error_ = true;
  in_addr remote_address_{};
  bool reached_inward_ = false;
  std::unique_ptr<HostLookup> lookup_;
  // Made at the first StartTls and kept (with its resumable sessions) while
  // TrustedCertificates stays what it was made with.
  std::unique_ptr<TlsClient> tls_;
  std::string tlsTrust_;
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  // Bytes received but not yet handed out by ReadLn (CaptureString takes them first).
  std::string received_;
  std::size_t received_start_ = 0;
  std::unique_ptr<char[]> working_buffer_;
};

}  // namespace quillmark
