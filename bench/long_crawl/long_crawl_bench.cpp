// A long crawl: an index page with 100,000 links (IsLevel=1, so depth 1) to small pages, fetched
// once in the gathering dialog offscreen and once by quillmark-cli, from the same loopback site.
// The dialog adds two status lines a page; the goal is the window's pages/s within 20 % of the
// command line's over the whole crawl. "late_pages_per_s" is the pace over the last tenth of the
// crawl, where a list that grows dearer with every line would show it.
//
// QUILLMARK_LONG_CRAWL_PAGES sets another number of pages (a quick look: 20000).
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/word_get_dialog.h"
#include "loopback_site.h"

namespace {

using namespace quillmark;
using bench::LoopbackSite;

const std::string kIndexPath = "/index.html";

int PageCount() {
  const char* setting = std::getenv("QUILLMARK_LONG_CRAWL_PAGES");
  return setting != nullptr && std::atoi(setting) > 0 ? std::atoi(setting) : 100000;
}

std::string NameOf(int page) { return "p" + std::to_string(page) + ".html"; }

LoopbackSite& Site() {
  static LoopbackSite site("long_crawl", [] {
    std::map<std::string, std::string> pages;
    std::string index = "<html><body><p>Today's news.</p>";
    for (int i = 1; i < PageCount(); ++i) index += "<a href=\"" + NameOf(i) + "\">x</a>";
    pages[kIndexPath] = index + "</body></html>";
    for (int i = 1; i < PageCount(); ++i)
      pages["/" + NameOf(i)] = "<html><body><p>Story number " + std::to_string(i % 97) +
                               " of the day. Markets rose again.</p></body></html>";
    return pages;
  }());
  return site;
}

// Pages per second over the whole crawl (closing included) and over its last tenth (up to the
// first sample that has every page), from (seconds, pages) samples.
void SetPaceCounters(benchmark::State& state, const std::vector<std::pair<double, int>>& samples) {
  if (samples.size() < 2) return;
  const auto& [seconds, pages] = samples.back();
  state.counters["pages"] = pages;
  state.counters["pages_per_s"] = pages / seconds;
  const int lateStart = pages - pages / 10;
  const auto late = std::find_if(samples.begin(), samples.end(),
                                 [&](const auto& sample) { return sample.second >= lateStart; });
  const auto end = std::find_if(samples.begin(), samples.end(),
                                [&](const auto& sample) { return sample.second == pages; });
  if (end->first > late->first)
    state.counters["late_pages_per_s"] = (end->second - late->second) / (end->first - late->first);
}

void BM_WindowLongCrawl(benchmark::State& state) {
  LoopbackSite& site = Site();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "bench_long_crawl";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  for (auto _ : state) {
    TWordGetDialog dialog(nullptr, {});
    dialog.SetSiteList({site.Url(kIndexPath)});
    dialog.SetLinkOptions(true, 1);
    std::vector<std::pair<double, int>> samples;
    QElapsedTimer clock;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      samples.emplace_back(clock.elapsed() / 1000.0, dialog.Crawl().FetchCount());
    });
    clock.start();
    sampler.start(100);
    dialog.exec();
    samples.emplace_back(clock.elapsed() / 1000.0, dialog.Crawl().FetchCount());
    if (dialog.Crawl().FetchCount() != PageCount()) state.SkipWithError("the crawl fell short");
    SetPaceCounters(state, samples);
  }
  state.SetLabel(site.ServerName());
}
BENCHMARK(BM_WindowLongCrawl)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// quillmark-cli gather over the same site, its status lines to a file as in a pipe.
void BM_CommandLineLongCrawl(benchmark::State& state) {
  LoopbackSite& site = Site();
  const std::filesystem::path data = site.root() / "cli";
  std::filesystem::create_directories(data);
  std::ofstream(data / "sites.txt") << site.Url(kIndexPath) << "\r\n";
  const std::string log = (data / "status.log").string();
  std::ofstream{log};  // Spawn writes into an existing file
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = bench::Spawn(
        {QUILLMARK_CLI, "--data-dir", data.string(), "gather", "--sites",
         (data / "sites.txt").string(), "--follow-links", "--depth", "1", "--top", "1"},
        log);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      state.SkipWithError(("quillmark-cli failed; see " + log).c_str());
      return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    SetPaceCounters(state, {{0.0, 0}, {seconds, PageCount()}});
  }
  state.SetLabel(site.ServerName());
}
BENCHMARK(BM_CommandLineLongCrawl)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
