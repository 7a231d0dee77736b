#include "gather/sites_side_by_side.h"

#include <algorithm>

#include "gather/site_articles.h"
#include "net/user_agent.h"

namespace quillmark {
namespace {

bool IsNumericHost(std::string_view host) {
  return !host.empty() &&
         (host.find_first_not_of("0123456789.") == std::string_view::npos || host.front() == '[');
}

std::string ProxyText(const std::string& host, std::uint32_t port) {
  return host.empty() ? std::string() : host + ":" + std::to_string(port);
}

}  // namespace

bool ReadsSitesSideBySide(const LinkOptions& options) {
  return options.FollowArticles && options.ArticleText;
}

// Takes what the settings crawl says about proxies; a site's crawl is given no proxy setting.
class SitesSideBySide::SettingsCapture : public FetchControl {
 public:
  const std::string& Host() const override { return none_; }
  void Disconnect() override {}
  void SetProxy(const std::string& host, std::uint32_t port) override {
    httpProxy = ProxyText(host, port);
  }
  void SetFetchHttps(bool) override {}
  void SetHttpsProxy(const std::string& host, std::uint32_t port) override {
    httpsProxy = ProxyText(host, port);
  }
  std::string httpProxy;
  std::string httpsProxy;

 private:
  std::string none_;
};

// A site's view of the fetcher: the transfer of its crawl's step in progress.
class SitesSideBySide::SiteClient : public FetchControl {
 public:
  explicit SiteClient(SitesSideBySide& press) : press_(press) {}
  const std::string& Host() const override { return host_; }
  // The watchdog or Cancel: the transfer ends at once and its crawl is handed an ending.
  void Disconnect() override {
    if (!transfer_) return;
    press_.fetcher_->Cancel(*transfer_);
    transfer_.reset();
    cutOff_ = true;
  }
  void SetProxy(const std::string&, std::uint32_t) override {}
  void SetFetchHttps(bool) override {}
  void SetHttpsProxy(const std::string&, std::uint32_t) override {}
  void SetRefuseInward(bool refuse) override { refuseInward_ = refuse; }
  bool RefuseInward() const { return refuseInward_; }

  void Started(DayFetcher::TransferId id, const std::string& url) {
    transfer_ = id;
    url_ = url;
    host_ = HostOf(url);
  }
  void Ended(const std::string& host) {
    transfer_.reset();
    host_ = host;
  }
  bool Busy() const { return transfer_.has_value(); }
  bool TakeCutOff() { return std::exchange(cutOff_, false); }
  std::optional<DayFetcher::TransferId> Transfer() const { return transfer_; }
  const std::string& Url() const { return url_; }

 private:
  SitesSideBySide& press_;
  std::optional<DayFetcher::TransferId> transfer_;
  std::string url_;
  std::string host_;
  bool cutOff_ = false;
  bool refuseInward_ = false;
};

// Passes a site's lines on and keeps its latest for the live line.
class SitesSideBySide::SiteView : public CrawlView {
 public:
  explicit SiteView(CrawlView& view) : view_(view) {}
  void SetLabel(const std::string&) override {}
  void AddStatusLine(const std::string& text) override {
    latest_ = text;
    view_.AddStatusLine(text);
  }
  const std::string& Latest() const { return latest_; }

 private:
  CrawlView& view_;
  std::string latest_;
};

struct SitesSideBySide::Site {
  Site(SitesSideBySide& press, const std::string& address, TickCount now)
      : client(press), view(press.view_), crawl(client, view, now), began(now) {
    crawl.SetSiteList({address});
    crawl.SetLinkOptions(press.options_);
    crawl.SetWatchdogMs(press.watchdogMs_);
    crawl.SetKeptArticleLookup(press.keptArticleLookup_);
    if (press.readingStop_) crawl.SetReadingStop(press.readingStop_);
    crawl.Start();
  }
  SiteClient client;
  SiteView view;
  GatheringCrawl crawl;
  TickCount began;
};

namespace {
class SilentView : public CrawlView {
 public:
  void SetLabel(const std::string&) override {}
  void AddStatusLine(const std::string&) override {}
};
}  // namespace

SitesSideBySide::SitesSideBySide(CrawlView& view, TickCount now, std::string_view proxySetting,
                                 ProxyLines lines)
    : view_(view),
      silentView_(std::make_unique<SilentView>()),
      settings_(std::make_unique<SettingsCapture>()),
      settingsCrawl_(std::make_unique<GatheringCrawl>(
          *settings_, lines == ProxyLines::kWrite ? view : *silentView_, now, proxySetting)) {}

SitesSideBySide::~SitesSideBySide() {
  // The crawls' clients cancel through the fetcher: the sites go first.
  running_.clear();
}

void SitesSideBySide::SetSiteList(const std::vector<std::string>& sites) { sites_ = sites; }

void SitesSideBySide::SetLinkOptions(const LinkOptions& options) {
  options_ = options;
  options_.DayManners = true;
}

void SitesSideBySide::SetHttpsProxy(std::string_view proxySetting) {
  settingsCrawl_->SetHttpsProxy(proxySetting);
}

void SitesSideBySide::SetSitesAtOnce(std::int32_t sites) {
  sitesAtOnce_ = std::clamp(sites, kMinSitesAtOnce, kMaxSitesAtOnce);
}

ModalResult SitesSideBySide::Run(const std::function<TickCount()>& now,
                                 const std::function<void()>& pump, int maxWaitMs,
                                 std::uint32_t tickIntervalMs) {
  if (!fetcher_) {
    DayFetcherSettings settings = fetcherSettings_;
    settings.httpProxy = settings_->httpProxy;
    settings.httpsProxy = settings_->httpsProxy;
    settings.fetchHttps = options_.FetchHttps;
    if (settings.userAgent.empty()) settings.userAgent = ProgramUserAgent();
    fetcher_ = std::make_unique<DayFetcher>(std::move(settings));
  }
  TickCount lastTick = now();
  while (!cancelled_) {
    AdmitSites(now());
    StartFetches(now());
    if (AllClosed() && nextSite_ == sites_.size()) break;
    for (auto& [id, response] : fetcher_->Wait(maxWaitMs)) EndTransfer(id, std::move(response));
    if (pump) pump();
    const TickCount tick = now();
    if (static_cast<TickCount>(tick - lastTick) >= tickIntervalMs) {
      lastTick = tick;
      TickSites(tick);
    }
    HandCutOffEndings();
  }
  if (cancelled_) {
    HandCutOffEndings();
    return ModalResult::kCancel;
  }
  return ModalResult::kOK;
}

void SitesSideBySide::Cancel() {
  if (cancelled_) return;
  cancelled_ = true;
  for (auto& site : running_) site->crawl.Cancel();
  nextSite_ = sites_.size();  // the sites not yet begun are not begun
  if (fetcher_) fetcher_->CancelAll();
}

void SitesSideBySide::AdmitSites(TickCount now) {
  std::size_t reading = 0;
  for (const auto& site : running_)
    if (site->crawl.State() != CrawlState::kClosed) ++reading;
  while (reading < static_cast<std::size_t>(sitesAtOnce_) && nextSite_ < sites_.size()) {
    // A server is read by one site at a time: one connection each, never two at once.
    const std::string origin = SplitOrigin(sites_[nextSite_]).origin;
    const bool hostBusy = std::any_of(running_.begin(), running_.end(), [&](const auto& site) {
      return site->crawl.State() != CrawlState::kClosed &&
             SplitOrigin(site->crawl.URLList().front()).origin == origin;
    });
    if (hostBusy) break;
    running_.push_back(std::make_unique<Site>(*this, sites_[nextSite_++], now));
    ++reading;
  }
  view_.SetLabel(std::string(kGatheringLabelStart) + std::to_string(nextSite_ - reading) + "/" +
                 std::to_string(sites_.size()) + ")");
}

void SitesSideBySide::StartFetches(TickCount now) {
  for (auto& site : running_) {
    GatheringCrawl& crawl = site->crawl;
    if (crawl.State() == CrawlState::kClosed || site->client.Busy()) continue;
    if (std::optional<std::string> url = crawl.StartNextFetch(now)) {
      DayRequest request;
      request.url = *url;
      request.refuseInward = site->client.RefuseInward();
      if (siteBudgetMs_ != 0) {
        // At least a millisecond: 0 would mean no budget at all.
        const TickCount spent = now - site->began;
        request.timeBudgetMs = spent < siteBudgetMs_ ? siteBudgetMs_ - spent : 1;
      }
      site->client.Started(fetcher_->Start(request), *url);
    } else if (crawl.Finished()) {
      crawl.Tick(now);  // no window to close at the next tick: the site ends now
    }
  }
  mostAtOnce_ = std::max(mostAtOnce_, fetcher_->Running());
}

void SitesSideBySide::EndTransfer(DayFetcher::TransferId id, DayResponse response) {
  const auto site = std::find_if(running_.begin(), running_.end(),
                                 [id](const auto& site) { return site->client.Transfer() == id; });
  if (site == running_.end()) return;
  SiteClient& client = (*site)->client;
  GatheringCrawl& crawl = (*site)->crawl;
  const std::string host = response.host.empty() ? client.Host() : response.host;
  client.Ended(host);
  const auto line = [&](std::string_view text) { crawl.ReportFetchLine(host + std::string(text)); };

  FetchEnding ending;
  ending.host = host;
  ending.answeredFromInside = response.answeredFromInside;
  using Kind = DayResponse::Kind;
  if (response.newConnection && response.kind == Kind::kResponse) {
    if (!IsNumericHost(host)) line(kFetchHostResolvedLine);
    line(kFetchConnectedLine);
  }
  if (response.kind == Kind::kResponse && response.statusCode < 299) {
    line(kFetchSucceededLine);
    ending.kind = FetchEndingKind::kSuccess;
    ending.body = std::move(response.body);
    ending.contentType = std::move(response.contentType);
  } else if (response.kind == Kind::kResponse) {
    line(kFetchFailedLine);
    ending.kind = FetchEndingKind::kFailure;
  } else if (response.httpsRefused) {
    line(kFetchHttpsOnlyLine);
    ending.kind = FetchEndingKind::kFailure;
  } else {
    // A failure of the network ends the step at once with its reason: no site waits for the
    // watchdog here, the others go on meanwhile anyway.
    line(std::string(kFetchFailedLine) + " (" + response.error + ")");
    ending.kind = FetchEndingKind::kFailure;
    ending.error = std::move(response.error);
  }
  ending.statusCode = response.kind == Kind::kResponse ? response.statusCode : 0;
  crawl.EndFetch(ending);
}

void SitesSideBySide::TickSites(TickCount now) {
  for (auto& site : running_) site->crawl.Tick(now);
}

void SitesSideBySide::HandCutOffEndings() {
  for (auto& site : running_) {
    if (site->client.TakeCutOff()) site->crawl.EndFetch(FetchEnding{});
  }
}

bool SitesSideBySide::AllClosed() const {
  return std::all_of(running_.begin(), running_.end(),
                     [](const auto& site) { return site->crawl.State() == CrawlState::kClosed; });
}

SentenceStore SitesSideBySide::CopySentenceStore() const {
  SentenceStore store;
  for (const auto& site : running_) {
    for (const auto& [host, sentences] : site->crawl.Sentences())
      store[host].insert(sentences.begin(), sentences.end());
  }
  return store;
}

std::vector<KeptArticle> SitesSideBySide::Articles() const {
  std::vector<KeptArticle> articles;
  for (const auto& site : running_)
    articles.insert(articles.end(), site->crawl.Articles().begin(), site->crawl.Articles().end());
  return articles;
}

std::vector<SiteArticleCount> SitesSideBySide::SiteArticles() const {
  std::vector<SiteArticleCount> counts;
  for (const auto& site : running_) {
    counts.insert(counts.end(), site->crawl.SiteArticles().begin(),
                  site->crawl.SiteArticles().end());
  }
  return counts;
}

std::int32_t SitesSideBySide::FetchCount() const {
  std::int32_t count = 0;
  for (const auto& site : running_) count += site->crawl.FetchCount();
  return count;
}

std::size_t SitesSideBySide::URLCount() const {
  std::size_t count = 0;
  for (const auto& site : running_) count += site->crawl.URLList().size();
  return count + (sites_.size() - std::min(sites_.size(), running_.size()));
}

std::size_t SitesSideBySide::SentenceBytes() const {
  std::size_t bytes = 0;
  for (const auto& site : running_)
    for (const auto& [host, sentences] : site->crawl.Sentences())
      for (const auto& sentence : sentences) bytes += sentence.size();
  return bytes;
}

std::vector<std::string> SitesSideBySide::LiveLines() const {
  std::vector<std::string> lines;
  for (const auto& site : running_) {
    if (site->crawl.State() == CrawlState::kClosed) continue;
    lines.push_back(site->crawl.URLList().front() + "  " + site->view.Latest());
  }
  return lines;
}

}  // namespace quillmark
