// How long one Get of a 5-50 KB page takes from a loopback server, a new connection each
// time and an empty pump, beside one curl process fetching the same 500 pages over HTTP/1.0;
// over plain HTTP and over https (the tests' certificate, TLS sessions resumed as curl does).
//
// The pages are served by nginx when it is installed, else, or with
// QUILLMARK_FETCH_SERVER=scripted, by the tests' scripted server (see bench/support).
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "loopback_site.h"
#include "net/nmhttp.h"
#include "support/scripted_server.h"

namespace {

using quillmark::TNMHTTP;
using quillmark::bench::LoopbackSite;
using quillmark::bench::MeasureCurl;
using quillmark::bench::SetPerPageCounter;
using quillmark::bench::Transport;

constexpr int kPages = 500;

std::string PathOf(int page) { return "/page" + std::to_string(page) + ".html"; }

// 500 pages of 5 to 50 KB.
std::map<std::string, std::string> Pages() {
  std::map<std::string, std::string> pages;
  for (int i = 0; i < kPages; ++i) {
    const std::size_t size = 5 * 1024 + (static_cast<std::size_t>(i) * 7919 % (45 * 1024 + 1));
    std::string page = "<html><body><p>";
    while (page.size() < size) page += "The quick brown fox jumps over the lazy dog. ";
    page.resize(size);
    pages[PathOf(i)] = std::move(page);
  }
  return pages;
}

LoopbackSite& Site(Transport transport) {
  if (transport == Transport::kHttps) {
    static LoopbackSite secure("fetch-https", Pages(), Transport::kHttps);
    return secure;
  }
  static LoopbackSite site("fetch", Pages());
  return site;
}

void Get500Pages(benchmark::State& state, Transport transport) {
  LoopbackSite& site = Site(transport);
  TNMHTTP http;  // empty pump
  http.FetchHttps = true;
  http.TrustedCertificates = quillmark::testing::TestTlsFile("ca.pem");
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

void BM_Get500Pages(benchmark::State& state) { Get500Pages(state, Transport::kHttp); }
BENCHMARK(BM_Get500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Get500HttpsPages(benchmark::State& state) { Get500Pages(state, Transport::kHttps); }
BENCHMARK(BM_Get500HttpsPages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 500 pages with one `curl --http1.0` process (a new connection per page).
void Curl500Pages(benchmark::State& state, Transport transport) {
  LoopbackSite& site = Site(transport);
  std::vector<std::string> urls;
  for (int page = 0; page < kPages; ++page) urls.push_back(site.Url(PathOf(page)));
  MeasureCurl(state, site, urls);
}

void BM_Curl500Pages(benchmark::State& state) { Curl500Pages(state, Transport::kHttp); }
BENCHMARK(BM_Curl500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Curl500HttpsPages(benchmark::State& state) { Curl500Pages(state, Transport::kHttps); }
BENCHMARK(BM_Curl500HttpsPages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
