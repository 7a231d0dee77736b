#include "net/powersock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "net/host_lookup.h"
#include "net/inward_address.h"
#include "net/net_error.h"
#include "net/tls_client.h"

namespace quillmark {
namespace {

// Longest a wait sleeps before it runs the pump again; poll returns earlier when ready. A tenth
// of a second keeps the window and Cancel live while an idle wait wakes ten times a second
// (a 2 ms slice woke 470 times a second for nothing).
constexpr int kWaitSliceMs = 100;
constexpr int kMaxResolverSockets = 16;

bool WouldBlock(int error_number) { return error_number == EAGAIN || error_number == EWOULDBLOCK; }

}  // namespace

TPowersock::TPowersock() : working_buffer_(new char[kWorkingBufferSize]) {
  std::string failure;
  if (!InitResolverLibrary(&failure)) {
    throw NetError("Initializaton of windows sockets failed" +
                   (failure.empty() ? std::string() : ": " + failure));
  }
}

TPowersock::~TPowersock() {
  lookup_.reset();
  CloseSocket();
}

// ---------------------------------------------------------------------------------------------
// Connecting

void TPowersock::Connect() {
  if (Proxy.empty()) {
    ConnectTo(Host, Port);
  } else {
    ConnectTo(Proxy, ProxyPort);
  }
}

void TPowersock::ConnectTo(const std::string& name, std::uint32_t port) {
  if (connected_) throw NetError("Already connected");
  cancel_ = false;
  reached_inward_ = false;
  const std::uint64_t generation = generation_;

  LookupOutcome outcome = ResolveRemoteHost(name, generation);
  if (outcome == LookupOutcome::kFailed) {
    bool handled = false;
    if (OnInvalidHost) OnInvalidHost(handled);
    if (!handled) throw NetError("Null Remote Address");
    outcome = ResolveRemoteHost(name, generation);  // the one retry a handler may ask for
    if (outcome == LookupOutcome::kFailed) throw NetError("Null Remote Address");
  }
  if (outcome == LookupOutcome::kAbandoned) FailConnection("Connection Failed");

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr = remote_address_;
  if (name == Host) {
    reached_inward_ = IsInwardAddress(reinterpret_cast<const sockaddr&>(address));
    if (RefuseInward && reached_inward_) FailConnection("Inward address refused");
  }
  OpenSocket();
  no_error_ = true;
  if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    ConnectionEstablished();
  } else if (errno != EINPROGRESS && errno != EINTR) {
    no_error_ = false;  // refused at once: the same outcome as a failed connect notification
  }

  TimeLimitScope time_limit{*this};
  TimerOn();
  while (!connected_ && !timed_out_ && !cancel_ && no_error_ && generation == generation_) {
    const short revents = PollOnce(POLLOUT);
    if (revents != 0) {
      int error = 0;
      socklen_t length = sizeof error;
      ::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &length);
      if (error == 0 && (revents & POLLOUT) != 0) {
        ConnectionEstablished();
      } else {
        no_error_ = false;
      }
    }
    PumpAndCheckTime();
  }
  TimerOff();
  if (connected_ && !timed_out_ && !cancel_ && no_error_ && generation == generation_) return;
  FailConnection(timed_out_ ? "Connection Timed out"
                 : cancel_  ? "Connection Canceled"
                            : "Connection Failed");
}

void TPowersock::StartTls(const std::string& serverName, std::uint32_t port) {
  const std::uint64_t generation = generation_;
  try {
    if (tls_ == nullptr || tlsTrust_ != TrustedCertificates) {
      tls_.reset();
      tls_ = std::make_unique<TlsClient>(TrustedCertificates);
      tlsTrust_ = TrustedCertificates;
    }
    tls_->Begin(socket_, serverName, port);
  } catch (const NetError& error) {
    FailConnection(error.what());
  }

  TimeLimitScope time_limit{*this};
  TimerOn();
  for (;;) {
    if (generation != generation_ || socket_ < 0) FailConnection("Connection Failed");
    const TlsClient::Step step = tls_->Handshake();
    if (step == TlsClient::Step::kDone) break;
    if (step == TlsClient::Step::kFailed) {
      FailConnection("Secure connection failed: " + tls_->FailureText());
    }
    PollOnce(step == TlsClient::Step::kWantWrite ? POLLOUT : POLLIN);
    PumpAndCheckTime();
    if (timed_out_) FailConnection("Connection Timed out");
    if (cancel_) FailConnection("Connection Canceled");
  }
  TimerOff();
}

bool TPowersock::Secure() const { return tls_ != nullptr && tls_->Active(); }

TPowersock::LookupOutcome TPowersock::ResolveRemoteHost(const std::string& name,
                                                        std::uint64_t generation) {
  if (generation != generation_) return LookupOutcome::kAbandoned;
  if (::inet_pton(AF_INET, name.c_str(), &remote_address_) == 1) return LookupOutcome::kResolved;

  TimeLimitScope time_limit{*this};
  TimerOn();
  lookup_ = std::make_unique<HostLookup>(name, NameServers);
  lookup_done_ = lookup_->done();  // the hosts file answers at once
  while (!lookup_done_ && !timed_out_ && !cancel_ && generation == generation_) {
    PollOnce(0);
    PumpAndCheckTime();
  }
  TimerOff();
  const bool succeeded = lookup_->done() && lookup_->succeeded();
  const in_addr address = lookup_->address();
  lookup_.reset();  // a lookup still running stops here, at once

  if (timed_out_) {
    cancel_ = false;
    throw NetError("Host Lookup Timed Out");
  }
  ThrowIfCancelled("Host Lookup Canceled");
  if (generation != generation_) return LookupOutcome::kAbandoned;
  if (!succeeded) return LookupOutcome::kFailed;
  remote_address_ = address;
  if (OnHostResolved) OnHostResolved();
  return LookupOutcome::kResolved;
}

void TPowersock::ConnectionEstablished() {
  connected_ = true;
  if (OnConnect) OnConnect();
}

void TPowersock::FailConnection(const std::string& message) {
  cancel_ = false;
  Disconnect();  // the half-made connection is dropped before the owner hears of it
  if (OnConnectionFailed) OnConnectionFailed();
  throw NetError(message);
}

void TPowersock::OpenSocket() {
  CloseSocket();
  received_.clear();
  received_start_ = 0;
  socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket_ < 0) RaiseSocketError(errno);
  // Requests go out in one write; without this a second small write would wait for an ACK.
  const int on = 1;
  ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void TPowersock::AdoptConnectedSocket(int fd) {
  CloseSocket();
  received_.clear();
  received_start_ = 0;
  socket_ = fd;
  ConnectionEstablished();
}

void TPowersock::CloseSocket() {
  if (tls_ != nullptr) tls_->End();
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
}

void TPowersock::Disconnect() {
  connected_ = false;
  CloseSocket();
  ++generation_;
  received_.clear();
  received_start_ = 0;
}

void TPowersock::Cancel() { cancel_ = true; }

void TPowersock::Abort() { Cancel(); }

// ---------------------------------------------------------------------------------------------
// Waiting

short TPowersock::PollOnce(short socket_events) {
  pollfd fds[1 + kMaxResolverSockets];
  int count = 0;
  int socket_index = -1;
  if (socket_events != 0 && socket_ >= 0) {
    socket_index = count;
    fds[count++] = pollfd{socket_, socket_events, 0};
  }
  const int lookup_first = count;
  if (lookup_ != nullptr) count += lookup_->AddPollDescriptors(fds + count, kMaxResolverSockets);

  if (::poll(fds, static_cast<nfds_t>(count), kWaitSliceMs) < 0) {
    for (int i = 0; i < count; ++i) fds[i].revents = 0;  // interrupted: a turn with no news
  }
  if (lookup_ != nullptr) {
    lookup_->Process(fds + lookup_first, count - lookup_first);
    if (lookup_->done()) lookup_done_ = true;
  }
  return socket_index >= 0 ? fds[socket_index].revents : 0;
}

void TPowersock::PumpAndCheckTime() {
  if (Pump) Pump();
  if (deadline_ && Now() >= *deadline_) TimerFired();
}

void TPowersock::ThrowIfCancelled(const char* message) {
  if (!cancel_) return;
  cancel_ = false;  // reported once: the next step starts afresh
  throw NetError(message);
}

std::chrono::steady_clock::time_point TPowersock::Now() const {
  return Clock ? Clock() : std::chrono::steady_clock::now();
}

void TPowersock::TimerOn() {
  timed_out_ = false;
  deadline_ = Now() + std::chrono::milliseconds(TimeOut);
}

void TPowersock::TimerOff() { deadline_.reset(); }

void TPowersock::TimerFired() {
  deadline_.reset();
  timed_out_ = true;
  lookup_done_ = true;
  Abort();
}

void TPowersock::RaiseSocketError(int error_number) {
  const int number = WinsockNumberFromErrno(error_number);
  ErrorManager(number);
  throw NetError(SocketErrorStr(number), number);  // only for numbers ErrorManager lets pass
}

ssize_t TPowersock::ReceiveSome(char* buffer, std::size_t size, short& waitFor) {
  waitFor = POLLIN;
  if (!Secure()) return ::recv(socket_, buffer, size, 0);
  const ssize_t count = tls_->Read(buffer, size);
  if (count < 0 && errno == EPROTO) {
    throw NetError("Secure connection error: " + tls_->FailureText());
  }
  if (tls_->WaitsForWrite()) waitFor = POLLOUT;
  return count;
}

ssize_t TPowersock::SendSome(const char* data, std::size_t size, short& waitFor) {
  waitFor = POLLOUT;
  if (!Secure()) return ::send(socket_, data, size, MSG_NOSIGNAL);
  const ssize_t count = tls_->Write(data, size);
  if (count < 0 && errno == EPROTO) {
    throw NetError("Secure connection error: " + tls_->FailureText());
  }
  if (count < 0 && errno == EAGAIN && !tls_->WaitsForWrite()) waitFor = POLLIN;
  return count;
}

// ---------------------------------------------------------------------------------------------
// Sending

void TPowersock::Write(const std::string& text) {
  SendBuffer(text.c_str(), std::min(text.size(), std::strlen(text.c_str())));
}

void TPowersock::Writeln(const std::string& text) { Write(text + "\r\n"); }

void TPowersock::SendBuffer(const char* data, std::size_t length) {
  if (length == 0) length = std::strlen(data);
  const std::uint64_t generation = generation_;
  TimeLimitScope time_limit{*this};
  TimerOn();
  std::size_t sent = 0;
  while (!cancel_ && sent < length) {
    if (generation != generation_ || socket_ < 0) RaiseSocketError(ENOTCONN);
    short waitFor = 0;
    const ssize_t count = SendSome(data + sent, length - sent, waitFor);
    if (count > 0) {
      sent += static_cast<std::size_t>(count);
      continue;
    }
    if (count == 0) break;
    if (errno == EINTR) continue;
    if (!WouldBlock(errno)) RaiseSocketError(errno);
    PollOnce(waitFor);
    PumpAndCheckTime();
  }
  TimerOff();
  ThrowIfCancelled("Socket send aborted");
}

// ---------------------------------------------------------------------------------------------
// Receiving

std::string TPowersock::ReadLn() {
  const std::uint64_t generation = generation_;
  TimeLimitScope time_limit{*this};
  TimerOn();
  for (;;) {
    const std::size_t available = received_.size() - received_start_;
    const char* begin = received_.data() + received_start_;
    const void* line_feed = std::memchr(begin, '\n', std::min(available, kWorkingBufferSize));
    if (line_feed != nullptr) {
      const std::size_t length = static_cast<const char*>(line_feed) - begin + 1;
      std::string line(begin, length);
      received_start_ += length;
      return line;
    }
    if (available >= kWorkingBufferSize) throw NetError("Socket readln line too long");
    // Replaced by Disconnect (or never connected): as at a close.
    if (generation != generation_ || socket_ < 0) return {};

    received_.erase(0, received_start_);
    received_start_ = 0;
    short waitFor = 0;
    const ssize_t count = ReceiveSome(working_buffer_.get(), kWorkingBufferSize, waitFor);
    if (count > 0) {
      received_.append(working_buffer_.get(), static_cast<std::size_t>(count));
    } else if (count == 0) {
      received_.clear();  // a line the peer did not finish is no line
      return {};
    } else if (errno == EINTR) {
      continue;
    } else if (WouldBlock(errno)) {
      PollOnce(waitFor);
    } else if (errno == ENOTCONN) {
      return {};
    } else {
      RaiseSocketError(errno);
    }
    PumpAndCheckTime();
    ThrowIfCancelled("Socket readln aborted");
  }
}

void TPowersock::CaptureString(std::string& text, long long maximum) {
  text.clear();
  const std::size_t limit = static_cast<std::size_t>(
      maximum < 0 || maximum > kMaxCaptureBytes ? kMaxCaptureBytes : maximum);
  const std::uint64_t generation = generation_;
  TimeLimitScope time_limit{*this};
  TimerOn();

  // What ReadLn already took from the socket comes first.
  const std::size_t buffered = std::min(received_.size() - received_start_, limit);
  text.append(received_, received_start_, buffered);
  received_start_ += buffered;

  while (!cancel_ && text.size() < limit) {
    if (generation != generation_ || socket_ < 0) break;  // Disconnect: end with what arrived
    const std::size_t room = std::min(kWorkingBufferSize, limit - text.size());
    short waitFor = 0;
    const ssize_t count = ReceiveSome(working_buffer_.get(), room, waitFor);
    if (count > 0) {
      text.append(working_buffer_.get(), static_cast<std::size_t>(count));
      TimerOn();  // the limit is on silence, not on the whole transfer
    } else if (count == 0) {
      break;
    } else if (errno == EINTR) {
      continue;
    } else if (WouldBlock(errno)) {
      PollOnce(waitFor);
    } else if (errno == ENOTCONN) {
      break;
    } else {
      RaiseSocketError(errno);
    }
    PumpAndCheckTime();
  }
  TimerOff();
  ThrowIfCancelled("Socket capture aborted");
}

// ---------------------------------------------------------------------------------------------
// Text helpers

std::string TPowersock::NthWord(std::string_view text, char separator, int n) {
  if (n < 1) return {};
  std::size_t start = 0;
  for (int field = 1; field < n; ++field) {
    const std::size_t next = text.find(separator, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  const std::size_t end = text.find(separator, start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

std::size_t TPowersock::NthPos(std::string_view text, char separator, int n) {
  if (n < 1) return text.size() + 1;
  std::size_t position = std::string_view::npos;
  std::size_t from = 0;
  for (int i = 0; i < n; ++i) {
    position = text.find(separator, from);
    if (position == std::string_view::npos) return text.size() + 1;
    from = position + 1;
  }
  return position + 1;
}

}  // namespace quillmark
