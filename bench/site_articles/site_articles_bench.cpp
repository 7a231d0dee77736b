// The day's articles of 17 sites, each a loopback server of its own (its own robots.txt)
// holding a home page that names its feed, the feed (RSS 2.0, ten dated items) and ten
// articles of 5 to 30 KB: the whole run with the articles on (home, feed, robots.txt, ten
// articles a site: 221 fetches), beside the designed crawl fetching the same 204 addresses as
// its site list. Goal: the first within 1.3 times the second.
//
// And the feed reader over a feed of 64 MiB (about 190,000 items) keeping the ten newest: its
// time, and the process's peak memory over the feed's own bytes (goal: body and reading
// together at most 3 times the feed).
//
// Both runs scan their pages (the designed reading), and the home pages are parsed for their
// links as the crawl does then. The sites are served by nginx when it is installed, else by
// the tests' scripted server (see bench/support).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gather/feed_reader.h"
#include "gather/gathering_crawl.h"
#include "gather/page_fetch.h"
#include "loopback_site.h"

namespace {

using namespace quillmark;
using bench::LoopbackSite;

constexpr int kSites = 17;
constexpr int kArticles = 10;
const std::string kHomePath = "/index.html";

std::string ArticlePath(int article) {
  // Flat names: nginx serves the files as they were written, and no folders are made.
  return "/story-number-" + std::to_string(article) + ".html";
}

std::map<std::string, std::string> SitePages(int site) {
  const char* sentences[] = {"The quick brown fox jumps over the lazy dog. ",
                             "Markets rose again on Tuesday, traders said. ",
                             "It's the third week of rain in the valley! "};
  std::map<std::string, std::string> pages;
  std::string home =
      "<html><head><title>News</title><link rel=\"alternate\" type=\"application/rss+xml\" "
      "href=\"/feed.xml\"></head><body><p>Today's news.</p>";
  std::string items;
  for (int i = 1; i <= kArticles; ++i) {
    home += "<a href=\"" + ArticlePath(i) + "\">Rain returns to the valley</a><br>";
    items += "<item><title>Story " + std::to_string(i) + "</title><link>" + ArticlePath(i) +
             "</link><pubDate>Mon, 07 Dec 2026 " + std::to_string(10 + i) +
             ":00:00 GMT</pubDate></item>";
    const std::size_t size =
        5 * 1024 + static_cast<std::size_t>(site * kArticles + i) * 7919 % (25 * 1024 + 1);
    std::string page = "<html><head><title>Story</title></head><body>";
    for (int n = 0; page.size() < size; ++n) {
      page += "<p>";
      page += sentences[(i + n) % 3];
      page += "</p>\n";
    }
    pages[ArticlePath(i)] = page + "</body></html>";
  }
  pages[kHomePath] = home + "</body></html>";
  pages["/feed.xml"] = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>News</title>" +
                       items + "</channel></rss>";
  pages["/robots.txt"] = "User-agent: *\nDisallow: /private/\n";
  return pages;
}

std::vector<std::unique_ptr<LoopbackSite>>& Sites() {
  static std::vector<std::unique_ptr<LoopbackSite>> sites = [] {
    std::vector<std::unique_ptr<LoopbackSite>> made;
    for (int site = 0; site < kSites; ++site) {
      made.push_back(
          std::make_unique<LoopbackSite>("articles" + std::to_string(site), SitePages(site)));
    }
    return made;
  }();
  return sites;
}

struct QuietView : CrawlView {
  void SetLabel(const std::string&) override {}
  void AddStatusLine(const std::string&) override {}
};

void BM_ArticlesOf17Sites(benchmark::State& state) {
  std::vector<std::string> homes;
  for (const auto& site : Sites()) homes.push_back(site->Url(kHomePath));
  PageFetch fetch;
  for (auto _ : state) {
    QuietView view;
    GatheringCrawl crawl(fetch, view, SystemTickCount());
    crawl.SetSiteList(homes);
    crawl.SetLinkOptions({.FollowArticles = true, .ArticlesPerSite = kArticles});
    crawl.Start();
    FetchWhileReady(crawl, fetch, SystemTickCount, {});
    std::int32_t read = 0;
    for (const SiteArticleCount& site : crawl.SiteArticles()) read += site.read;
    if (read != kSites * kArticles) {
      state.SkipWithError("the run did not read every article");
      return;
    }
  }
  state.counters["fetches"] = kSites * (kArticles + 3);
  state.SetLabel(Sites().front()->ServerName());
}

void BM_Designed204Addresses(benchmark::State& state) {
  std::vector<std::string> addresses;
  for (const auto& site : Sites()) {
    addresses.push_back(site->Url(kHomePath));
    addresses.push_back(site->Url("/feed.xml"));
    for (int i = 1; i <= kArticles; ++i) addresses.push_back(site->Url(ArticlePath(i)));
  }
  PageFetch fetch;
  for (auto _ : state) {
    QuietView view;
    GatheringCrawl crawl(fetch, view, SystemTickCount());
    crawl.SetSiteList(addresses);
    crawl.SetLinkOptions({});
    crawl.Start();
    FetchWhileReady(crawl, fetch, SystemTickCount, {});
    if (crawl.FetchCount() != static_cast<std::int32_t>(addresses.size())) {
      state.SkipWithError("the crawl did not fetch every address");
      return;
    }
  }
  state.counters["fetches"] = static_cast<double>(addresses.size());
  state.SetLabel(Sites().front()->ServerName());
}

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs first, before any other benchmark has raised the process's peak. The peak is that of
// the first repetition (later ones reuse the memory the first one freed), kept for the others.
void BM_ReadFeed64MiB(benchmark::State& state) {
  constexpr std::size_t kFeedBytes = 64 * 1024 * 1024;
  static long before = PeakKiB();
  static double peakOverFeed = 0;
  std::string feed;
  feed.reserve(kFeedBytes + 1024);
  feed = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>";
  for (int i = 0; feed.size() < kFeedBytes - 400; ++i) {
    feed += "<item><title>Story number " + std::to_string(i) +
            " of a very long feed</title><link>http://www.example.com/2026/12/07/story-" +
            std::to_string(i) + "</link><pubDate>Mon, 07 Dec 2026 " + std::to_string(i % 24) + ":" +
            std::to_string(10 + i % 50) +
            ":00 GMT</pubDate><description>Nothing much.</description></item>";
  }
  feed += "</channel></rss>";
  std::size_t items = 0;
  for (auto _ : state) {
    const std::optional<Feed> read = ReadFeed(feed, "http://www.example.com/feed.xml", kArticles);
    if (!read || read->items.size() != static_cast<std::size_t>(kArticles)) {
      state.SkipWithError("the feed did not read");
      return;
    }
    items = read->items.size();
  }
  if (peakOverFeed == 0) {
    peakOverFeed =
        static_cast<double>(PeakKiB() - before) * 1024 / static_cast<double>(feed.size());
  }
  state.counters["feed_MiB"] = static_cast<double>(feed.size()) / (1024 * 1024);
  // The feed's bytes and everything its reading took, over the feed's bytes.
  state.counters["peak_over_feed"] = peakOverFeed;
  state.counters["items_kept"] = static_cast<double>(items);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
}

BENCHMARK(BM_ReadFeed64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ArticlesOf17Sites)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Designed204Addresses)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
