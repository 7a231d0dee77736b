// The only file that sees libcurl's types.
#include "net/day_fetcher.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>

#include "net/inward_address.h"
#include "net/nmhttp.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

void InitializeLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
      throw std::runtime_error("The HTTP library could not be set up");
  });
}

// The value of a header line named `name` (without its colon), blanks around it dropped;
// nothing when the line is another.
bool HeaderValueOf(std::string_view line, std::string_view name, std::string& value) {
  if (line.size() <= name.size() || line[name.size()] != ':' ||
      !EqualsIgnoringAsciiCase(line.substr(0, name.size()), name))
    return false;
  line.remove_prefix(name.size() + 1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
    line.remove_suffix(1);
  value.assign(line.substr(0, TNMHTTP::kMaxHeaderValueBytes));
  return true;
}

}  // namespace

struct DayFetcher::Impl {
  struct Transfer {
    Impl* owner = nullptr;
    TransferId id = 0;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    std::string url;
    DayResponse response;
    bool cut = false;
    bool refuseInward = false;
    bool throughProxy = false;
    bool reachedInward = false;  // a connection went to an inward address (no proxy)
    bool refused = false;        // an inward host or address was refused
  };

  DayFetcherSettings settings;
  CURLM* multi = nullptr;
  CURLSH* share = nullptr;
  TransferId nextId = 1;
  std::map<TransferId, std::unique_ptr<Transfer>> transfers;

  static size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    std::string& body = transfer.response.body;
    curl_off_t arrived = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_SIZE_DOWNLOAD_T, &arrived);
    const std::size_t ceiling =
        std::min(kMaxBodyBytes, kMaxInflation * std::max<std::size_t>(arrived, 1024));
    if (body.size() + bytes > ceiling) {
      body.append(data, ceiling > body.size() ? ceiling - body.size() : 0);
      transfer.cut = true;
      return 0;  // ends the transfer; kept as what it is, an over-long page
    }
    body.append(data, bytes);
    return bytes;
  }

  static size_t ReadHeader(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    DayResponse& response = transfer.response;
    // A redirect's or a 100's header comes first: only the last response's lines count.
    if (line.starts_with("HTTP/")) {
      response.contentType.clear();
      response.etag.clear();
      response.lastModified.clear();
    }
    HeaderValueOf(line, "Content-Type", response.contentType) ||
        HeaderValueOf(line, "ETag", response.etag) ||
        HeaderValueOf(line, "Last-Modified", response.lastModified);
    return size * count;
  }

  static curl_socket_t OpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
    auto& transfer = *static_cast<Transfer*>(user);
    const auto& vet = transfer.owner->settings.vetAddress;
    if (vet) {
      char text[INET6_ADDRSTRLEN] = {};
      const void* raw = nullptr;
      if (address->family == AF_INET)
        raw = &reinterpret_cast<const sockaddr_in*>(&address->addr)->sin_addr;
      else if (address->family == AF_INET6)
        raw = &reinterpret_cast<const sockaddr_in6*>(&address->addr)->sin6_addr;
      if (raw == nullptr || inet_ntop(address->family, raw, text, sizeof text) == nullptr)
        return CURL_SOCKET_BAD;
      char* url = nullptr;
      curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &url);
      if (!vet(HostOfUrl(url ? url : ""), text)) return CURL_SOCKET_BAD;
    }
    if (!transfer.throughProxy && IsInwardAddress(address->addr)) {
      if (transfer.refuseInward) {
        transfer.refused = true;
        return CURL_SOCKET_BAD;
      }
      transfer.reachedInward = true;
    }
    return ::socket(address->family, address->socktype, address->protocol);
  }

  // Before each request, the first and every redirect's: a host written inward is refused
  // (through a proxy the written host is all there is to judge).
  static int BeforeRequest(void* user, char*, char*, int, int) {
    auto& transfer = *static_cast<Transfer*>(user);
    char* url = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &url);
    if (transfer.refuseInward && IsInwardHost(HostOfUrl(url ? url : ""))) {
      transfer.refused = true;
      return CURL_PREREQFUNC_ABORT;
    }
    return CURL_PREREQFUNC_OK;
  }

  static std::string HostOfUrl(std::string_view url) {
    CURLU* parts = curl_url();
    std::string host;
    char* text = nullptr;
    if (curl_url_set(parts, CURLUPART_URL, std::string(url).c_str(), 0) == CURLUE_OK &&
        curl_url_get(parts, CURLUPART_HOST, &text, 0) == CURLUE_OK) {
      host = text;
      curl_free(text);
    }
    curl_url_cleanup(parts);
    return host;
  }

  void Configure(Transfer& transfer, const DayRequest& request) {
    CURL* easy = transfer.easy;
    const std::string protocols = settings.fetchHttps ? "http,https" : "http";
    curl_easy_setopt(easy, CURLOPT_URL, transfer.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, protocols.c_str());
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, protocols.c_str());
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, settings.userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &ReadHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &BeforeRequest);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectLimitMs));
    // The library counts silence in whole seconds.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                     std::max(1L, static_cast<long>((settings.silenceLimitMs + 999) / 1000)));
    if (request.timeBudgetMs != 0)
      curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeBudgetMs));
    // The proxy is the owner's, whatever the environment says ("" turns the library's own
    // reading of http_proxy off).
    const bool https =
        transfer.url.size() >= 6 &&
        EqualsIgnoringAsciiCase(std::string_view(transfer.url).substr(0, 6), "https:");
    const std::string& proxy =
        https && !settings.httpsProxy.empty() ? settings.httpsProxy : settings.httpProxy;
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    transfer.throughProxy = !proxy.empty();
    transfer.refuseInward = request.refuseInward;
    // The roots OpenSSL's defaults give the designed client: SSL_CERT_FILE and SSL_CERT_DIR
    // when set (the library itself would take its compiled-in bundle only).
    const char* certFile = std::getenv("SSL_CERT_FILE");
    const char* certDir = std::getenv("SSL_CERT_DIR");
    if (!settings.trustedCertificates.empty()) {
      curl_easy_setopt(easy, CURLOPT_CAINFO, settings.trustedCertificates.c_str());
    } else if (certFile != nullptr && *certFile != '\0') {
      curl_easy_setopt(easy, CURLOPT_CAINFO, certFile);
    }
    if (settings.trustedCertificates.empty() && certDir != nullptr && *certDir != '\0')
      curl_easy_setopt(easy, CURLOPT_CAPATH, certDir);
    curl_easy_setopt(easy, CURLOPT_SHARE, share);
    if (!request.ifNoneMatch.empty())
      transfer.headers =
          curl_slist_append(transfer.headers, ("If-None-Match: " + request.ifNoneMatch).c_str());
    if (!request.ifModifiedSince.empty())
      transfer.headers = curl_slist_append(
          transfer.headers, ("If-Modified-Since: " + request.ifModifiedSince).c_str());
    if (transfer.headers != nullptr) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
  }

  void Finish(Transfer& transfer, CURLcode result) {
    DayResponse& response = transfer.response;
    long status = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    long connects = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_NUM_CONNECTS, &connects);
    char* url = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &url);
    response.url = url != nullptr ? url : transfer.url;
    response.host = HostOfUrl(response.url);
    response.newConnection = connects > 0;
    response.statusCode = static_cast<int>(status);
    response.bodyCut = transfer.cut;
    response.answeredFromInside = transfer.reachedInward || IsInwardHost(response.host);
    if (result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.cut)) {
      response.kind = DayResponse::Kind::kResponse;
      return;
    }
    response.error = curl_easy_strerror(result);
    if (transfer.refused) {
      response.kind = DayResponse::Kind::kConnectionFailed;
      response.error = "Inward address refused";  // as the designed client says it
      return;
    }
    switch (result) {
      case CURLE_COULDNT_RESOLVE_HOST:
      case CURLE_COULDNT_RESOLVE_PROXY:
        response.kind = DayResponse::Kind::kInvalidHost;
        break;
      case CURLE_COULDNT_CONNECT:
      case CURLE_SSL_CONNECT_ERROR:
      case CURLE_PEER_FAILED_VERIFICATION:
      case CURLE_SSL_CACERT_BADFILE:
        response.kind = DayResponse::Kind::kConnectionFailed;
        break;
      case CURLE_OPERATION_TIMEDOUT:
        // Before any connection: the connect timed out; after one, the answer did.
        response.kind = connects == 0 && status == 0 ? DayResponse::Kind::kConnectionFailed
                                                     : DayResponse::Kind::kError;
        break;
      case CURLE_UNSUPPORTED_PROTOCOL:
        response.kind = DayResponse::Kind::kError;
        response.httpsRefused = true;
        break;
      default:
        response.kind = DayResponse::Kind::kError;
        break;
    }
  }

  void CollectEnded(std::vector<std::pair<TransferId, DayResponse>>& ended) {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      Transfer* transfer = nullptr;
      curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
      if (transfer == nullptr) continue;
      Finish(*transfer, message->data.result);
      const TransferId id = transfer->id;
      ended.emplace_back(id, std::move(transfer->response));
      Remove(*transfer);
      transfers.erase(id);
    }
  }

  void Remove(Transfer& transfer) {
    curl_multi_remove_handle(multi, transfer.easy);
    curl_easy_cleanup(transfer.easy);
    curl_slist_free_all(transfer.headers);
  }
};

DayFetcher::DayFetcher(DayFetcherSettings settings) : impl_(std::make_unique<Impl>()) {
  InitializeLibraryOnce();
  impl_->settings = std::move(settings);
  impl_->multi = curl_multi_init();
  impl_->share = curl_share_init();
  if (impl_->multi == nullptr || impl_->share == nullptr) {
    if (impl_->multi != nullptr) curl_multi_cleanup(impl_->multi);
    if (impl_->share != nullptr) curl_share_cleanup(impl_->share);
    throw std::runtime_error("The HTTP library could not be set up");
  }
  // Names and TLS sessions are shared by every transfer (a site's second connection resumes
  // its first session); the connections themselves are pooled by the multi handle.
  curl_share_setopt(impl_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(impl_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  // No per-host cap here: through a proxy the library counts every connection as the
  // proxy's, and one would serialise the whole press. The owner asks each host once at a time.
  curl_multi_setopt(impl_->multi, CURLMOPT_MAXCONNECTS, kMaxKeptConnections);
  // HTTP/1.1 only: no pipelining, no multiplexing (one request per connection at a time).
  curl_multi_setopt(impl_->multi, CURLMOPT_PIPELINING, CURLPIPE_NOTHING);
}

DayFetcher::~DayFetcher() {
  CancelAll();
  curl_multi_cleanup(impl_->multi);
  curl_share_cleanup(impl_->share);
}

DayFetcher::TransferId DayFetcher::Start(const DayRequest& request) {
  auto transfer = std::make_unique<Impl::Transfer>();
  transfer->owner = impl_.get();
  transfer->id = impl_->nextId++;
  transfer->url = PercentEncodeRequestTarget(request.url);
  transfer->easy = curl_easy_init();
  if (transfer->easy == nullptr) throw std::runtime_error("Out of memory");
  impl_->Configure(*transfer, request);
  curl_multi_add_handle(impl_->multi, transfer->easy);
  const TransferId id = transfer->id;
  impl_->transfers.emplace(id, std::move(transfer));
  return id;
}

void DayFetcher::Cancel(TransferId id) {
  const auto found = impl_->transfers.find(id);
  if (found == impl_->transfers.end()) return;
  impl_->Remove(*found->second);
  impl_->transfers.erase(found);
}

void DayFetcher::CancelAll() {
  for (auto& [id, transfer] : impl_->transfers) impl_->Remove(*transfer);
  impl_->transfers.clear();
}

std::size_t DayFetcher::Running() const { return impl_->transfers.size(); }

std::vector<std::pair<DayFetcher::TransferId, DayResponse>> DayFetcher::Wait(int maxWaitMs) {
  std::vector<std::pair<TransferId, DayResponse>> ended;
  int running = 0;
  curl_multi_perform(impl_->multi, &running);
  impl_->CollectEnded(ended);
  // A transfer that ended in that turn goes back at once: its site's next request must not
  // wait for another socket. Else sleep in the library's poll: it returns when a socket is
  // ready or at the library's next timer, or after maxWaitMs (also with no transfer at all).
  if (ended.empty()) {
    int ready = 0;
    curl_multi_poll(impl_->multi, nullptr, 0, maxWaitMs, &ready);
    curl_multi_perform(impl_->multi, &running);
    impl_->CollectEnded(ended);
  }
  return ended;
}

}  // namespace quillmark
