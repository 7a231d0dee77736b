// DayFetcher: the second HTTP client, made for the day's articles: many transfers at once,
// HTTP/1.1 connections kept alive and reused, chunked and compressed bodies, conditional
// requests. libcurl's multi interface does the work; only day_fetcher.cpp sees its types.
//
// Nothing here runs on a thread of its own and nothing calls back into the owner while it
// waits: the owner starts transfers, then calls Wait, which sleeps in the library's poll until
// a socket or one of the library's timers needs it (or the owner's longest wait has passed)
// and returns the transfers that ended. Between two Waits the owner may start, cancel and
// pump its own events; no fixed slice is spun.
//
// Easy to get wrong here:
// - A body is bounded twice: kMaxBodyBytes of decoded bytes, and a compressed body may not
//   inflate to more than kMaxInflation times the bytes that arrived (a gzip bomb). Either cut
//   ends the transfer as an over-long page ends: a response with what was kept.
// - Transfers to one host run side by side if the owner starts them so: the owner (the press)
//   asks each host one request at a time, so that a host sees one connection, kept alive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillmark {

struct DayFetcherSettings {
  // "host:port" of the proxy for http and for https (through CONNECT); empty: none. The
  // environment is never read here: the owner passes what it reported.
  std::string httpProxy;
  std::string httpsProxy;
  bool fetchHttps = false;               // off, an https address or redirect ends in kError
  std::string trustedCertificates;       // a PEM file instead of the system's roots (tests)
  std::uint32_t connectLimitMs = 10000;  // for the name lookup and the connection
  std::uint32_t silenceLimitMs = 10000;  // a transfer that receives nothing this long fails
  std::string userAgent;
  // Asked with the host name and the numeric address (text) before each new connection;
  // false refuses the connection (a failed connection, "address refused"). Empty: all pass.
  std::function<bool(const std::string& host, const std::string& address)> vetAddress;
};

struct DayRequest {
  std::string url;  // percent-encoded on the way out as the designed client does
  // Validators from the last answer; each becomes If-None-Match / If-Modified-Since when set.
  std::string ifNoneMatch;
  std::string ifModifiedSince;
  // The whole transfer's time limit (0: only the silence and connect limits), for an owner
  // that budgets a site's time.
  std::uint32_t timeBudgetMs = 0;
  // What a public site names stays outside (net/inward_address.h): a host written inward,
  // first or after a redirect, and (without a proxy) a looked-up inward address are refused
  // before any request is sent: the transfer ends in kConnectionFailed.
  bool refuseInward = false;
};

struct DayResponse {
  enum class Kind {
    kResponse,          // a status line arrived (any status; 304 has no body)
    kConnectionFailed,  // lookup, connect, TLS or proxy failed before any response
    kInvalidHost,       // the name could not be resolved
    kError,             // anything else: a time-out, a broken response, https while off
  };
  Kind kind = Kind::kError;
  int statusCode = 0;
  std::string host;  // the host that answered (after redirects)
  std::string url;   // the address that answered
  std::string body;  // decoded
  std::string contentType, etag, lastModified;
  std::string error;  // the library's message for every kind but kResponse
  bool bodyCut = false;
  bool newConnection = false;  // a connection was opened for it (none was reused)
  bool httpsRefused = false;   // kError for an https address or redirect while https is off
  // The answer came from inside: a host written inward, or (without a proxy) a connection to
  // an inward address.
  bool answeredFromInside = false;
};

class DayFetcher {
 public:
  using TransferId = std::uint64_t;

  // Throws std::runtime_error when the library cannot be set up.
  explicit DayFetcher(DayFetcherSettings settings);
  ~DayFetcher();
  DayFetcher(const DayFetcher&) = delete;
  DayFetcher& operator=(const DayFetcher&) = delete;

  // Queues a GET; it starts at the next Wait. Ids are never reused.
  TransferId Start(const DayRequest& request);
  // Ends a transfer at once; it is never reported. Unknown ids are ignored.
  void Cancel(TransferId id);
  void CancelAll();
  std::size_t Running() const;

  // Moves every transfer on, sleeping at most `maxWaitMs` while none has news; returns the
  // transfers that ended, in the order they ended.
  std::vector<std::pair<TransferId, DayResponse>> Wait(int maxWaitMs);

  static constexpr std::size_t kMaxBodyBytes = 64ULL * 1024 * 1024;
  static constexpr std::size_t kMaxInflation = 100;
  static constexpr long kMaxRedirects = 20;
  // Idle connections kept for reuse in all.
  static constexpr long kMaxKeptConnections = 64;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillmark
