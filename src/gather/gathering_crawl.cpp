#include "gather/gathering_crawl.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <new>

#include "article/article_extractor.h"
#include "article/sentence_split.h"
#include "gather/article_date.h"
#include "gather/feed_reader.h"
#include "gather/link_resolver.h"
#include "gather/page_scanner.h"
#include "gather/site_articles.h"
#include "net/inward_address.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

// The articles a site's feed or links offer per article asked for: the spare ones take the
// place of those robots.txt refuses.
constexpr std::size_t kSpareArticles = 2;

constexpr std::string_view kProxyLine = "をプロキシに設定";
constexpr std::string_view kStartLine = "接続開始";
constexpr std::string_view kTimeOutLine = "タイムアウト";
constexpr std::string_view kDroppedPageLine = "のページはメモリ不足のため破棄";
// A page whose reading failed otherwise: the line names the page and the failure.
constexpr std::string_view kUnreadablePageLine = "のページは読み取りに失敗したため破棄: ";
// The steps of a site's articles: the feed fetched, each article with its place, the failure
// of a step the client gave up on, robots.txt's answers, and the count read at the end.
constexpr std::string_view kFeedLine = "のフィードを取得";
constexpr std::string_view kArticleLineStart = "記事 ";
constexpr std::string_view kFailedLine = "からのドキュメント取得失敗";
constexpr std::string_view kRobotsUnavailableLine = "のrobots.txtが応答しないため記事の取得を省略";
constexpr std::string_view kRobotsDisallowedLine = "はrobots.txtにより取得しません";
constexpr std::string_view kCrawlDelayTooLongLine =
    "のrobots.txtのCrawl-delayが長すぎるため記事の取得を省略 (";
constexpr std::string_view kCrawlDelayTooLongLineEnd = "秒)";
constexpr std::string_view kSiteArticlesLine = "の記事を";
constexpr std::string_view kSiteArticlesLineEnd = "件取得";
// An address a site hands us that is never fetched: another scheme than http and https, or
// an inward one (net/inward_address.h) from a site that is not itself inward.
constexpr std::string_view kNotWebLine = "はhttp/httpsのアドレスではないため取得しません";
constexpr std::string_view kInwardLine = "は内部のアドレスのため取得しません";
// An article address that answered with a feed: not read as an article.
constexpr std::string_view kFeedArticleLine = "はフィードのため記事として読みません";
// A step past its site's budget of time or requests.
constexpr std::string_view kPastBudgetLine = "はサイトの取得上限を超えたため取得しません";

// A link written as an absolute address of this form is never followed, whatever host it
// names; "HTTP://" and "https://" are, as they are not this form.
constexpr std::string_view kAbsoluteLinkStart = "http://";
// The same for https, once https is fetched at all: the crawl stays on its sites.
constexpr std::string_view kAbsoluteSecureLinkStart = "https://";

const std::set<std::string, std::less<>>& PageExtensions() {
  static const std::set<std::string, std::less<>> extensions{".html", ".HTML", ".htm",
                                                             ".HTM",  ".asp",  ".ASP"};
  return extensions;
}

// The port text as a port number: a decimal integer, leading zeros and a sign allowed
// ("000080", "+80"); anything else, and any number outside 1 to 65535, is 0.
std::uint32_t ProxyPortOf(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  std::uint32_t port = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    // Past 65535 the digits that follow only decide whether the text is a number at all.
    if (port <= 65535) port = port * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return negative || port > 65535 ? 0 : port;
}

// The status line of a page dropped for a failure other than memory, naming it and why.
std::string UnreadablePageLine(const std::string& url, const char* why) {
  return url + std::string(kUnreadablePageLine) + (why != nullptr && *why != '\0' ? why : "?");
}

}  // namespace

std::map<std::string, std::int32_t> ArticlesReadBySite(const std::vector<SiteArticleCount>& sites) {
  std::map<std::string, std::int32_t> read;
  for (const SiteArticleCount& site : sites) read[site.site] += site.read;
  return read;
}

TickCount SystemTickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<TickCount>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

ProxyServer SplitProxyServer(std::string_view setting) {
  if (const std::size_t slashes = setting.find("//"); slashes != std::string_view::npos) {
    setting.remove_prefix(slashes + 2);
  }
  setting = setting.substr(0, setting.find('/'));
  const std::size_t colon = setting.find(':');
  if (colon == std::string_view::npos) return {std::string(setting), {}};
  return {std::string(setting.substr(0, colon)), std::string(setting.substr(colon + 1))};
}

namespace {

std::string FirstSetVariable(const std::function<const char*(const char*)>& getEnv,
                             std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = getEnv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// Splits a proxy setting and, when it names a host, hands it to `use` and writes the two
// status lines. An empty host would mean "no proxy" to the client; saying it was set would be
// untrue.
template <typename Use>
void ApplyProxySetting(std::string_view setting, CrawlView& view, Use use) {
  if (setting.empty()) return;
  const ProxyServer proxy = SplitProxyServer(setting);
  if (proxy.host.empty()) return;
  use(proxy.host, ProxyPortOf(proxy.portText));
  view.AddStatusLine(proxy.host + std::string(kProxyLine));
  view.AddStatusLine(proxy.portText + std::string(kProxyLine));
}

}  // namespace

std::string ProxySettingFromEnvironment(const std::function<const char*(const char*)>& getEnv) {
  return FirstSetVariable(getEnv, {"http_proxy", "HTTP_PROXY"});
}

std::string HttpsProxySettingFromEnvironment(
    const std::function<const char*(const char*)>& getEnv) {
  return FirstSetVariable(getEnv, {"https_proxy", "HTTPS_PROXY"});
}

GatheringCrawl::GatheringCrawl(FetchControl& client, CrawlView& view, TickCount now,
                               std::string_view proxySetting)
    : client_(client), view_(view), FetchStartTick_(now) {
  ApplyProxySetting(proxySetting, view_, [this](const std::string& host, std::uint32_t port) {
    client_.SetProxy(host, port);
  });
}

void GatheringCrawl::SetHttpsProxy(std::string_view proxySetting) {
  if (state_ != CrawlState::kConfigured) return;
  ApplyProxySetting(proxySetting, view_, [this](const std::string& host, std::uint32_t port) {
    client_.SetHttpsProxy(host, port);
  });
}

void GatheringCrawl::SetSiteList(const std::vector<std::string>& sites) {
  if (state_ != CrawlState::kConfigured) return;
  URLList_ = sites;
  LinkDepths_.assign(sites.size(), 0);
}

void GatheringCrawl::SetLinkOptions(LinkOptions options) {
  if (state_ != CrawlState::kConfigured) return;
  IsLevel_ = options.IsLevel;
  AllowedLevel_ = options.IsLevel ? options.AllowedLevel : 1;
  FetchHttps_ = options.FetchHttps;
  ArticleText_ = options.ArticleText;
  client_.SetFetchHttps(options.FetchHttps);
  FollowArticles_ = options.FollowArticles;
  DayManners_ = options.DayManners;
  ArticlesPerSite_ = std::clamp(options.ArticlesPerSite, kMinArticlesPerSite, kMaxArticlesPerSite);
}

void GatheringCrawl::SetPageLinksReader(PageLinksReader reader) {
  if (state_ != CrawlState::kConfigured) return;
  pageLinksReader_ = std::move(reader);
}

void GatheringCrawl::Start() {
  if (Activated_ || state_ != CrawlState::kConfigured) return;
  state_ = CrawlState::kReady;
  FinishIfNoURLLeft();
  Activated_ = true;
}

std::optional<std::string> GatheringCrawl::StartNextFetch(TickCount now) {
  waitingForDelay_ = false;
  if (state_ != CrawlState::kReady || Finished_) return std::nullopt;
  if (std::optional<std::string> url = StartArticleStep(now)) return url;
  if (waitingForDelay_) return std::nullopt;
  if (!URLLeft()) {
    Finished_ = true;
    return std::nullopt;
  }
  const std::string url = URLList_[static_cast<std::size_t>(FetchCount_)];
  ++FetchCount_;
  VisitedURLs_.insert(url);
  view_.SetLabel(std::string(kGatheringLabelStart) + std::to_string(FetchCount_) + "/" +
                 std::to_string(URLList_.size()) + ")");
  view_.AddStatusLine(url + std::string(kStartLine));
  client_.SetRefuseInward(false);  // the list and its links are the user's, as designed
  FetchStartTick_ = now;
  if (DayManners_) lastRequestTick_[SplitOrigin(url).origin] = now;
  state_ = CrawlState::kFetching;
  return url;
}

bool GatheringCrawl::MustWaitFor(const std::string& origin, TickCount now) const {
  const auto robots = robots_.find(origin);
  const auto last = lastRequestTick_.find(origin);
  if (robots == robots_.end() || last == lastRequestTick_.end()) return false;
  const std::optional<std::uint32_t> delay = robots->second.rules.CrawlDelayMs();
  return delay && static_cast<TickCount>(now - last->second) < *delay;
}

void GatheringCrawl::ReportFetchLine(const std::string& line) {
  if (state_ == CrawlState::kFetching) view_.AddStatusLine(line);
}

void GatheringCrawl::EndFetch(const FetchEnding& ending) {
  if (state_ == CrawlState::kCutOff) {
    // A feed cut off gives nothing; the site goes on with its next source and its count line.
    const bool feedCutOff = currentStep_ && currentStep_->kind == StepKind::kFeed;
    const std::size_t site = currentStep_ ? currentStep_->site : 0;
    currentStep_.reset();
    state_ = CrawlState::kReady;
    if (feedCutOff) TryNextSource(site);
  } else if (state_ == CrawlState::kFetching && currentStep_) {
    const ArticleStep step = std::move(*currentStep_);
    currentStep_.reset();
    state_ = CrawlState::kReady;
    EndArticleStep(step, ending);
  } else if (state_ == CrawlState::kFetching) {
    if (ending.kind == FetchEndingKind::kSuccess) TakePage(ending);
    state_ =
        ending.kind == FetchEndingKind::kClientError ? CrawlState::kWaiting : CrawlState::kReady;
  } else {
    return;
  }
  if (cancelled_) {
    state_ = CrawlState::kClosed;
    result_ = ModalResult::kCancel;
    return;
  }
  // A wait ends with the watchdog's line even after the last URL; it finishes the crawl then.
  if (state_ == CrawlState::kReady) FinishIfNoURLLeft();
}

// The addresses of a parsed page the crawl may follow, in the scanner's order: frame sources,
// inline-frame sources, then (when anchors are followed) anchor targets.
RawLinkList FollowableLinks(const PageLinks& page, FollowAnchors anchors) {
  RawLinkList links;
  for (PageLinkElement kind :
       {PageLinkElement::kFrame, PageLinkElement::kInlineFrame, PageLinkElement::kAnchor}) {
    if (kind == PageLinkElement::kAnchor && anchors == FollowAnchors::kNo) break;
    for (const PageLink& link : page.links)
      if (link.element == kind) links.push_back(link.href);
  }
  return links;
}

void GatheringCrawl::KeepArticleText(const std::string& host, const std::string& url,
                                     ArticleText article, std::string fallbackDate) {
  AddArticleSentences(host, SentencesOf(article.paragraphs), sentenceStore_);
  // A home page read as an article is its teasers: it is not listed.
  if (!article.isArticle || IsHomePageAddress(url)) return;
  // A page's date that reads as none (a template's "0001-01-01") gives way to the feed's.
  if (!fallbackDate.empty() && !ReadArticleDate(article.date))
    article.date = std::move(fallbackDate);
  articles_.push_back({host, url, std::move(article.title), std::move(article.date),
                       std::move(article.paragraphs)});
}

void GatheringCrawl::TakeArticle(const FetchEnding& ending, PageReading page,
                                 FollowAnchors anchors) {
  const std::size_t index = static_cast<std::size_t>(FetchCount_) - 1;
  const std::string pageURL = URLList_[index];
  AdmitLinks(pageURL, LinkDepths_[index], FollowableLinks(page.links, anchors));
  KeepArticleText(ending.host, pageURL, std::move(page.article), {});
  if (FollowArticles_ && LinkDepths_[index] == 0) {
    NoteSiteArticles(pageURL, ending,
                     pageLinksReader_ ? pageLinksReader_(ending.body) : page.links);
  }
}

void GatheringCrawl::TakePage(const FetchEnding& ending) {
  const std::size_t index = static_cast<std::size_t>(FetchCount_) - 1;
  try {
    if (FollowArticles_ && LinkDepths_[index] == 0 &&
        LooksLikeFeed(ending.body, ending.contentType)) {
      // A site address that is a feed: its items are the site's articles, its text no page.
      NoteSiteArticles(URLList_[index], ending, {});
      return;
    }
    if (ArticleText_) {
      if (std::optional<PageReading> page =
              ReadPage(ending.body, ending.contentType, readingStop_)) {
        TakeArticle(ending, std::move(*page),
                    IsLevel_ && LinkDepths_[index] < AllowedLevel_ ? FollowAnchors::kYes
                                                                   : FollowAnchors::kNo);
        return;
      }
    }
    // A page at the allowed depth gives no links whatever it holds, and the page text does
    // not depend on the flag: its anchors need not be collected only to be dropped.
    const FollowAnchors anchors =
        IsLevel_ && LinkDepths_[index] < AllowedLevel_ ? FollowAnchors::kYes : FollowAnchors::kNo;
    ScannedPage page = ScanPage(ending.body, anchors);
    // A copy: admitting links grows URLList, which may move the URL we would point at.
    const std::string pageURL = URLList_[index];
    AdmitLinks(pageURL, LinkDepths_[index], page.links);
    AddPageSentences(ending.host, page.text, sentenceStore_);
    if (FollowArticles_ && LinkDepths_[index] == 0) {
      // The scanner keeps no head and no link elements: the feeds a home page names come from
      // the parsed page (none from a page past the article reading's bounds).
      PageLinks links;
      if (pageLinksReader_) {
        links = pageLinksReader_(ending.body);
      } else if (std::optional<PageLinks> parsed =
                     ReadLinksOfPage(ending.body, ending.contentType, readingStop_)) {
        links = std::move(*parsed);
      }
      NoteSiteArticles(pageURL, ending, links);
    }
  } catch (const std::bad_alloc&) {
    // One page too big for the memory left must not end the whole run: its scan and copies
    // are freed by now, and the sites after it are still fetched.
    view_.AddStatusLine(URLList_[index] + std::string(kDroppedPageLine));
  } catch (const std::exception& error) {
    // Nor may any other failure of one page's reading: it costs that page only.
    view_.AddStatusLine(UnreadablePageLine(URLList_[index], error.what()));
  }
}

void GatheringCrawl::Tick(TickCount now) {
  if (state_ == CrawlState::kClosed) return;
  if (Finished_) {
    CloseWhenFinished();
    return;
  }
  const bool timedOut = static_cast<TickCount>(now - FetchStartTick_) > watchdogMs_;
  if (timedOut && (state_ == CrawlState::kFetching || state_ == CrawlState::kWaiting)) {
    view_.AddStatusLine(client_.Host() + std::string(kTimeOutLine));
    if (state_ == CrawlState::kFetching) {
      // We run inside the fetch's pump: the Get returns once it sees the disconnection, and
      // the fetch loop goes on from there.
      client_.Disconnect();
      state_ = CrawlState::kCutOff;
    } else {
      state_ = CrawlState::kReady;
      FinishIfNoURLLeft();
    }
  }
  ++AnimationCounter_;
}

void GatheringCrawl::Cancel() {
  if (state_ == CrawlState::kClosed) return;
  client_.Disconnect();
  cancelled_ = true;
  Finished_ = true;
  CloseWhenFinished();
}

bool GatheringCrawl::ReadyForFetch() const { return state_ == CrawlState::kReady && !Finished_; }

void GatheringCrawl::AdmitLinks(const std::string& pageURL, std::int32_t pageDepth,
                                const std::vector<std::string>& links) {
  if (pageDepth >= AllowedLevel_) return;
  for (const std::string& link : links) {
    if (link.starts_with(kAbsoluteLinkStart)) continue;
    if (FetchHttps_ && link.starts_with(kAbsoluteSecureLinkStart)) continue;
    std::optional<std::string> resolved = ResolveLink(pageURL, link);
    if (!resolved || VisitedURLs_.contains(*resolved)) continue;
    if (!PageExtensions().contains(ExtensionOf(*resolved)) && !resolved->ends_with('/')) continue;
    VisitedURLs_.insert(*resolved);
    URLList_.push_back(std::move(*resolved));
    LinkDepths_.push_back(pageDepth + 1);
  }
}

bool GatheringCrawl::URLLeft() const {
  return static_cast<std::size_t>(FetchCount_) < URLList_.size() || !articleSteps_.empty();
}

void GatheringCrawl::NoteSiteArticles(const std::string& siteURL, const FetchEnding& ending,
                                      const PageLinks& links) {
  if (!FollowArticles_ || currentStep_) return;
  // Everything that may run out of memory comes before the site is entered, so a page dropped
  // for memory leaves no half-made site behind.
  std::optional<Feed> feed =
      ReadFeed(ending.body, siteURL, static_cast<std::size_t>(ArticlesPerSite_) * kSpareArticles);
  SiteSources sources;
  if (!feed) {
    sources.feeds = FeedAddresses(links, siteURL);
    sources.articleLinks = ArticleLinks(links, siteURL, ending.host);
  }
  siteArticles_.reserve(siteArticles_.size() + 1);
  siteSources_.reserve(siteSources_.size() + 1);
  const std::size_t site = siteArticles_.size();
  siteInward_.reserve(siteInward_.size() + 1);
  siteBudgets_.reserve(siteBudgets_.size() + 1);
  siteArticles_.push_back({siteURL, ending.host, 0, 0});
  siteSources_.push_back(std::move(sources));
  siteInward_.push_back(IsInwardHost(HostOf(siteURL)) || ending.answeredFromInside);
  siteBudgets_.emplace_back();
  if (feed) {
    QueueArticles(site, feed->items);
    return;
  }
  TryNextSource(site);
}

void GatheringCrawl::TryNextSource(std::size_t site) {
  SiteSources& sources = siteSources_[site];
  while (sources.nextFeed < sources.feeds.size()) {
    const std::string& feed = sources.feeds[sources.nextFeed++];
    if (Refused(site, feed)) continue;
    articleSteps_.push_front({StepKind::kFeed, feed, site, 0, {}});
    return;
  }
  // No feed parsed: the page's own article links, and nothing of the sources is needed again.
  std::vector<FeedItem> links;
  links.reserve(sources.articleLinks.size());
  for (std::string& address : sources.articleLinks) links.push_back({std::move(address), {}, {}});
  sources = SiteSources{};
  QueueArticles(site, links);
}

void GatheringCrawl::QueueArticles(std::size_t site, const std::vector<FeedItem>& items) {
  std::vector<ArticleStep> steps;
  std::set<std::string> robotsQueued;
  std::int32_t chosen = 0;
  // As many again as asked for stand by: an article robots.txt refuses gives way to the next.
  const std::int32_t candidates = ArticlesPerSite_ * static_cast<std::int32_t>(kSpareArticles);
  for (const FeedItem& item : items) {
    const std::string& address = item.address;
    if (chosen == candidates) break;
    // Each address once in the run: neither an address of the list or a followed link, nor
    // another site's article.
    if (address.empty() || Refused(site, address) || !VisitedURLs_.insert(address).second) continue;
    const std::string origin = SplitOrigin(address).origin;
    if (!origin.empty() && !robots_.contains(origin) && robotsQueued.insert(origin).second) {
      steps.push_back({StepKind::kRobots, origin + "/robots.txt", site, 0, {}});
    }
    steps.push_back({StepKind::kArticle, address, site, ++chosen, item.date});
  }
  siteArticles_[site].chosen = std::min(chosen, ArticlesPerSite_);
  steps.push_back({StepKind::kSiteDone, {}, site, 0, {}});
  articleSteps_.insert(articleSteps_.begin(), steps.begin(), steps.end());
}

bool GatheringCrawl::PastSiteBudget(const ArticleStep& step, TickCount now) {
  SiteBudget& budget = siteBudgets_[step.site];
  if (!budget.started) {
    budget.started = true;
    budget.start = now;
  }
  const bool request = step.kind == StepKind::kFeed || step.kind == StepKind::kRobots;
  const bool past = static_cast<TickCount>(now - budget.start) > kSiteArticlesBudgetMs ||
                    (request && budget.requests >= ArticlesPerSite_ + kSiteExtraRequests);
  if (past) {
    view_.AddStatusLine(step.url + std::string(kPastBudgetLine));
  } else if (request) {
    ++budget.requests;
  }
  return past;
}

bool GatheringCrawl::Refused(std::size_t site, const std::string& address) {
  const std::string scheme = LowerCaseAscii(address.substr(0, address.find(':')));
  if (scheme != "http" && scheme != "https") {
    view_.AddStatusLine(address + std::string(kNotWebLine));
    return true;
  }
  if (!siteInward_[site] && IsInwardHost(HostOf(address))) {
    view_.AddStatusLine(address + std::string(kInwardLine));
    return true;
  }
  return false;
}

std::optional<std::string> GatheringCrawl::StartArticleStep(TickCount now) {
  while (!articleSteps_.empty()) {
    ArticleStep step = std::move(articleSteps_.front());
    articleSteps_.pop_front();
    SiteArticleCount& site = siteArticles_[step.site];
    switch (step.kind) {
      case StepKind::kSiteDone:
        view_.AddStatusLine(site.site + std::string(kSiteArticlesLine) + std::to_string(site.read) +
                            std::string(kSiteArticlesLineEnd));
        continue;
      case StepKind::kFeed:
        if (PastSiteBudget(step, now)) {
          TryNextSource(step.site);  // each source left is skipped so, then the count line
          continue;
        }
        view_.AddStatusLine(step.url + std::string(kFeedLine));
        break;
      case StepKind::kRobots:
        if (PastSiteBudget(step, now)) {
          // Unread rules allow nothing: the host's articles are skipped (said here, once).
          robots_[SplitOrigin(step.url).origin].unavailable = true;
          continue;
        }
        view_.AddStatusLine(step.url + std::string(kStartLine));
        break;
      case StepKind::kArticle: {
        if (site.asked == site.chosen) continue;  // enough asked for: the spare ones stand down
        const AddressOrigin split = SplitOrigin(step.url);
        if (const auto robots = robots_.find(split.origin); robots != robots_.end()) {
          if (robots->second.unavailable) continue;  // said once, when robots.txt failed
          if (!robots->second.rules.Allows(split.path)) {
            view_.AddStatusLine(step.url + std::string(kRobotsDisallowedLine));
            continue;
          }
        }
        if (PastSiteBudget(step, now)) continue;
        if (DayManners_ && keptArticleLookup_) {
          if (std::optional<KeptArticle> kept = keptArticleLookup_(step.url)) {
            step.number = ++site.asked;
            view_.AddStatusLine(std::string(kArticleLineStart) + std::to_string(step.number) + "/" +
                                std::to_string(site.chosen) + " " + step.url +
                                std::string(kKeptArticleMark));
            TakeKeptArticle(step, std::move(*kept));
            continue;
          }
        }
        if (DayManners_ && MustWaitFor(split.origin, now)) {
          articleSteps_.push_front(std::move(step));
          waitingForDelay_ = true;
          return std::nullopt;
        }
        step.number = ++site.asked;
        view_.AddStatusLine(std::string(kArticleLineStart) + std::to_string(step.number) + "/" +
                            std::to_string(site.chosen) + " " + step.url);
        break;
      }
    }
    std::string url = step.url;
    // What a public site's feed or page names, and every redirect of it, stays outside.
    client_.SetRefuseInward(!siteInward_[step.site]);
    if (DayManners_) lastRequestTick_[SplitOrigin(url).origin] = now;
    currentStep_ = std::move(step);
    FetchStartTick_ = now;
    state_ = CrawlState::kFetching;
    return url;
  }
  return std::nullopt;
}

void GatheringCrawl::EndArticleStep(const ArticleStep& step, const FetchEnding& ending) {
  // The client writes no line for an error it threw; a step that ends so is still one line.
  if (ending.kind == FetchEndingKind::kClientError && step.kind != StepKind::kRobots) {
    view_.AddStatusLine(step.url + std::string(kFailedLine));
  }
  switch (step.kind) {
    case StepKind::kFeed: {
      std::optional<Feed> feed;
      try {
        if (ending.kind == FetchEndingKind::kSuccess) {
          feed = ReadFeed(ending.body, step.url,
                          static_cast<std::size_t>(ArticlesPerSite_) * kSpareArticles);
        }
      } catch (const std::bad_alloc&) {
        view_.AddStatusLine(step.url + std::string(kDroppedPageLine));
      } catch (const std::exception& error) {
        view_.AddStatusLine(UnreadablePageLine(step.url, error.what()));
      }
      if (!feed) {
        TryNextSource(step.site);
        return;
      }
      siteSources_[step.site] = SiteSources{};
      QueueArticles(step.site, feed->items);
      return;
    }
    case StepKind::kRobots: {
      RobotsEntry entry;
      if (ending.kind == FetchEndingKind::kSuccess) {
        try {
          entry.rules = RobotsRules::Parse(ending.body);
        } catch (const std::exception& error) {
          // Rules that cannot be read say nothing of what is allowed: the host is skipped.
          view_.AddStatusLine(UnreadablePageLine(step.url, error.what()));
          entry.unavailable = true;
        }
      } else if ((ending.kind == FetchEndingKind::kFailure && ending.statusCode >= 500) ||
                 (DayManners_ && ending.statusCode == 0)) {
        // With the day's manners, a robots.txt that could not be reached at all says nothing
        // allowed either (RFC 9309 2.3.1.4), as a server error always did.
        entry.unavailable = true;
        view_.AddStatusLine(HostOf(step.url) + std::string(kRobotsUnavailableLine));
      }
      if (DayManners_ && !entry.unavailable && entry.rules.CrawlDelayMs() > kMaxCrawlDelayMs) {
        entry.unavailable = true;
        view_.AddStatusLine(HostOf(step.url) + std::string(kCrawlDelayTooLongLine) +
                            std::to_string(*entry.rules.CrawlDelayMs() / 1000) +
                            std::string(kCrawlDelayTooLongLineEnd));
      }
      // A 4xx, a failed connection or a client error: robots.txt says nothing, all is allowed.
      robots_[SplitOrigin(step.url).origin] = std::move(entry);
      return;
    }
    case StepKind::kArticle:
      if (ending.kind == FetchEndingKind::kSuccess) TakeSiteArticle(step, ending);
      return;
    case StepKind::kSiteDone:
      return;
  }
}

void GatheringCrawl::TakeSiteArticle(const ArticleStep& step, const FetchEnding& ending) {
  SiteArticleCount& site = siteArticles_[step.site];
  if (LooksLikeFeed(ending.body, ending.contentType)) {
    view_.AddStatusLine(step.url + std::string(kFeedArticleLine));
    return;
  }
  try {
    // Read as the crawl reads any page, its sentences under the site's host.
    std::optional<PageReading> reading;
    if (ArticleText_) reading = ReadPage(ending.body, ending.contentType, readingStop_);
    if (reading) {
      // The feed's date stands in for a page that gives none.
      KeepArticleText(site.host, step.url, std::move(reading->article), step.date);
    } else {
      const ScannedPage page = ScanPage(ending.body, FollowAnchors::kNo);
      AddPageSentences(site.host, page.text, sentenceStore_);
    }
    ++site.read;
  } catch (const std::bad_alloc&) {
    view_.AddStatusLine(step.url + std::string(kDroppedPageLine));
  } catch (const std::exception& error) {
    view_.AddStatusLine(UnreadablePageLine(step.url, error.what()));
  }
}

void GatheringCrawl::TakeKeptArticle(const ArticleStep& step, KeptArticle kept) {
  SiteArticleCount& site = siteArticles_[step.site];
  try {
    AddArticleSentences(site.host, SentencesOf(kept.paragraphs), sentenceStore_);
    kept.site = site.host;
    articles_.push_back(std::move(kept));
    ++site.read;
  } catch (const std::bad_alloc&) {
    view_.AddStatusLine(step.url + std::string(kDroppedPageLine));
  }
}

void GatheringCrawl::FinishIfNoURLLeft() {
  if (!URLLeft()) Finished_ = true;
}

void GatheringCrawl::CloseWhenFinished() {
  // A Get still on the stack has its ending handled first; EndFetch closes after it.
  if (state_ == CrawlState::kFetching || state_ == CrawlState::kCutOff) return;
  state_ = CrawlState::kClosed;
  result_ = cancelled_ ? ModalResult::kCancel : ModalResult::kOK;
}

void FetchWhileReady(GatheringCrawl& crawl, PageFetch& fetch, const std::function<TickCount()>& now,
                     const std::function<void()>& pump) {
  const StatusLineSink reportLine = [&crawl](const std::string& line) {
    crawl.ReportFetchLine(line);
  };
  while (std::optional<std::string> url = crawl.StartNextFetch(now())) {
    crawl.EndFetch(fetch.Fetch(*url, pump, reportLine));
  }
}

ModalResult RunCrawl(GatheringCrawl& crawl, PageFetch& fetch, const CrawlRunner& runner) {
  TickCount lastTick = runner.now();
  const std::function<void()> pumpAndTick = [&] {
    if (runner.pump) runner.pump();
    const TickCount now = runner.now();
    if (static_cast<TickCount>(now - lastTick) >= runner.tickIntervalMs) {
      lastTick = now;
      crawl.Tick(now);
    }
  };
  crawl.Start();
  for (;;) {
    FetchWhileReady(crawl, fetch, runner.now, pumpAndTick);
    if (crawl.Result() != ModalResult::kNone) return crawl.Result();
    // Without a window there is no dialog to close at the next tick: a finished crawl ends
    // now instead of idling until then.
    if (crawl.Finished()) crawl.Tick(runner.now());
    if (crawl.Result() != ModalResult::kNone) return crawl.Result();
    pumpAndTick();
    if (crawl.Result() != ModalResult::kNone) return crawl.Result();
    if (runner.idle) runner.idle();
  }
}

}  // namespace quillmark
