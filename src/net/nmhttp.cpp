#include "net/nmhttp.h"

#include <charconv>
#include <limits>
#include <new>
#include <optional>

#include "net/inward_address.h"
#include "net/net_error.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool IsBlankLine(std::string_view line) { return line == "\n" || line == "\r\n"; }

// A decimal number with an optional sign and nothing else, within [low, high].
std::optional<long> ParseDecimal(std::string_view text, long low, long high) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (value < low || value > high) return {};
  return value;
}

// The value of a header line from its fixed byte offset, without the line end.
std::string HeaderValue(std::string_view line, std::size_t offset, std::size_t limit) {
  line = WithoutLineEnd(line);
  if (offset >= line.size()) return {};
  return std::string(line.substr(offset, limit));
}

// 307 and 308 say the same as 302 and 301 for a GET, the only method we send; today's servers
// send them for their move to https, and repeating the request instead would only meet the
// redirect again until the request limit.
bool FollowsLocation(int statusCode) {
  return (statusCode >= 300 && statusCode <= 302) || statusCode == 307 || statusCode == 308;
}

}  // namespace

std::string PercentEncodeRequestTarget(std::string_view target) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(target.size());
  for (const char c : target) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

void TExStringList::SetValue(std::string_view name, std::string_view value) {
  for (auto line = lines_.begin(); line != lines_.end(); ++line) {
    const std::string_view line_name = std::string_view(*line).substr(0, line->find(':'));
    if (!EqualsIgnoringAsciiCase(line_name, name)) continue;
    if (value.empty()) {
      lines_.erase(line);
    } else {
      *line = std::string(name) + ": " + std::string(value);
    }
    return;
  }
  if (!value.empty()) lines_.push_back(std::string(name) + ": " + std::string(value));
}

void TNMHTTP::Get(const std::string& url) {
  // Handlers run inside Get; one that fetches again must wait until this call has returned.
  if (in_get_) throw NetError("Request already in progress");
  in_get_ = true;
  struct ClearInGet {
    bool& flag;
    ~ClearInGet() { flag = false; }
  } clear_in_get{in_get_};

  cmd_type_ = CmdType::CmdGET;
  url_ = url;
  try {
    HTTPConnect();
  } catch (const std::bad_alloc&) {
    // The owner handles every NetError of a fetch and goes on with the next one; memory
    // running short in one fetch is no reason to end the program.
    Disconnect();
    throw NetError("Out of memory");
  }
}

void TNMHTTP::HTTPConnect() {
  int requests = 0;
  do {
    // Redirects and repeats together: a server answering 3xx forever must not hold us.
    if (requests == kMaxRequestsPerGet) throw NetError("Too many redirects");
    ++requests;
    ParseURL();
    // Every request of the Get, redirects too: a host written as an inward address is never
    // asked, whatever a proxy would do with it.
    if (RefuseInward && IsInwardHost(Host)) throw NetError("Inward address refused");
    AssembleHTTPHeader();
    try {
      if (secure_) {
        SecureConnect();
      } else {
        Connect();
      }
      SendHTTP();
      status_code_ = 0;
      RemoveHeader();
      // A proxy that keeps the connection open for us ends the body only by its length: read
      // to Content-Length when the server gives one, to the close otherwise.
      CaptureString(Body, has_content_length_ ? content_length_ : -1);
      if (status_code_ < 299) {
        if (OnSuccess) OnSuccess(cmd_type_);
      } else if (status_code_ > 399) {
        if (OnFailure) OnFailure(cmd_type_);
      } else if (FollowsLocation(status_code_)) {
        url_ = location_;
      }
    } catch (...) {
      Disconnect();
      throw;
    }
    Disconnect();
    if (status_code_ >= 300 && status_code_ <= 398) {
      if (!cookie_.empty()) {
        HeaderInfo.Cookie = cookie_;
        cookie_host_ = Host;  // sent back to this host only
      }
      // A bare file name ("page2.html") is taken from the root of the current server; the port
      // goes with it, or the next request would reach another server on port 80.
      if (!url_.empty() && url_.find('/') == std::string::npos) {
        const std::uint32_t defaultPort = secure_ ? kHttpsPort : 80;
        // Built by appending: GCC 12 at -O3 takes "literal" + string for an overlapping copy.
        std::string absolute(secure_ ? "https://" : "http://");
        absolute.append(Host);
        if (Port != defaultPort) absolute.append(1, ':').append(std::to_string(Port));
        absolute.append(1, '/').append(url_);
        url_ = std::move(absolute);
      }
    }
  } while (status_code_ >= 299 && status_code_ <= 399);
}

void TNMHTTP::ParseURL() {
  if (url_.empty()) throw NetError("Empty URL");
  // A line break would end the request line early and send the rest as header lines of its
  // own; a zero byte would cut the line. Checked here, so a redirect target is refused too.
  if (url_.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
    throw NetError("URL holds a line break or a zero byte");
  }
  if (Port == 0) Port = 80;
  if (!FetchHttps) secure_ = false;  // https turned off between two Gets

  const std::size_t first_slash = url_.find('/');
  // An authority follows only the URL's first '/' ("http://host", "//host"); in "/a//b" the
  // "//" is part of the path.
  const bool has_authority =
      first_slash != std::string::npos && url_.compare(first_slash, 2, "//") == 0;
  if (has_authority) {
    const std::size_t third_slash = NthPos(url_, '/', 3);  // 1-based
    path_ = third_slash <= url_.size() ? url_.substr(third_slash - 1, kMaxPathBytes) : "";
  } else if (first_slash != std::string::npos) {
    path_ = url_.substr(first_slash, kMaxPathBytes);
  } else {
    path_.clear();
  }

  // Only a ':' before the first '/' ends a scheme or a host name; one in a path
  // ("/wiki/Special:Random") leaves the port of the current server alone.
  const std::size_t colon = url_.find(':');
  if (colon != std::string::npos && colon < first_slash) {
    const std::string scheme = LowerCaseAscii(std::string_view(url_).substr(0, colon));
    if (scheme == "gopher") {
      Port = 70;
    } else if (scheme == "ftp") {
      Port = 21;
    } else if (scheme == "https") {
      if (!FetchHttps) throw NetError("HTTP Secure Socket is not supported");
      Port = kHttpsPort;
    } else {
      Port = 80;  // "http", or a host name followed by its port
    }
    secure_ = scheme == "https";
  }

  std::string host;
  if (has_authority) {
    host = NthWord(url_, '/', 3);
  } else if (url_.front() != '/') {
    host = url_.substr(0, first_slash);
  }
  const std::size_t port_colon = host.find(':');
  if (port_colon != std::string::npos) {
    const std::string port_text = host.substr(port_colon + 1);
    const std::optional<long> port = ParseDecimal(port_text, 0, 65535);
    if (!port) throw NetError("'" + port_text + "' is not a valid port number");
    Port = static_cast<std::uint32_t>(*port);
    host.resize(port_colon);
  }
  if (!host.empty()) Host = host;  // a bare path keeps the current host

  if (path_.empty()) {
    path_.assign(1, '/');
    url_.push_back('/');
  }
}

void TNMHTTP::AssembleHTTPHeader() {
  request_lines_.Clear();
  // Inside a tunnel the request goes to the server itself, as without a proxy.
  if (Proxy.empty() || secure_) {
    request_lines_.Add("GET " + PercentEncodeRequestTarget(path_) + " HTTP/1.0");
  } else {
    request_lines_.Add("GET " + PercentEncodeRequestTarget(url_) + " HTTP/1.0");
    request_lines_.Add("Proxy-Connection: Keep-Alive");
    request_lines_.Add("Host: " + Host);
  }
  // A server listening on another port than the scheme's own needs it to tell its sites apart.
  const std::uint32_t defaultPort = secure_ ? kHttpsPort : 80;
  request_lines_.SetValue("Host", Port == defaultPort ? Host : Host + ":" + std::to_string(Port));
  request_lines_.Add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
  request_lines_.Add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
  if (!HeaderInfo.LocalProgram.empty())
    request_lines_.SetValue("User-Agent", HeaderInfo.LocalProgram);
  if (!HeaderInfo.LocalMailAddress.empty())
    request_lines_.SetValue("From", HeaderInfo.LocalMailAddress);
  // A cookie learned from a redirect goes back only to the host that set it.
  if (!HeaderInfo.Cookie.empty() &&
      (cookie_host_.empty() || EqualsIgnoringAsciiCase(cookie_host_, Host))) {
    request_lines_.SetValue("Cookie", HeaderInfo.Cookie);
  }
  if (!HeaderInfo.Referer.empty()) request_lines_.SetValue("Referer", HeaderInfo.Referer);
  request_lines_.Add("Content-type: application/x-www-form-urlencoded");
}

void TNMHTTP::SecureConnect() {
  const bool ownProxy = !HttpsProxy.empty();
  const std::string& proxy = ownProxy ? HttpsProxy : Proxy;
  if (proxy.empty()) {
    ConnectTo(Host, Port);
  } else {
    ConnectTo(proxy, ownProxy ? HttpsProxyPort : ProxyPort);
    OpenTunnel();
  }
  StartTls(Host, Port);
}

void TNMHTTP::OpenTunnel() {
  const std::string authority = Host + ":" + std::to_string(Port);
  std::string statusLine;
  try {
    Writeln("CONNECT " + authority + " HTTP/1.0\r\nHost: " + authority + "\r\n");
    statusLine = ReadLn();
    // The proxy's header lines up to the empty line, within the bounds of any header.
    std::size_t lines = 1;
    std::size_t bytes = statusLine.size();
    for (std::string line = statusLine; !line.empty() && !IsBlankLine(line);) {
      line = ReadLn();
      if (++lines > kMaxHeaderLines || (bytes += line.size()) > kMaxHeaderBytes) {
        throw NetError("Response header too long");
      }
    }
  } catch (const NetError& error) {
    FailConnection(error.what());
  }
  const std::string code = NthWord(statusLine, ' ', 2);
  if (code.size() != 3 || code.front() != '2') {
    FailConnection("Proxy tunnel refused: " + std::string(WithoutLineEnd(statusLine)));
  }
}

void TNMHTTP::SendHTTP() {
  // One write for the whole request; each line ends at its first zero byte, as Write sends it.
  std::string request;
  for (const std::string& line : request_lines_.Lines()) {
    request.append(line, 0, line.find('\0'));
    request += kCrLf;
  }
  Writeln(request);  // adds the empty line that ends the request
}

void TNMHTTP::RemoveHeader() {
  content_length_ = 0;
  has_content_length_ = false;
  cookie_.clear();
  location_.clear();
  Header.clear();

  // Each line restarts the time limit, so only a ceiling stops a server that sends short
  // lines for ever.
  std::size_t lines = 0;
  auto keep = [&](const std::string& line) {
    if (++lines > kMaxHeaderLines || Header.size() + line.size() > kMaxHeaderBytes) {
      throw NetError("Response header too long");
    }
    Header += line;
  };

  const std::string status_line = ReadLn();
  if (!status_line.empty()) {
    keep(status_line);
    const std::string field = NthWord(status_line, ' ', 2);
    status_code_ = static_cast<int>(ParseDecimal(WithoutLineEnd(field),
                                                 std::numeric_limits<std::int16_t>::min(),
                                                 std::numeric_limits<std::int16_t>::max())
                                        .value_or(0));
  }

  for (;;) {
    const std::string line = ReadLn();
    if (line.empty()) break;  // the server closed
    keep(line);
    if (IsBlankLine(line)) break;
    // The name must be followed by exactly one space: values start at fixed offsets.
    const std::string name = UpperCaseAscii(NthWord(line, ' ', 1));
    if (name == "SET-COOKIE:") {
      // A bare CR would go back to the server inside the "Cookie" request line.
      std::string cookie = HeaderValue(line, 12, kMaxHeaderValueBytes);
      if (cookie.find('\r') == std::string::npos) cookie_ = std::move(cookie);
    } else if (name == "LOCATION:") {
      location_ = HeaderValue(line, 10, kMaxHeaderValueBytes);
    } else if (name == "CONTENT-LENGTH:") {
      const std::string value = HeaderValue(line, 16, kMaxHeaderValueBytes);
      const std::size_t digits = value.find_first_not_of("0123456789");
      const std::optional<long> length = ParseDecimal(std::string_view(value).substr(0, digits), 0,
                                                      std::numeric_limits<std::int32_t>::max());
      content_length_ = static_cast<std::int32_t>(length.value_or(0));
      has_content_length_ = length.has_value();
    }
  }
}

}  // namespace quillmark
