// Speed of the page scanner: over every page of the shared news corpus (when it is there) and
// over 10 MB pages built to defeat each pass.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gather/page_scanner.h"

namespace quillmark {
namespace {

std::vector<std::string> LoadCorpusPages() {
  std::vector<std::string> pages;
  const std::filesystem::path dir = QUILLMARK_SHARED_DIR "/corpus/pages";
  if (!std::filesystem::is_directory(dir)) return pages;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    pages.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return pages;
}

const std::vector<std::string>& CorpusPages() {
  static const std::vector<std::string> pages = LoadCorpusPages();
  return pages;
}

void BM_ScanCorpus(benchmark::State& state) {
  const FollowAnchors anchors = state.range(0) != 0 ? FollowAnchors::kYes : FollowAnchors::kNo;
  std::size_t bytes = 0;
  for (const std::string& page : CorpusPages()) bytes += page.size();
  for (auto _ : state) {
    for (const std::string& page : CorpusPages()) {
      benchmark::DoNotOptimize(ScanPage(page, anchors));
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

constexpr std::size_t kPathologicalSize = 10 * 1000 * 1000;

std::string Repeat(const std::string& unit, std::size_t size) {
  std::string page;
  page.reserve(size + unit.size());
  while (page.size() < size) page += unit;
  return page;
}

std::string PathologicalPage(int kind) {
  switch (kind) {
    case 0:
      return Repeat("&nbsp;", kPathologicalSize);
    case 1:
      return std::string(kPathologicalSize, '<');
    case 2: {  // 100,000 "<A " tags that are never closed
      const std::string filler(kPathologicalSize / 100000 - 3, 'x');
      return Repeat("<A " + filler, kPathologicalSize);
    }
    case 3:
      return Repeat("The quick brown fox jumps over the lazy dog. ", kPathologicalSize);
    default:
      return Repeat("<>", kPathologicalSize);  // one tag per byte pair
  }
}

void BM_ScanPathological(benchmark::State& state) {
  const std::string page = PathologicalPage(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ScanPage(page, FollowAnchors::kYes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// The corpus benchmark is registered only when the corpus is there.
const bool kCorpusRegistered = [] {
  if (CorpusPages().empty()) return false;
  benchmark::RegisterBenchmark("BM_ScanCorpus", BM_ScanCorpus)
      ->ArgName("isLevel")
      ->Arg(0)
      ->Arg(1)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

BENCHMARK(BM_ScanPathological)
    ->ArgName("kind")  // 0 all &nbsp;, 1 all '<', 2 unclosed "<A ", 3 no tag, 4 "<>" pairs
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmark
