#pragma once
// The gathering crawl: which URL to fetch next, what to make of each fetched page, and when
// the gathering is over. A state machine that never touches the network and never reads a
// clock: the shell that drives it (the gathering dialog, or a command-line program) asks it
// for the next URL, fetches that URL with a PageFetch, pumping its own events while it waits,
// and hands it the ending; the time of every call comes in as a 32-bit tick argument.
//
// The crawl is breadth-first over one growing list: the site list first, in its order, then
// every admitted link appended at the end. A link is admitted only once, only from a page whose
// depth is below AllowedLevel, never when it is written as an absolute "http://" address (nor,
// when https is fetched, as an "https://" one), and only when its resolved URL ends in one of
// the page extensions or in '/'.
//
// With the day's articles on (LinkOptions::FollowArticles), each site address read with
// success is followed at once by its own steps, before the next URL of the list: the address
// itself when it answered with a feed, else the feeds its page names (one fetch each until one
// parses), else the page's links that read as articles (site_articles.h) give at most
// ArticlesPerSite addresses, newest first, each once in the run; before the first article of
// each host, its robots.txt once per run; then each article, its sentences stored under the
// site's host; then one line with the count read. A failed step is one line and the crawl goes
// on (a client error there does not wait for the watchdog). Links found in pages keep the
// designed rules; the feed's own items may be on any host.
//
// How a shell drives it. The rule behind every step: the next fetch starts only after the
// previous Get has returned, never inside the timer's slot, a pump or an event handler.
//   - Set up: construct with the PageFetch (as FetchControl), a view, the current tick and
//     ProxySettingFromEnvironment(); SetSiteList; SetLinkOptions; when https is fetched,
//     SetHttpsProxy(HttpsProxySettingFromEnvironment()).
//   - Once shown (a queued call, not inside showEvent): Start, then the fetch loop.
//   - The fetch loop is FetchWhileReady, with a pump that processes the window's events; after
//     it returns, close when Result() is not kNone.
//   - Every kTickIntervalMs (the Timer's slot; it may run inside the pump): Tick, then close
//     when Result() is not kNone, else draw frame AnimationCounter() modulo the frame count,
//     and queue the fetch loop when ReadyForFetch() (the watchdog has ended a wait).
//   - Cancel: Cancel, then close when Result() is not kNone (otherwise the fetch loop closes
//     once the fetch in progress has returned).
//   - Closed: CopySentenceStore.
// RunCrawl below does the same without a window.
//
// States (State()):
//   kConfigured  constructed; the site list and the link options may still be set
//   kReady       no fetch in progress, the last ending handled: the fetch loop may start one
//   kFetching    a URL was handed out and its fetch has no ending yet; its status lines show
//   kCutOff      the watchdog ended the fetch before its Get returned; its reports are dropped
//   kWaiting     the fetch ended with a client error; the watchdog from its start moves on
//   kClosed      the shell closes now, with Result()
// Beside the state, Finished says that no further fetch will start (the list is exhausted, or
// Cancel): a Finished crawl closes at the next Tick, or, after Cancel, as soon as no Get is
// in progress.

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "article/article_extractor.h"
#include "article/page_links.h"
#include "gather/feed_reader.h"
#include "gather/page_fetch.h"
#include "gather/page_scanner.h"
#include "gather/robots_rules.h"
#include "study/kept_article.h"
#include "study/sentence_store.h"

namespace quillmark {

// A wrapping unsigned 32-bit millisecond count, like the system's tick count.
using TickCount = std::uint32_t;

// The steady clock's milliseconds truncated to 32 bits: wraps about every 49.7 days.
TickCount SystemTickCount();

inline constexpr std::uint32_t kTickIntervalMs = 500;
inline constexpr std::uint32_t kWatchdogMs = 30000;

// A proxy setting taken apart.
struct ProxyServer {
  std::string host;
  std::string portText;  // as written; may be empty or not a number
};

// Keeps what follows the first "//" (when there is one), of that what precedes the first '/'
// (when there is one), and cuts that at its first ':' into host and port text ("proxyhost"
// alone gives an empty port text). Never fails: a list such as "http=a:1;ftp=b:2" gives an
// unusable host.
ProxyServer SplitProxyServer(std::string_view setting);

// The proxy setting of the environment: `http_proxy` when it is set and not empty, else
// `HTTP_PROXY` when it is, else an empty text (no proxy). `getEnv` reads one variable and
// returns null when it is not set.
std::string ProxySettingFromEnvironment(
    const std::function<const char*(const char*)>& getEnv = std::getenv);

// The proxy setting of https in the environment: `https_proxy` when it is set and not empty,
// else `HTTPS_PROXY` when it is, else an empty text (https then takes the http proxy).
std::string HttpsProxySettingFromEnvironment(
    const std::function<const char*(const char*)>& getEnv = std::getenv);

// Where the crawl's texts go: the dialog's Label and StatusListBox, or a terminal.
class CrawlView {
 public:
  virtual ~CrawlView() = default;
  virtual void SetLabel(const std::string& text) = 0;
  // Appends one line; the dialog selects it so that the list scrolls to it.
  virtual void AddStatusLine(const std::string& text) = 0;
};

// The link options of the configuration.
struct LinkOptions {
  bool IsLevel = false;  // whether anchor links are followed at all (frame sources always are)
  std::int32_t AllowedLevel = 1;  // pages of this depth or deeper give no links
  // Whether https URLs are fetched; absolute "https://" links are then skipped as "http://"
  // ones are.
  bool FetchHttps = false;
  // Whether a page is read as an article (article/article_extractor.h): its body's sentences
  // are kept and its links taken from the parsed page. Off, the page scanner reads it.
  bool ArticleText = false;
  // Whether each site's articles of the day are read after its address (see above).
  bool FollowArticles = false;
  // How many articles of each site at most; kept within kMinArticlesPerSite to
  // kMaxArticlesPerSite.
  std::int32_t ArticlesPerSite = 10;
  // The day press's manners (set by SitesSideBySide): a robots.txt that cannot be reached
  // (no connection, no answer) skips its host's articles as a 5xx does, and its Crawl-delay
  // is kept between two requests to the host (one longer than kMaxCrawlDelayMs skips the
  // host's articles, with a status line). Off, robots.txt is read as it always was.
  bool DayManners = false;
};

// A site's budget for its articles: its steps (feeds, robots.txt, articles) start within
// kSiteArticlesBudgetMs of its first one, and it makes at most ArticlesPerSite +
// kSiteExtraRequests feed and robots.txt requests; a step past either is skipped with a line.
inline constexpr std::uint32_t kSiteArticlesBudgetMs = 60000;
inline constexpr std::int32_t kSiteExtraRequests = 3;
inline constexpr std::uint32_t kMaxCrawlDelayMs = 10000;

inline constexpr std::int32_t kDefaultArticlesPerSite = 10;
inline constexpr std::int32_t kMinArticlesPerSite = 1;
inline constexpr std::int32_t kMaxArticlesPerSite = 100;

// What the crawl made of one site's articles, in the order the sites were read.
struct SiteArticleCount {
  std::string site;         // the address of the site list
  std::string host;         // the host its sentences are stored under
  std::int32_t chosen = 0;  // the articles it chose to fetch (robots.txt may skip some)
  std::int32_t read = 0;    // the articles read with success
  std::int32_t asked = 0;   // the articles asked for so far (those robots.txt allowed)
};

// The articles read, by site address, for the report's site list.
std::map<std::string, std::int32_t> ArticlesReadBySite(const std::vector<SiteArticleCount>& sites);

// The article kept in the history at an address, when there is one (the day's press counts it
// from there instead of fetching it again). Must not throw.
using KeptArticleLookup = std::function<std::optional<KeptArticle>(const std::string& address)>;

// The links of a fetched page, for the feeds and article links of a site address.
using PageLinksReader = std::function<PageLinks(const std::string& body)>;

enum class CrawlState { kConfigured, kReady, kFetching, kCutOff, kWaiting, kClosed };

// How the shell closes: kOK after a normal end, kCancel after Cancel; kNone while it stays
// open.
enum class ModalResult { kNone, kOK, kCancel };

class GatheringCrawl {
 public:
  // Sets up an empty crawl and takes `now` as FetchStartTick. When `proxySetting` (see
  // ProxySettingFromEnvironment) gives a host, sends every fetch through it with
  // client.SetProxy and writes the status lines host + "をプロキシに設定" and port text +
  // "をプロキシに設定"; the port text is read as a decimal integer (leading zeros and a sign
  // allowed), and one that is not a number from 1 to 65535 gives port 0. An empty
  // setting or host writes nothing and leaves the client without proxy. Keeps references to
  // `client` and `view`, which must outlive the crawl.
  GatheringCrawl(FetchControl& client, CrawlView& view, TickCount now,
                 std::string_view proxySetting = {});

  // URLList becomes a copy of `sites`, each at depth 0. Only in kConfigured; ignored later.
  void SetSiteList(const std::vector<std::string>& sites);
  // Stores the options (AllowedLevel becomes 1 when IsLevel is false) and tells the client
  // whether to fetch https. Only in kConfigured.
  void SetLinkOptions(LinkOptions options);
  // Sends the client's https fetches through the proxy `proxySetting` names, split and
  // reported with two status lines as the constructor does for http; an empty setting or
  // host changes nothing (https then takes the http proxy). Only in kConfigured.
  void SetHttpsProxy(std::string_view proxySetting);
  // How the links of a site's page are read for its feeds and article links, instead of from
  // the parsed page (a test hands in links of its own). Only in kConfigured.
  void SetPageLinksReader(PageLinksReader reader);
  // Asked every few milliseconds while a page is parsed (article/html_tree.h): true abandons
  // that reading, and the page is scanned instead (a terminal's Ctrl-C, say). The reading's own
  // time budget applies without it.
  void SetReadingStop(std::function<bool()> stop) { readingStop_ = std::move(stop); }
  // With DayManners: an article `lookup` finds is not fetched; its kept paragraphs are counted
  // as if read now (its status line ends in kKeptArticleMark). Only in kConfigured.
  void SetKeptArticleLookup(KeptArticleLookup lookup) {
    if (state_ == CrawlState::kConfigured) keptArticleLookup_ = std::move(lookup);
  }
  // The watchdog's limit in milliseconds (kWatchdogMs unless a test shortens it).
  void SetWatchdogMs(std::uint32_t milliseconds) { watchdogMs_ = milliseconds; }

  // The first activation: kConfigured -> kReady, Activated set; an empty URLList sets
  // Finished. Later calls change nothing.
  void Start();

  // In kReady with a URL left: takes the URL at FetchCount, adds 1 to FetchCount, adds the URL
  // to VisitedURLs, sets the label "インターネットサイトより単語収集中  (" FetchCount "/" URLList
  // size ")", writes the status line URL + "接続開始", sets FetchStartTick to `now`, enters
  // kFetching and returns the URL for the shell to fetch. In kReady with no URL left, sets
  // Finished. Returns nothing in every other case (a fetch in progress, a wait, Finished) and
  // then changes nothing.
  std::optional<std::string> StartNextFetch(TickCount now);

  // A status line written by the fetch in progress (PageFetch's sink). Shown in kFetching,
  // dropped in every other state (above all in kCutOff).
  void ReportFetchLine(const std::string& line);

  // The ending of the fetch StartNextFetch handed out, once its Get has returned.
  // kFetching: a success is scanned (ScanPage with IsLevel), its links admitted with the URL
  // as requested and its depth, and its page text added to the sentence store under
  // `ending.host`; with ArticleText (and a page within the article reading's bounds, see
  // article/article_extractor.h) it is read as an article instead: its links taken from the parsed
  // page, its body's sentences added, and the article listed in Articles(); a success or failure
  // enters kReady, a client error kWaiting. A page whose scan or sentences run out of memory is
  // dropped with the status line URL + "のページはメモリ不足のため破棄" (its sentences taken back,
  // links it gave kept) and the crawl goes on; one whose reading fails in any other way is
  // dropped so too, with the line URL + "のページは読み取りに失敗したため破棄: " + the failure's
  // text. kCutOff: the ending is dropped; enters kReady. Other
  // states: ignored. Then: after Cancel, enters kClosed (kCancel); in kReady with no URL left, sets
  // Finished (a wait is ended by the watchdog first, even after the last URL).
  // An article step (FollowArticles) is handled as the header's opening says and enters kReady
  // whatever its ending.
  void EndFetch(const FetchEnding& ending);

  // The timer. Finished: enters kClosed (kOK, or kCancel after Cancel) unless a Get is still
  // in progress (kFetching, kCutOff), and does nothing else. Otherwise, when more than the
  // watchdog's limit has passed since FetchStartTick (an unsigned 32-bit difference) in
  // kFetching or kWaiting, writes the client's Host + "タイムアウト" and ends that fetch:
  // kFetching disconnects the client and enters kCutOff, kWaiting enters kReady (setting
  // Finished when no URL is left). Then adds 1 to AnimationCounter.
  void Tick(TickCount now);

  // Disconnects the client and sets Finished; no further fetch starts. Enters kClosed
  // (kCancel) at once unless a Get is in progress, whose ending is then still handled.
  void Cancel();

  CrawlState State() const { return state_; }
  ModalResult Result() const { return result_; }
  // Whether the shell's fetch loop would start a fetch now (the watchdog ended a wait while no
  // loop was running).
  bool ReadyForFetch() const;
  // With DayManners: whether the last StartNextFetch gave nothing only because the next
  // article's host asks for a Crawl-delay that has not passed (ask again later).
  bool WaitingForCrawlDelay() const { return waitingForDelay_; }

  // A copy of the sentences of every page fetched with success, by host.
  SentenceStore CopySentenceStore() const { return sentenceStore_; }
  // The same sentences without a copy, for a view that only reads them while the crawl runs.
  const SentenceStore& Sentences() const { return sentenceStore_; }

  // The articles read so far, in the order they were read (none while the article reading is
  // off).
  const std::vector<KeptArticle>& Articles() const { return articles_; }

  // The articles of each site read so far (none while FollowArticles is off).
  const std::vector<SiteArticleCount>& SiteArticles() const { return siteArticles_; }

  const std::vector<std::string>& URLList() const { return URLList_; }
  const std::vector<std::int32_t>& LinkDepths() const { return LinkDepths_; }
  std::int32_t FetchCount() const { return FetchCount_; }
  bool Finished() const { return Finished_; }
  std::int32_t AnimationCounter() const { return AnimationCounter_; }

 private:
  void TakePage(const FetchEnding& ending);
  void TakeArticle(const FetchEnding& ending, PageReading page, FollowAnchors anchors);
  // Adds an article's sentences under `host` and, when it is an article, lists it; a page that
  // gives no date takes `fallbackDate` (a feed's).
  void KeepArticleText(const std::string& host, const std::string& url, ArticleText article,
                       std::string fallbackDate);
  // A site address read with success: chooses its articles (the page's own feed, the feeds
  // its links name, its article links) and queues their steps before the next URL. Does
  // nothing unless FollowArticles is on and the page is a site address of the list.
  void NoteSiteArticles(const std::string& siteURL, const FetchEnding& ending,
                        const PageLinks& links);

  enum class StepKind { kFeed, kRobots, kArticle, kSiteDone };
  struct ArticleStep {
    StepKind kind = StepKind::kArticle;
    std::string url;
    std::size_t site = 0;     // index into siteArticles_
    std::int32_t number = 0;  // kArticle: its place among the site's chosen ones, from 1
    std::string date;         // kArticle: the feed's date of it, when it gave one
  };
  struct SiteSources {
    std::vector<std::string> feeds;  // named by the page, not yet tried
    std::size_t nextFeed = 0;
    std::vector<std::string> articleLinks;  // when no feed parses
  };
  struct RobotsEntry {
    bool unavailable = false;  // a 5xx: the host's articles are skipped this run
    RobotsRules rules;
  };
  // With DayManners: whether `origin`'s Crawl-delay has not yet passed since its last request.
  bool MustWaitFor(const std::string& origin, TickCount now) const;
  std::optional<std::string> StartArticleStep(TickCount now);
  void EndArticleStep(const ArticleStep& step, const FetchEnding& ending);
  void TryNextSource(std::size_t site);
  // Whether `address`, named by site `site`, is never fetched: not http or https, or inward
  // (net/inward_address.h) while the site is not; writes the line saying so.
  bool Refused(std::size_t site, const std::string& address);
  // Whether `step` is past its site's budget at `now` (see kSiteArticlesBudgetMs); counts it
  // when it is not. Writes the line saying so.
  bool PastSiteBudget(const ArticleStep& step, TickCount now);
  void QueueArticles(std::size_t site, const std::vector<FeedItem>& items);
  void TakeSiteArticle(const ArticleStep& step, const FetchEnding& ending);
  void TakeKeptArticle(const ArticleStep& step, KeptArticle kept);
  void AdmitLinks(const std::string& pageURL, std::int32_t pageDepth,
                  const std::vector<std::string>& links);
  bool URLLeft() const;
  void FinishIfNoURLLeft();
  void CloseWhenFinished();

  FetchControl& client_;
  CrawlView& view_;
  CrawlState state_ = CrawlState::kConfigured;
  ModalResult result_ = ModalResult::kNone;
  bool cancelled_ = false;
  std::uint32_t watchdogMs_ = kWatchdogMs;

  std::vector<std::string> URLList_;
  std::vector<std::int32_t> LinkDepths_;  // same index as URLList_
  std::int32_t FetchCount_ = 0;
  std::set<std::string> VisitedURLs_;
  std::int32_t AllowedLevel_ = 1;
  bool IsLevel_ = false;
  bool FetchHttps_ = false;
  bool ArticleText_ = false;
  bool Activated_ = false;
  bool Finished_ = false;
  TickCount FetchStartTick_ = 0;
  std::int32_t AnimationCounter_ = 0;
  SentenceStore sentenceStore_;
  std::vector<KeptArticle> articles_;

  bool FollowArticles_ = false;
  std::int32_t ArticlesPerSite_ = kDefaultArticlesPerSite;
  PageLinksReader pageLinksReader_;
  std::function<bool()> readingStop_;
  std::deque<ArticleStep> articleSteps_;    // before the next URL of URLList
  std::optional<ArticleStep> currentStep_;  // the step being fetched; none for a URL of URLList
  std::vector<SiteArticleCount> siteArticles_;
  std::vector<SiteSources> siteSources_;  // same index as siteArticles_
  std::vector<char> siteInward_;          // same index: the site itself is inward, so may name such
  struct SiteBudget {
    bool started = false;
    TickCount start = 0;        // when its first step started
    std::int32_t requests = 0;  // feeds and robots.txt asked for
  };
  std::vector<SiteBudget> siteBudgets_;        // same index
  std::map<std::string, RobotsEntry> robots_;  // by origin ("http://host:port")
  bool DayManners_ = false;
  std::map<std::string, TickCount> lastRequestTick_;  // by origin, with DayManners
  bool waitingForDelay_ = false;  // StartNextFetch gave nothing for a Crawl-delay
  KeptArticleLookup keptArticleLookup_;
};

// The end of an article's status line when it was counted from the history, not fetched.
inline constexpr std::string_view kKeptArticleMark = " (保存済み)";

// The start of the gathering dialog's label, "(read/all)" after it, on both crawls.
inline constexpr std::string_view kGatheringLabelStart = "インターネットサイトより単語収集中  (";

// The fetch loop: while the crawl hands out a URL, fetches it with `fetch` (calling `pump` in
// every turn of its waits) and hands the ending back; status lines reach the crawl as they
// are written. Returns when StartNextFetch gives nothing (a wait, Finished, kClosed). Must not
// be called from inside `pump`; throws what PageFetch::Fetch lets through.
void FetchWhileReady(GatheringCrawl& crawl, PageFetch& fetch, const std::function<TickCount()>& now,
                     const std::function<void()>& pump);

// What RunCrawl needs besides the crawl and the fetch.
struct CrawlRunner {
  std::function<TickCount()> now = SystemTickCount;
  // Called in every turn of every wait and between waits; may call the crawl's Cancel (a
  // Ctrl-C) and nothing else of it.
  std::function<void()> pump;
  // Called when the crawl waits with no fetch in progress (for the watchdog or the closing
  // tick); a terminal sleeps a few milliseconds here, a test moves its clock on.
  std::function<void()> idle;
  std::uint32_t tickIntervalMs = kTickIntervalMs;
};

// The whole crawl without a window: Start, then the fetch loop, ticking the crawl every
// `runner.tickIntervalMs` of `runner.now` (also from inside the fetch's waits, so the watchdog
// cuts a stalled fetch off) until it closes. A crawl that is Finished with no Get in progress
// closes at once, without waiting for the next tick. Returns Result(). Throws what
// FetchWhileReady throws.
ModalResult RunCrawl(GatheringCrawl& crawl, PageFetch& fetch, const CrawlRunner& runner);

}  // namespace quillmark
