// A whole crawl of 500 pages from a loopback server — the fetches, the scanning, the link
// admission and the sentence store — beside one curl process fetching the same 500 URLs.
//
// The site is an index page linking to 499 pages of 5 to 50 KB of short paragraphs, crawled
// with anchors followed to depth 1. The pages are served by nginx when it is installed, else,
// or with QUILLMARK_FETCH_SERVER=scripted, by the tests' scripted server (see bench/support).
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "gather/gathering_crawl.h"
#include "gather/page_fetch.h"
#include "loopback_site.h"

namespace {

using namespace quillmark;
using bench::LoopbackSite;
using bench::MeasureCurl;
using bench::SetPerPageCounter;

constexpr int kPages = 500;
const std::string kIndexPath = "/index.html";

std::string NameOf(int page) { return "page" + std::to_string(page) + ".html"; }

LoopbackSite& Site() {
  static LoopbackSite site("crawl", [] {
    std::map<std::string, std::string> pages;
    std::string index = "<html><head><title>Index</title></head><body><p>Today's news.</p>";
    for (int i = 1; i < kPages; ++i) index += "<a href=\"" + NameOf(i) + "\">Story</a><br>";
    pages[kIndexPath] = index + "</body></html>";
    const char* sentences[] = {"The quick brown fox jumps over the lazy dog. ",
                               "Markets rose again on Tuesday, traders said. ",
                               "It's the third week of rain in the valley! "};
    for (int i = 1; i < kPages; ++i) {
      const std::size_t size = 5 * 1024 + (static_cast<std::size_t>(i) * 7919 % (45 * 1024 + 1));
      std::string page = "<html><head><title>Story</title></head><body>";
      for (int n = 0; page.size() < size; ++n) {
        page += "<p>";
        page += sentences[(i + n) % 3];
        page += "<a href=\"" + NameOf((i + n) % kPages) + "\">more</a></p>\n";
      }
      pages["/" + NameOf(i)] = page + "</body></html>";
    }
    return pages;
  }());
  return site;
}

// The dialog's list box, as plain lines.
struct LineView : CrawlView {
  void SetLabel(const std::string& text) override { label = text; }
  void AddStatusLine(const std::string& text) override { lines.push_back(text); }
  std::string label;
  std::vector<std::string> lines;
};

void BM_Crawl500Pages(benchmark::State& state) {
  LoopbackSite& site = Site();
  PageFetch fetch;  // one client for every crawl, as the dialog owns one; empty pump
  for (auto _ : state) {
    LineView view;
    GatheringCrawl crawl(fetch, view, SystemTickCount());
    crawl.SetSiteList({site.Url(kIndexPath)});
    crawl.SetLinkOptions({.IsLevel = true, .AllowedLevel = 1});
    crawl.Start();
    FetchWhileReady(crawl, fetch, SystemTickCount, {});
    if (crawl.FetchCount() != kPages || crawl.CopySentenceStore().empty()) {
      state.SkipWithError("the crawl did not gather the whole site");
      return;
    }
  }
  SetPerPageCounter(state, kPages);
  state.SetLabel(site.ServerName());
}
BENCHMARK(BM_Crawl500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 500 URLs with one `curl --http1.0` process (a new connection per page).
void BM_Curl500Pages(benchmark::State& state) {
  LoopbackSite& site = Site();
  std::vector<std::string> urls{site.Url(kIndexPath)};
  for (int i = 1; i < kPages; ++i) urls.push_back(site.Url("/" + NameOf(i)));
  MeasureCurl(state, site, urls);
}
BENCHMARK(BM_Curl500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
