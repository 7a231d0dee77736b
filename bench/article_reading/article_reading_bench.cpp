// The article reading over the benchmark's 124 news pages (../shared/corpus/articles/pages):
// the whole reading (decode, thin, parse, extract, sentences), its parse alone, and the page
// scanner on the same pages for comparison. pages/s is items_per_second.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "article/article_extractor.h"
#include "article/html_tree.h"
#include "article/page_charset.h"
#include "article/page_thinning.h"
#include "article/sentence_split.h"
#include "gather/page_scanner.h"

namespace {

const std::vector<std::string>& Pages() {
  static const std::vector<std::string> pages = [] {
    std::vector<std::string> read;
    const char* shared = std::getenv("QUILLMARK_SHARED");  // a shared folder elsewhere
    const std::filesystem::path dir =
        std::filesystem::path(shared ? shared : QUILLMARK_SHARED_DIR) / "corpus/articles/pages";
    if (!std::filesystem::is_directory(dir)) return read;
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
      std::ifstream in(path, std::ios::binary);
      read.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return read;
  }();
  return pages;
}

std::int64_t TotalBytes() {
  std::int64_t bytes = 0;
  for (const std::string& page : Pages()) bytes += static_cast<std::int64_t>(page.size());
  return bytes;
}

template <typename ReadOne>
void OverEveryPage(benchmark::State& state, ReadOne readOne) {
  if (Pages().empty()) {
    state.SkipWithError("no article corpus");
    return;
  }
  for (auto _ : state)
    for (const std::string& page : Pages()) readOne(page);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Pages().size()));
  state.SetBytesProcessed(state.iterations() * TotalBytes());
}

void BM_ReadPage_WithSentences(benchmark::State& state) {
  OverEveryPage(state, [](const std::string& page) {
    std::optional<quillmark::PageReading> reading = quillmark::ReadPage(page, "");
    benchmark::DoNotOptimize(quillmark::SentencesOf(reading->article.paragraphs));
  });
}
BENCHMARK(BM_ReadPage_WithSentences)->Unit(benchmark::kMillisecond);

// The parser's share: the page decoded, thinned and parsed into the tree, nothing more.
void BM_ParseOnly(benchmark::State& state) {
  OverEveryPage(state, [](const std::string& page) {
    std::string utf8 = quillmark::PageToUtf8(page, "");
    quillmark::ThinPage(utf8);
    const quillmark::HtmlTree tree(utf8);
    benchmark::DoNotOptimize(tree.size());
  });
}
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

void BM_DecodeAndThinOnly(benchmark::State& state) {
  OverEveryPage(state, [](const std::string& page) {
    std::string utf8 = quillmark::PageToUtf8(page, "");
    quillmark::ThinPage(utf8);
    benchmark::DoNotOptimize(utf8.data());
  });
}
BENCHMARK(BM_DecodeAndThinOnly)->Unit(benchmark::kMillisecond);

void BM_ScanPage_SamePages(benchmark::State& state) {
  OverEveryPage(state, [](const std::string& page) {
    benchmark::DoNotOptimize(quillmark::ScanPage(page, quillmark::FollowAnchors::kYes));
  });
}
BENCHMARK(BM_ScanPage_SamePages)->Unit(benchmark::kMillisecond);

}  // namespace
