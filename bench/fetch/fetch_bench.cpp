// How long one Get of a 5-50 KB page takes from a loopback server, a new connection each
// time and an empty pump, beside one curl process fetching the same 500 pages over HTTP/1.0.
//
// The pages are served by nginx when it is installed, else, or with
// QUILLMARK_FETCH_SERVER=scripted, by the tests' scripted server (see bench/support).
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "loopback_site.h"
#include "net/nmhttp.h"

namespace {

using quillmark::TNMHTTP;
using quillmark::bench::LoopbackSite;
using quillmark::bench::MeasureCurl;
using quillmark::bench::SetPerPageCounter;

constexpr int kPages = 500;

std::string PathOf(int page) { return "/page" + std::to_string(page) + ".html"; }

// 500 pages of 5 to 50 KB.
LoopbackSite& Site() {
  static LoopbackSite site("fetch", [] {
    std::map<std::string, std::string> pages;
    for (int i = 0; i < kPages; ++i) {
      const std::size_t size = 5 * 1024 + (static_cast<std::size_t>(i) * 7919 % (45 * 1024 + 1));
      std::string page = "<html><body><p>";
      while (page.size() < size) page += "The quick brown fox jumps over the lazy dog. ";
      page.resize(size);
      pages[PathOf(i)] = std::move(page);
    }
    return pages;
  }());
  return site;
}

void BM_Get500Pages(benchmark::State& state) {
  LoopbackSite& site = Site();
  TNMHTTP http;  // empty pump
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (int page = 0; page < kPages; ++page) {
      http.Get(site.Url(PathOf(page)));
      if (http.Body.size() != site.Page(PathOf(page)).size()) {
        state.SkipWithError("a page arrived incomplete");
        return;
      }
      bytes += http.Body.size();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  SetPerPageCounter(state, kPages);
  state.SetLabel(site.ServerName());
}
BENCHMARK(BM_Get500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 500 pages with one `curl --http1.0` process (a new connection per page).
void BM_Curl500Pages(benchmark::State& state) {
  LoopbackSite& site = Site();
  std::vector<std::string> urls;
  for (int page = 0; page < kPages; ++page) urls.push_back(site.Url(PathOf(page)));
  MeasureCurl(state, site, urls);
}
BENCHMARK(BM_Curl500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
