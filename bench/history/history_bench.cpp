// The run history at ten years of daily runs: 3,650 runs of 3,000 ranked words each (about
// 11 million word rows), made here once through the same Append a run ends with. Goals: the
// end-of-run write at most 50 ms, the trends of one run at most 100 ms, the file at most 400 MB
// (the counter file_MB).
//
// The history is made under $TMPDIR (else /tmp) as quillmark-bench-history/history.sqlite3 and
// kept for the next run of the benchmark (making it takes about a minute); remove the folder
// to start again. The writes go into a copy of it, scratch.sqlite3 there.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "session/data_directory.h"
#include "session/run_history.h"

namespace quillmark {
namespace {

constexpr int kRuns = 3650;
constexpr int kWordsPerRun = 3000;
constexpr int kVocabulary = 60000;
constexpr std::int64_t kFirstDay = 1'480'000'000;
constexpr std::int64_t kDay = 86'400;

std::string Word(int index) {
  std::string word;
  for (int rest = index + 26; rest > 0; rest /= 26) word += static_cast<char>('A' + rest % 26);
  return word;
}

// One day's ranked words: the 2,000 most common words of the vocabulary every day (counts
// falling with rank as in news text), and 1,000 drawn from the long tail.
std::vector<WordCount> RunWords(std::mt19937& random) {
  std::vector<WordCount> words;
  words.reserve(kWordsPerRun);
  std::uniform_int_distribution<int> jitter(0, 3);
  for (int rank = 0; rank < 2000; ++rank)
    words.push_back({Word(rank), 20000 / (rank + 1) + jitter(random)});
  std::uniform_int_distribution<int> tail(2000, kVocabulary - 1);
  std::vector<int> drawn;
  while (drawn.size() < 1000) {
    const int index = tail(random);
    if (std::find(drawn.begin(), drawn.end(), index) == drawn.end()) drawn.push_back(index);
  }
  for (const int index : drawn) words.push_back({Word(index), 1 + jitter(random)});
  return words;
}

HistoryRun RunOfDay(int day) {
  return HistoryRun{.time = kFirstDay + day * kDay,
                    .sites = {"http://news.example/", "http://world.example/"},
                    .figures = {.dataSize = 4'000'000,
                                .wordsBeforeAggregation = 700'000,
                                .wordsAfterAggregation = kWordsPerRun},
                    .knownShareTenths = 600 + day % 300,
                    .pagesFetched = 120};
}

std::string BenchDirectory() {
  const char* temporary = std::getenv("TMPDIR");
  const std::string directory =
      std::string(temporary != nullptr ? temporary : "/tmp") + "/quillmark-bench-history/";
  CreateMissingDirectories(directory);
  return directory;
}

// The ten-year history, made on first use and closed (its journal checkpointed into it).
std::string TenYears() {
  static const std::string path = [] {
    const std::string made = RunHistoryPath(BenchDirectory());
    SqliteRunHistory history(made, HistoryDirectory::kMustExist, {});
    std::mt19937 random(7);
    for (int day = static_cast<int>(history.Runs().size()); day < kRuns; ++day)
      history.Append(RunOfDay(day), RunWords(random));
    return made;
  }();
  return path;
}

// A copy of the ten years to write into, so the runs a benchmark adds stay out of the others.
std::string ScratchCopyOfTenYears() {
  const std::string scratch = BenchDirectory() + "scratch.sqlite3";
  for (const char* journal : {"-wal", "-shm"}) std::filesystem::remove(scratch + journal);
  std::filesystem::copy_file(TenYears(), scratch,
                             std::filesystem::copy_options::overwrite_existing);
  return scratch;
}

double FileMegabytes(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? static_cast<double>(status.st_size) / 1e6 : 0;
}

// The end of a run in the window program: the history is open, one run is added.
void BM_AppendRunToTenYears(benchmark::State& state) {
  SqliteRunHistory history(ScratchCopyOfTenYears(), HistoryDirectory::kMustExist, {});
  std::mt19937 random(11);
  const std::vector<WordCount> words = RunWords(random);
  for (auto _ : state) history.Append(RunOfDay(kRuns), words);
  state.counters["file_MB"] = FileMegabytes(TenYears());
}
BENCHMARK(BM_AppendRunToTenYears)->Unit(benchmark::kMillisecond);

// The end of `quillmark-cli gather --save`: the history is opened for the one write.
void BM_OpenAndAppendRunToTenYears(benchmark::State& state) {
  const std::string scratch = ScratchCopyOfTenYears();
  std::mt19937 random(12);
  const std::vector<WordCount> words = RunWords(random);
  for (auto _ : state) {
    SqliteRunHistory history(scratch, HistoryDirectory::kMustExist, {});
    history.Append(RunOfDay(kRuns), words);
  }
}
BENCHMARK(BM_OpenAndAppendRunToTenYears)->Unit(benchmark::kMillisecond);

// `quillmark-cli trends` and the trends window: every run read, the last run against the
// runs of its 7 days, on a history opened afresh.
void BM_TrendsOfLastRun(benchmark::State& state) {
  const std::string path = TenYears();
  NewsTrends trends;
  for (auto _ : state) {
    SqliteRunHistory history(path, HistoryDirectory::kMustExist, {});
    trends = TrendsOfLastRun(history, {});
  }
  state.counters["earlier_runs"] = trends.earlierRuns;
  state.counters["new"] = static_cast<double>(trends.newWords.size());
  state.counters["rising"] = static_cast<double>(trends.rising.size());
}
BENCHMARK(BM_TrendsOfLastRun)->Unit(benchmark::kMillisecond);

// One word's chart in the trends window: its count in every one of the runs.
void BM_CountsOfACommonWord(benchmark::State& state) {
  SqliteRunHistory history(TenYears(), HistoryDirectory::kMustExist, {});
  for (auto _ : state) benchmark::DoNotOptimize(history.CountsOf(Word(10)));
}
BENCHMARK(BM_CountsOfACommonWord)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmark
