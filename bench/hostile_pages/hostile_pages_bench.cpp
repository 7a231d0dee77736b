// The article reading of pages made to hurt it, as the crawl reads them (the article reading,
// else the page scanner): links nested in links, formatting elements reopened in every block,
// one tag of many attributes, nesting a hundred thousand deep, broken structured data. Per
// shape: the processor time a MiB (`s_per_MiB`, goal at most 1) and the process's peak resident
// memory over the reading against its bound (`peak_MiB` at most `bound_MiB`: four times the page
// and 32 MiB). The peak is read from /proc (VmHWM, reset through clear_refs before the reading).

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <optional>
#include <string>

#include "article/article_extractor.h"
#include "gather/page_scanner.h"

namespace {

constexpr double kMiB = 1 << 20;

// A field of /proc/self/status in kB ("VmHWM", "VmRSS"); 0 when it cannot be read.
double StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1));
  }
  return 0;
}

void ReadAsTheCrawlDoes(const std::string& page) {
  std::optional<quillmark::PageReading> reading = quillmark::ReadPage(page, "");
  if (reading) {
    benchmark::DoNotOptimize(reading->article.paragraphs.data());
  } else {
    benchmark::DoNotOptimize(quillmark::ScanPage(page, quillmark::FollowAnchors::kYes));
  }
}

// The growth of the resident memory's peak over one reading, in a child process that gave
// its free heap back first (what earlier readings freed would hide the growth otherwise).
double PeakMiBInChild(const std::string& page) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const double before = StatusKiB("VmRSS");
    ReadAsTheCrawlDoes(page);
    const double grown = (StatusKiB("VmHWM") - before) / 1024;
    [[maybe_unused]] const ssize_t written = ::write(fds[1], &grown, sizeof grown);
    ::_exit(0);
  }
  ::close(fds[1]);
  double grown = -1;
  if (::read(fds[0], &grown, sizeof grown) != sizeof grown) grown = -1;
  ::close(fds[0]);
  ::waitpid(child, nullptr, 0);
  return grown;
}

void RunShape(benchmark::State& state, const std::string& page) {
  // Processor time: the machine these run on is shared, and a wall clock counts the others.
  const std::clock_t start = std::clock();
  for (auto _ : state) ReadAsTheCrawlDoes(page);
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  const double pageMiB = static_cast<double>(page.size()) / kMiB;
  state.counters["page_MiB"] = pageMiB;
  state.counters["s_per_MiB"] = seconds / static_cast<double>(state.iterations()) / pageMiB;
  state.counters["peak_MiB"] = PeakMiBInChild(page);
  state.counters["bound_MiB"] = 4 * pageMiB + 32;
}

std::string Repeated(const std::string& piece, int times) {
  std::string page;
  for (int i = 0; i < times; ++i) page += piece;
  return page;
}

void BM_NestedLinks(benchmark::State& state) {  // some 790 KB: each link inside the one before
  RunShape(state, Repeated("<a href=x>headline text <object>", 26000));
}
BENCHMARK(BM_NestedLinks)->Unit(benchmark::kMillisecond);

void BM_ReopenedFormatting(benchmark::State& state) {  // 68 KB
  std::string page = "<p>";
  for (int i = 0; i < 3000; ++i) page += "<b id=" + std::to_string(i) + ">";
  page += "</p>" + Repeated("<div>x</div>", 3000);
  RunShape(state, page);
}
BENCHMARK(BM_ReopenedFormatting)->Unit(benchmark::kMillisecond);

// Within the nesting cap, 400 elements reopened in each of 3,000 blocks still make a tree of a
// million nodes: the parse meets its memory bound and the page is scanned.
void BM_ReopenedFormattingWithinTheDepthCap(benchmark::State& state) {  // 40 KB
  std::string page = "<p>";
  for (int i = 0; i < 400; ++i) page += "<b id=" + std::to_string(i) + ">";
  page += "</p>" + Repeated("<div>x</div>", 3000);
  RunShape(state, page);
}
BENCHMARK(BM_ReopenedFormattingWithinTheDepthCap)->Unit(benchmark::kMillisecond);

void ManyAttributes(benchmark::State& state) {
  std::string page = "<p";
  for (int i = 0; i < state.range(0); ++i) page += " a" + std::to_string(i) + "=v";
  RunShape(state, page + ">text</p>");
}
void BM_OneTagOfManyAttributes(benchmark::State& state) { ManyAttributes(state); }
BENCHMARK(BM_OneTagOfManyAttributes)->Arg(80000)->Arg(900000)->Unit(benchmark::kMillisecond);

void BM_DeepNesting(benchmark::State& state) {
  RunShape(state, Repeated("<div>", 100000) + "text" + Repeated("</div>", 100000));
}
BENCHMARK(BM_DeepNesting)->Unit(benchmark::kMillisecond);

void BM_BrokenStructuredData(benchmark::State& state) {  // 1 MiB of bad escapes
  RunShape(state, "<script type=application/ld+json>{\"articleBody\":\"" +
                      Repeated("\\uZZZZ C:\\users \\ud800 ", 50000) + "\"}</script><p>Text.</p>");
}
BENCHMARK(BM_BrokenStructuredData)->Unit(benchmark::kMillisecond);

}  // namespace
