#pragma once
// One fetch of one page with the HTTP client, turned into a value the crawl can be handed.
//
// The client reports how a fetch went through events fired inside Get, and some failures
// (an empty or https address, a lookup that times out, a reset connection) only as a NetError
// thrown by Get. A PageFetch listens to those events, writes one status line per event as it
// happens, and returns the fetch's one ending after Get has returned: the first outcome event
// the client fired, or else the error Get threw.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/nmhttp.h"

namespace quillmark {

// The status lines of a fetch, each written right after the host (by PageFetch, and by the
// day's press as it writes them). A site that sent its http visitors to https while https is
// off gets kFetchHttpsOnlyLine at once, instead of after the watchdog's 30 seconds.
inline constexpr std::string_view kFetchHostResolvedLine = "名前解決";
inline constexpr std::string_view kFetchConnectedLine = "コネクション確立";
inline constexpr std::string_view kFetchSucceededLine = "からのドキュメント取得成功";
inline constexpr std::string_view kFetchFailedLine = "からのドキュメント取得失敗";
inline constexpr std::string_view kFetchHttpsOnlyLine =
    "はHTTPSでのみ公開されています（設定→オプションで取得できます）";

// How a fetch ended.
enum class FetchEndingKind {
  kSuccess,      // the client's success event: a status code below 299, or none at all
  kFailure,      // its failure, connection-failed or invalid-host event
  kClientError,  // Get threw a NetError before any outcome event; no status line was written
};

struct FetchEnding {
  FetchEndingKind kind = FetchEndingKind::kClientError;
  // The client's Host when the fetch ended: after redirects, the host that answered.
  std::string host;
  // kSuccess: the response body, whole or as far as it had arrived when it was disconnected.
  std::string body;
  // kClientError: the client's message ("HTTP Secure Socket is not supported", ...); the
  // crawl shows it nowhere. kFailure: the reason a connection failed, when the client gave
  // one; the failure's status line ends with it.
  std::string error;
  // kSuccess: the response's Content-Type value (its character set decides the decoding).
  std::string contentType;
  // kSuccess, and kFailure after a response: its status code (0 when the status line had
  // none, and for every other ending). robots.txt tells a 4xx from a 5xx by it.
  int statusCode = 0;
  // Whether the answer came from an inward address (net/inward_address.h): a host written so,
  // or one reached straight (no proxy) at such an address; a site the user keeps on this
  // machine or its network.
  bool answeredFromInside = false;
};

// What the crawl may do to the client from inside a wait (a timer tick, Cancel): read the host
// the client holds and cut the fetch in progress off; and, at set-up, give it a proxy and say
// whether https is fetched.
class FetchControl {
 public:
  virtual ~FetchControl() = default;
  // The client's Host as it is now (the previous fetch's host until the new URL is parsed).
  virtual const std::string& Host() const = 0;
  // Ends the fetch in progress as if the server had closed the connection: a body read
  // returns what has arrived (a success), a connect fails. Safe at any time, also when no
  // fetch is in progress and from inside the pump.
  virtual void Disconnect() = 0;
  // Sends every later fetch through `host`:`port`; an empty host means no proxy.
  virtual void SetProxy(const std::string& host, std::uint32_t port) = 0;
  // Whether later fetches take https URLs (over TLS) instead of ending in a client error.
  virtual void SetFetchHttps(bool fetchHttps) = 0;
  // Sends later https fetches through `host`:`port` instead of the proxy of SetProxy; an
  // empty host means the same proxy as http.
  virtual void SetHttpsProxy(const std::string& host, std::uint32_t port) = 0;
  // Whether later fetches refuse an inward address (net/inward_address.h) in every request of
  // the fetch, redirects too: a host written so, or one looked up so when no proxy is between.
  // Off until set.
  virtual void SetRefuseInward(bool) {}
};

// Receives each status line as it is written.
using StatusLineSink = std::function<void(const std::string& line)>;

class PageFetch : public FetchControl {
 public:
  // A client on port 0 (the client then uses 80), with the time limit kTimeOutMs for each of
  // its waiting steps, no proxy, body and header kept in memory, and the program's
  // User-Agent (net/user_agent.h) on every request. Throws NetError when the
  // socket library cannot be set up.
  PageFetch();

  // Fetches `url` with one Get and returns its ending. While the client waits it calls
  // `pump` in every turn (see net/powersock.h: a handler run there may call Disconnect, but
  // must not start another fetch). Writes through `statusLine`, as the events come, the
  // client's Host followed without a space by "名前解決" (a name was looked up),
  // "コネクション確立" (connected), and for the first outcome event only
  // "からのドキュメント取得成功" or "からのドキュメント取得失敗" (after a failed connection, when
  // Get returns, with " (<reason>)" after it: "Secure Socket setup failed: libssl.so.3: ...");
  // later events of the same Get write nothing. A redirect to https while https is off ends as a
  // failure with the line Host + "はHTTPSでのみ公開されています（設定→オプションで取得できます）"
  // instead of the client error; an https `url` itself is still a client error. Changes Host().
  // Throws std::logic_error when called from inside its own pump (one fetch must never start inside
  // another); lets any error other than NetError (allocation failure, an exception thrown by the
  // pump) pass through.
  FetchEnding Fetch(const std::string& url, const std::function<void()>& pump,
                    const StatusLineSink& statusLine);

  const std::string& Host() const override { return client_.Host; }
  void Disconnect() override { client_.Disconnect(); }
  void SetProxy(const std::string& host, std::uint32_t port) override;
  void SetFetchHttps(bool fetchHttps) override { client_.FetchHttps = fetchHttps; }
  void SetHttpsProxy(const std::string& host, std::uint32_t port) override;
  void SetRefuseInward(bool refuse) override { client_.RefuseInward = refuse; }

  // The client's limit for each waiting step, in milliseconds; tests make it short.
  void SetTimeOut(std::uint32_t milliseconds) { client_.TimeOut = milliseconds; }
  // The certificate authorities https trusts (a PEM file) instead of the system's; for tests.
  void SetTrustedCertificates(const std::string& path) { client_.TrustedCertificates = path; }
  // The client itself, for tests that look at what it sent.
  const TNMHTTP& Client() const { return client_; }

  static constexpr std::uint32_t kTimeOutMs = 10000;

 private:
  TNMHTTP client_;
  bool inFetch_ = false;
};

}  // namespace quillmark
