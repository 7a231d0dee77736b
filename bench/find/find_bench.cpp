// Speed of the sentence finder over a store of 200,000 sentences in 100 hosts: the goal is at
// most 50 ms per lookup.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "study/sentence_finder.h"

namespace quillmark {
namespace {

constexpr int kHosts = 100;
constexpr int kSentencesPerHost = 2000;

std::vector<std::string> MakeVocabulary(std::mt19937& random) {
  // Common words first, so they turn up often; then made-up words of 2 to 10 letters.
  std::vector<std::string> words{"the", "a",     "of",    "and", "to",     "in",    "is",
                                 "it",  "was",   "for",   "on",  "ship",   "ships", "shipped",
                                 "Go",  "don't", "won't", "say", "market", "news"};
  std::uniform_int_distribution<int> length(2, 10);
  std::uniform_int_distribution<int> letter('a', 'z');
  while (words.size() < 20000) {
    std::string word(length(random), ' ');
    for (char& c : word) c = static_cast<char>(letter(random));
    words.push_back(word);
  }
  return words;
}

// Words drawn with a Zipf-like skew (log-uniform ranks), so "the" is in about half of the
// sentences and most made-up words are rare.
SentenceStore MakeStore() {
  std::mt19937 random(42);
  const std::vector<std::string> words = MakeVocabulary(random);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  auto pickWord = [&] {
    const double rank = std::pow(static_cast<double>(words.size()), uniform(random)) - 1.0;
    return words[std::min(words.size() - 1, static_cast<std::size_t>(rank))];
  };
  const std::string separators[] = {" ", " ", " ", " ", ", ", " $"};
  std::uniform_int_distribution<int> sentenceLength(4, 16);
  std::uniform_int_distribution<int> separator(0, 5);
  SentenceStore store;
  for (int host = 0; host < kHosts; ++host) {
    auto& sentences = store["www.host" + std::to_string(host) + ".example"];
    while (sentences.size() < kSentencesPerHost) {
      std::string sentence = pickWord();
      sentence[0] = static_cast<char>(sentence[0] & ~0x20);  // capitalised, as in news text
      for (int w = sentenceLength(random); w > 0; --w) {
        sentence += separators[separator(random)] + pickWord();
      }
      sentences.insert(sentence + (uniform(random) < 0.2 ? "?" : ""));
    }
  }
  return store;
}

// Built before main(), so no benchmark times the building. The main window searches a copy of
// the gathering dialog's store (or the sum file's sentences, read in order), whose nodes lie
// in memory roughly in the order they are walked; a store filled page by page does not.
const SentenceStore kFilledStore = MakeStore();
const SentenceStore kStore = kFilledStore;

const SentenceStore& Store() { return kStore; }

void Find(benchmark::State& state, const char* word, const InflectionIndex& index,
          const SentenceStore& store = Store()) {
  std::size_t resultBytes = 0;
  for (auto _ : state) {
    const std::string found = FindSentences(store, word, index);
    resultBytes = found.size();
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["result_bytes"] = static_cast<double>(resultBytes);
}

// A word of the middle of the ranking with three inflected forms.
void BM_FindSentences_Ship(benchmark::State& state) {
  Find(state, "ship", InflectionIndex{{"SHIP", {"SHIPPED", "SHIPPING", "SHIPS"}}});
}

// The same on the store as the gathering dialog filled it.
void BM_FindSentences_Ship_FilledStore(benchmark::State& state) {
  Find(state, "ship", InflectionIndex{{"SHIP", {"SHIPPED", "SHIPPING", "SHIPS"}}}, kFilledStore);
}

// A short word that also stands inside many other words.
void BM_FindSentences_Go(benchmark::State& state) {
  Find(state, "go", InflectionIndex{{"GO", {"GOES", "GOING", "GONE", "WENT"}}});
}

// A word no sentence holds: the walk and the quick test of every sentence.
void BM_FindSentences_Absent(benchmark::State& state) { Find(state, "xqz", InflectionIndex{}); }

// The most frequent word: almost every sentence is cut into words and shown.
void BM_FindSentences_The(benchmark::State& state) { Find(state, "the", InflectionIndex{}); }

// Only walks the store: the floor under every lookup.
void Walk(benchmark::State& state, const SentenceStore& store) {
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const auto& [host, sentences] : store) {
      for (const std::string& sentence : sentences) bytes += sentence.size() + sentence[0];
    }
    benchmark::DoNotOptimize(bytes);
  }
}

void BM_WalkStore(benchmark::State& state) { Walk(state, Store()); }

// The floor under BM_FindSentences_Ship_FilledStore: its nodes lie scattered.
void BM_WalkStore_FilledStore(benchmark::State& state) { Walk(state, kFilledStore); }

BENCHMARK(BM_WalkStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkStore_FilledStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSentences_Ship)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSentences_Ship_FilledStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSentences_Go)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSentences_Absent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSentences_The)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmark
