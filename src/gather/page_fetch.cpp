#include "gather/page_fetch.h"

#include <optional>
#include <stdexcept>
#include <string_view>

#include "net/inward_address.h"
#include "net/net_error.h"
#include "net/user_agent.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

// The client's error for an https URL while https is off.
constexpr std::string_view kHttpsRefused = "HTTP Secure Socket is not supported";

// Whether `url` itself names https; a URL without a scheme does not.
bool NamesHttps(std::string_view url) {
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon > url.find('/')) return false;
  return EqualsIgnoringAsciiCase(url.substr(0, colon), "https");
}

// The value of the Content-Type line of a response header (status and header lines), blanks
// at its ends left out; empty when there is none.
std::string ContentTypeOf(std::string_view header) {
  constexpr std::string_view kName = "content-type:";
  std::size_t start = 0;
  while (start < header.size()) {
    std::size_t end = header.find('\n', start);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(start, end - start);
    if (line.size() >= kName.size() &&
        EqualsIgnoringAsciiCase(line.substr(0, kName.size()), kName)) {
      line.remove_prefix(kName.size());
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
      return std::string(line);
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

PageFetch::PageFetch() {
  client_.Port = 0;
  client_.TimeOut = kTimeOutMs;
  client_.ProxyPort = 0;
  client_.HeaderInfo.LocalProgram = ProgramUserAgent();
}

void PageFetch::SetProxy(const std::string& host, std::uint32_t port) {
  client_.Proxy = host;
  client_.ProxyPort = port;
}

void PageFetch::SetHttpsProxy(const std::string& host, std::uint32_t port) {
  client_.HttpsProxy = host;
  client_.HttpsProxyPort = port;
}

FetchEnding PageFetch::Fetch(const std::string& url, const std::function<void()>& pump,
                             const StatusLineSink& statusLine) {
  // A nested call would replace the handlers of the fetch in progress before the client could
  // refuse it, so it is refused here, before anything changes.
  if (inFetch_) throw std::logic_error("A fetch was started inside another fetch");

  std::optional<FetchEndingKind> outcome;
  std::string outcomeHost;
  const auto writeLine = [&](std::string_view message) {
    if (!outcome && statusLine) statusLine(client_.Host + std::string(message));
  };
  const auto endWith = [&](FetchEndingKind kind, std::string_view message) {
    if (outcome) return;
    writeLine(message);
    outcome = kind;
    outcomeHost = client_.Host;
  };

  // The handlers hold references to this call's locals: they must not outlive it, whichever
  // way it is left.
  struct Scope {
    PageFetch& fetch;
    ~Scope() {
      TNMHTTP& client = fetch.client_;
      client.OnHostResolved = nullptr;
      client.OnConnect = nullptr;
      client.OnSuccess = nullptr;
      client.OnFailure = nullptr;
      client.OnConnectionFailed = nullptr;
      client.OnInvalidHost = nullptr;
      client.Pump = nullptr;
      fetch.inFetch_ = false;
    }
  } scope{*this};
  inFetch_ = true;
  client_.OnHostResolved = [&] { writeLine(kFetchHostResolvedLine); };
  client_.OnConnect = [&] { writeLine(kFetchConnectedLine); };
  int outcomeStatus = 0;
  client_.OnSuccess = [&](CmdType) {
    if (!outcome) outcomeStatus = client_.StatusCode();
    endWith(FetchEndingKind::kSuccess, kFetchSucceededLine);
  };
  client_.OnFailure = [&](CmdType) {
    if (!outcome) outcomeStatus = client_.StatusCode();
    endWith(FetchEndingKind::kFailure, kFetchFailedLine);
  };
  // The client throws the reason right after this event: the line waits for it, so that a
  // site that failed says why (OpenSSL not loaded, a certificate refused, a refused tunnel).
  std::optional<std::string> failedConnectionLine;
  client_.OnConnectionFailed = [&] {
    if (outcome) return;
    failedConnectionLine = client_.Host + std::string(kFetchFailedLine);
    outcome = FetchEndingKind::kFailure;
    outcomeHost = client_.Host;
  };
  // `handled` stays false: the client does not retry the lookup.
  client_.OnInvalidHost = [&](bool&) { endWith(FetchEndingKind::kFailure, kFetchFailedLine); };
  client_.Pump = pump;

  FetchEnding ending;
  try {
    client_.Get(url);
  } catch (const NetError& error) {
    ending.error = error.what();
    // Refused after a redirect, not for the address asked for: the site answered, and only
    // https would give its pages. It ends as a failed connection does.
    if (ending.error == kHttpsRefused && !NamesHttps(url)) {
      endWith(FetchEndingKind::kFailure, kFetchHttpsOnlyLine);
    }
  }
  if (failedConnectionLine && statusLine) {
    statusLine(ending.error.empty() ? *failedConnectionLine
                                    : *failedConnectionLine + " (" + ending.error + ")");
  }
  if (!outcome) {
    // The client fires an outcome or throws; a Get that did neither is no success either.
    ending.kind = FetchEndingKind::kClientError;
    ending.host = client_.Host;
    return ending;
  }
  ending.kind = *outcome;
  ending.host = std::move(outcomeHost);
  ending.statusCode = outcomeStatus;
  ending.answeredFromInside = client_.ReachedInward() || IsInwardHost(ending.host);
  if (ending.kind == FetchEndingKind::kSuccess) {
    ending.error.clear();
    ending.body = std::move(client_.Body);
    ending.contentType = ContentTypeOf(client_.Header);
  }
  return ending;
}

}  // namespace quillmark
