#include "http_reply_check.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>
#include <vector>

#include "net/net_error.h"
#include "net/nmhttp.h"

namespace quillmark::testing {
namespace {

// A client whose every connection is one end of a socket pair; the other end has the reply
// written into it and is shut for writing, so the client reads it up to a close.
class SocketPairHttp : public TNMHTTP {
 public:
  explicit SocketPairHttp(std::string_view reply) : reply_(reply) {}
  ~SocketPairHttp() override { TakeRequest(); }

  void Connect() override {
    if (Connected()) throw NetError("Already connected");
    TakeRequest();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
      throw NetError("socketpair failed");
    }
    peer_ = ends[1];
    std::string_view rest = reply_;
    while (!rest.empty()) {
      const ssize_t count = ::send(peer_, rest.data(), rest.size(), MSG_NOSIGNAL);
      if (count <= 0) break;  // more than the pair holds: the rest is cut, as the header says
      rest.remove_prefix(static_cast<std::size_t>(count));
    }
    ::shutdown(peer_, SHUT_WR);
    AdoptConnectedSocket(ends[0]);
  }

  // Every request the client sent, one per connection.
  std::vector<std::string> requests;

  // Moves what the client sent on the current connection into `requests`.
  void TakeRequest() {
    if (peer_ < 0) return;
    std::string request;
    char buffer[4096];
    ssize_t count;
    while ((count = ::recv(peer_, buffer, sizeof buffer, 0)) > 0) {
      request.append(buffer, static_cast<std::size_t>(count));
    }
    requests.push_back(std::move(request));
    ::close(peer_);
    peer_ = -1;
  }

 private:
  std::string_view reply_;
  int peer_ = -1;
};

// The promises every request keeps: header lines free of CR, LF and NUL, one empty line at
// the end, and a request line "GET ... HTTP/1.0".
std::string CheckRequest(const std::string& request) {
  if (request.size() < 4 || request.compare(request.size() - 4, 4, "\r\n\r\n") != 0) {
    return "a request not ending in an empty line";
  }
  std::size_t start = 0;
  for (std::size_t end; (end = request.find("\r\n", start)) != request.size() - 2;
       start = end + 2) {
    const std::string_view line(request.data() + start, end - start);
    if (line.empty()) return "an empty line inside a request";
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
      return "a request line holding CR, LF or NUL: " + std::string(line);
    }
    if (start == 0 && (line.rfind("GET ", 0) != 0 || !line.ends_with(" HTTP/1.0"))) {
      return "a request line that is no GET: " + std::string(line);
    }
  }
  return "";
}

}  // namespace

std::string CheckHttpReply(std::string_view reply) {
  reply = reply.substr(0, kMaxFuzzedReplyBytes);
  SocketPairHttp http(reply);
  bool failed = false;
  try {
    http.Get("http://fuzz.test/start.html");
  } catch (const NetError&) {
    failed = true;
  } catch (const std::exception& error) {
    return std::string("an error that is no NetError: ") + error.what();
  }

  if (http.Connected()) return "still connected after Get";
  if (http.Header.size() > TNMHTTP::kMaxHeaderBytes) return "a header over its ceiling";
  if (http.HeaderInfo.Cookie.size() > TNMHTTP::kMaxHeaderValueBytes ||
      http.HeaderInfo.Cookie.find('\r') != std::string::npos) {
    return "a cookie over its ceiling or holding a CR";
  }
  if (http.StatusCode() < std::numeric_limits<std::int16_t>::min() ||
      http.StatusCode() > std::numeric_limits<std::int16_t>::max()) {
    return "a status code out of the 16-bit range";
  }
  http.TakeRequest();
  if (http.requests.size() > static_cast<std::size_t>(TNMHTTP::kMaxRequestsPerGet)) {
    return "more requests than the redirect limit";
  }
  for (const std::string& request : http.requests) {
    std::string problem = CheckRequest(request);
    if (!problem.empty()) return problem;
  }
  // What a completed fetch kept is what the server sent, up to a line it did not finish.
  if (!failed && !reply.starts_with(http.Header + http.Body)) {
    return "Header and Body are not the start of the reply";
  }
  return "";
}

}  // namespace quillmark::testing
