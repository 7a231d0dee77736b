#pragma once
// The day's press: the sites of the list read side by side. Each site is read by a crawl of
// its own (a GatheringCrawl whose list is that site alone), so its steps keep their order
// (home page, its feed, robots.txt, its articles), while up to SitesAtOnce sites wait on the
// network at the same time through one DayFetcher (kept-alive connections, at most one per
// host). Used when the day's articles are read as articles (FollowArticles and ArticleText);
// the designed crawl reads every other configuration one page at a time, as always.
//
// How a shell drives it: set it up (SetSiteList, SetLinkOptions, SetHttpsProxy, SetSitesAtOnce)
// then call Run with a pump. Run returns when every site is read, or at once after Cancel
// (which the pump may call: every transfer ends there, what was read stays). Nothing here reads
// a clock or sleeps by itself: `now` gives the ticks, and the only sleep is the fetcher's wait
// on its sockets, at most `maxWaitMs` (the pump's and the watchdog's granularity).
//
// Status lines: each site's crawl writes the lines it always writes (each names its site's
// address or host); the fetch lines are written when a transfer ends, all of one transfer
// together, so the list stays readable while sites interleave.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gather/gathering_crawl.h"
#include "net/day_fetcher.h"

namespace quillmark {

inline constexpr std::int32_t kDefaultSitesAtOnce = 6;
inline constexpr std::int32_t kMinSitesAtOnce = 1;
inline constexpr std::int32_t kMaxSitesAtOnce = 16;
// Longest Run sleeps in the fetcher's wait before it pumps again: ten wake-ups a second
// while only waiting, and a Cancel seen within a tenth of a second.
inline constexpr int kPressWaitMs = 100;

// Whether a press with `options` reads its sites side by side.
bool ReadsSitesSideBySide(const LinkOptions& options);

class SitesSideBySide {
 public:
  // Whether the constructor writes the proxy's status lines, or a crawl made before already did.
  enum class ProxyLines { kWrite, kAlreadyWritten };
  // As GatheringCrawl's constructor: `proxySetting` (ProxySettingFromEnvironment()) gives the
  // proxy of every transfer, with the same two status lines. Keeps a reference to `view`.
  SitesSideBySide(CrawlView& view, TickCount now, std::string_view proxySetting = {},
                  ProxyLines lines = ProxyLines::kWrite);
  ~SitesSideBySide();

  void SetSiteList(const std::vector<std::string>& sites);
  void SetLinkOptions(const LinkOptions& options);
  void SetHttpsProxy(std::string_view proxySetting);
  // Kept within kMinSitesAtOnce to kMaxSitesAtOnce; 1 reads the sites one after another.
  void SetSitesAtOnce(std::int32_t sites);
  // The fetcher's limits, trusted certificates and address check (the proxies, https and the
  // User-Agent are filled in by Run).
  void SetFetcherSettings(DayFetcherSettings settings) { fetcherSettings_ = std::move(settings); }
  void SetWatchdogMs(std::uint32_t milliseconds) { watchdogMs_ = milliseconds; }
  // A site's whole time (0: none): each of its transfers gets what is left of it as its time
  // budget (DayRequest::timeBudgetMs), counted from the site's first request.
  void SetSiteTimeBudgetMs(std::uint32_t milliseconds) { siteBudgetMs_ = milliseconds; }
  // Articles already kept in the history are counted from there, not fetched again
  // (GatheringCrawl::SetKeptArticleLookup).
  void SetKeptArticleLookup(KeptArticleLookup lookup) { keptArticleLookup_ = std::move(lookup); }
  // Handed to every site's crawl (GatheringCrawl::SetReadingStop).
  void SetReadingStop(std::function<bool()> stop) { readingStop_ = std::move(stop); }

  // Reads every site; see the header's opening. Returns kOK, or kCancel after Cancel. Throws
  // std::runtime_error when the fetcher cannot be set up.
  ModalResult Run(const std::function<TickCount()>& now, const std::function<void()>& pump,
                  int maxWaitMs = kPressWaitMs, std::uint32_t tickIntervalMs = kTickIntervalMs);
  // Ends every transfer at once and starts no other; safe from inside the pump.
  void Cancel();

  // The sites' results merged, in the order of the site list.
  SentenceStore CopySentenceStore() const;
  std::vector<KeptArticle> Articles() const;
  std::vector<SiteArticleCount> SiteArticles() const;
  // Pages and articles fetched, and addresses known, over every site.
  std::int32_t FetchCount() const;
  std::size_t URLCount() const;
  // The bytes of the sentences kept so far (for a progress line).
  std::size_t SentenceBytes() const;
  // One line per site being read now: its address, then its latest status line.
  std::vector<std::string> LiveLines() const;
  // The greatest number of transfers that ran at once (for tests and benchmarks).
  std::size_t MostAtOnce() const { return mostAtOnce_; }

 private:
  struct Site;
  class SiteClient;
  class SiteView;
  class SettingsCapture;

  void AdmitSites(TickCount now);
  void StartFetches(TickCount now);
  void EndTransfer(DayFetcher::TransferId id, DayResponse response);
  void TickSites(TickCount now);
  void HandCutOffEndings();
  bool AllClosed() const;

  CrawlView& view_;
  std::unique_ptr<CrawlView> silentView_;  // takes the proxy lines written already
  std::unique_ptr<SettingsCapture> settings_;
  std::unique_ptr<GatheringCrawl> settingsCrawl_;  // writes the proxy lines, once
  std::vector<std::string> sites_;
  LinkOptions options_;
  std::int32_t sitesAtOnce_ = kDefaultSitesAtOnce;
  std::uint32_t watchdogMs_ = kWatchdogMs;
  std::uint32_t siteBudgetMs_ = 0;
  DayFetcherSettings fetcherSettings_;
  KeptArticleLookup keptArticleLookup_;
  std::function<bool()> readingStop_;
  std::unique_ptr<DayFetcher> fetcher_;
  std::vector<std::unique_ptr<Site>> running_;  // same order as sites_, made when admitted
  std::size_t nextSite_ = 0;
  bool cancelled_ = false;
  std::size_t mostAtOnce_ = 0;
};

}  // namespace quillmark
