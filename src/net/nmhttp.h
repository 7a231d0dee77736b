// TNMHTTP: the HTTP/1.0 client that fetches one page per Get, on top of TPowersock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "net/powersock.h"

namespace quillmark {

// The request kind; Get uses CmdGET and the outcome events pass it on.
enum class CmdType {
  CmdGET = 0,
  CmdOPTIONS,
  CmdHEAD,
  CmdPOST,
  CmdPUT,
  CmdPATCH,
  CmdCOPY,
  CmdMOVE,
  CmdDELETE,
  CmdLINK,
  CmdUNLINK,
  CmdTRACE,
  CmdWRAPPED,
};

// `target` (a path, or a whole URL for a proxy) with every space, control byte, DEL and
// non-ASCII byte written as "%XX" (upper-case hex); '%' and every other byte stay as they are,
// so a link already encoded is not encoded twice. Links are kept as their pages wrote them;
// only the request line needs this, or the server answers 400.
std::string PercentEncodeRequestTarget(std::string_view target);

// Extra request header values; each becomes a request line only when it is not empty.
struct THeaderInfo {
  std::string Cookie;            // "Cookie"; a redirect may set it (see TNMHTTP::Get)
  std::string Referer;           // "Referer"
  std::string LocalMailAddress;  // "From"
  std::string LocalProgram;      // "User-Agent"
};

// The request header, one "Name: value" line per entry (the request line too).
class TExStringList {
 public:
  void Clear() { lines_.clear(); }
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  // Replaces the first line whose part before the first ':' equals `name` (ignoring ASCII
  // letter case) with name + ": " + value, or appends that line; an empty value deletes the
  // line instead.
  void SetValue(std::string_view name, std::string_view value);
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

class TNMHTTP : public TPowersock {
 public:
  std::string Body = "Default.htm";  // body of the last response
  std::string Header = "Head.txt";   // status line and header lines of the last response
  THeaderInfo HeaderInfo;
  // Whether "https://" URLs (and redirects to them) are fetched, over TLS; off, they throw
  // "HTTP Secure Socket is not supported" as they always have.
  bool FetchHttps = false;
  // The proxy of https URLs, reached through a CONNECT tunnel; when empty, Proxy and
  // ProxyPort serve https too.
  std::string HttpsProxy;
  std::uint32_t HttpsProxyPort = 0;

  // Outcome events, fired inside Get once a response has been read completely.
  std::function<void(CmdType)> OnSuccess;  // status code below 299 (0: no status line)
  std::function<void(CmdType)> OnFailure;  // status code above 399

  // Fetches `url` with GET, directly or through Proxy:ProxyPort, following redirects (300 to
  // 302, 307 and 308) and repeating on 299 and the other statuses to 399, at most
  // kMaxRequestsPerGet requests in all.
  // Returns when the exchange has ended; the socket is then always disconnected. Changes
  // Host, Port, Body, Header and, after a redirect carrying a cookie, HeaderInfo.Cookie.
  // A ':' names a port only before the URL's first '/': a path ("/wiki/Special:Random") keeps
  // the current Host and Port. The "Host" line names the port when it is not the scheme's
  // own; the request line is percent-encoded (PercentEncodeRequestTarget). A body ends at its
  // Content-Length when the response gives one, else at the close. A Set-Cookie value holding a CR
  // is not learned. With FetchHttps, an "https://" URL is fetched on port 443 (unless it names a
  // port) over TLS with the same request, bounds and events; through a proxy, inside a CONNECT
  // tunnel with the request line holding the path only. A failed tunnel, handshake or certificate
  // check is a failed connection (OnConnectionFailed, then its NetError, as StartTls says).
  // Throws NetError: every error of Connect, SendBuffer, ReadLn and CaptureString; "Empty URL";
  // "URL holds a line break or a zero byte" (also for a redirect target, before anything of
  // that request is sent); "HTTP Secure Socket is not supported" (an https URL without
  // FetchHttps); "Proxy tunnel refused: <status line>"; "'<text>' is not a valid
  // port number"; "Response header too long" past kMaxHeaderLines lines or kMaxHeaderBytes
  // bytes; "Too many redirects"; "Request already in progress" when called from inside a Get;
  // "Out of memory" when an allocation fails, in a handler too (no std::bad_alloc leaves Get).
  void Get(const std::string& url);

  // What the last request was made of (for the owner's status display and for tests).
  const std::string& URL() const { return url_; }
  int StatusCode() const { return status_code_; }
  std::int32_t ContentLength() const { return content_length_; }
  const TExStringList& RequestLines() const { return request_lines_; }

  static constexpr int kMaxRequestsPerGet = 20;
  static constexpr std::uint32_t kHttpsPort = 443;
  static constexpr std::size_t kMaxPathBytes = 256;
  static constexpr std::size_t kMaxHeaderValueBytes = 256;
  // Ceilings of Header, the status line and the closing empty line included.
  static constexpr std::size_t kMaxHeaderLines = 1000;
  static constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;

 protected:
  void HTTPConnect();
  // Connect for an https URL: to the host, or to the https proxy and through its tunnel;
  // then the TLS handshake.
  void SecureConnect();
  void OpenTunnel();
  void ParseURL();
  void AssembleHTTPHeader();
  void SendHTTP();
  void RemoveHeader();

 private:
  CmdType cmd_type_ = CmdType::CmdGET;
  std::string url_;
  std::string path_;
  int status_code_ = 0;  // a signed 16-bit value; 0 when the status line carries no number
  std::string location_;
  std::string cookie_;
  std::int32_t content_length_ = 0;
  bool has_content_length_ = false;  // the body ends after content_length_ bytes
  TExStringList request_lines_;
  // Host that sent the cookie now in HeaderInfo.Cookie; empty when the owner set it.
  std::string cookie_host_;
  bool in_get_ = false;
  // Whether the URL being fetched is https; a URL without a scheme keeps it, as it keeps
  // Host and Port.
  bool secure_ = false;
};

}  // namespace quillmark
