// AggregateRun over sentence stores of 10 MB and 100 MB, beside the shell pipeline
// `LC_ALL=C tr -cs A-Za-z '\n' | tr a-z A-Z | sort | uniq -c` timed on the same text.
//
// The stores are generated: ~50,000 words drawn with Zipf frequencies (function words
// first, then the dictionary's own inflected and base forms, then made-up words, some with
// -S/-ED/-ING endings), sentences of 3 to 60 words that keep to the sentence characters
// (letters, space, comma, apostrophe, dollar, final ? or !), spread over 100 hosts with a few
// syndicated sentences held under two hosts, laid out in memory like a copied store.
// The dictionary is resources/MAPPING_DIC; when that file holds fewer than 20,000 pairs a
// stand-in of the same form is generated and the benchmark says so in its label.
//
// Counters: MB_per_s (sentence text per second); peak_to_text, the process's peak resident
// memory during the runs (the store included) over the text size, and run_to_text, what the
// runs added to the memory held before them, over the text size. For clean memory figures
// run one size alone, e.g. --benchmark_filter=AggregateRun/100. run.sh here runs it all.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "session/run_aggregation.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

constexpr std::size_t kMegabyte = 1000 * 1000;
constexpr int kVocabularySize = 50000;
constexpr int kHostCount = 100;
constexpr std::size_t kBuiltInPairs = 24244;

// ---------------------------------------------------------------------------------------
// The mapping dictionary

struct Dictionary {
  MappingDictionary pairs;
  std::vector<std::string> baseForms;  // distinct, byte order
  bool standIn = false;
};

MappingDictionary ParseMappingLines(const std::string& text) {
  MappingDictionary pairs;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string inflected;
    std::string base;
    if (fields >> inflected >> base) pairs[inflected] = base;
  }
  return pairs;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string MadeUpWord(std::mt19937_64& random, int minSyllables, int maxSyllables) {
  static const char* const kOnsets[] = {
      "b", "c",  "d",  "f",  "g",  "h",  "j",  "k",  "l",  "m",  "n",  "p",   "r",  "s",  "t",  "v",
      "w", "br", "cl", "cr", "dr", "fl", "gr", "pl", "pr", "sh", "st", "str", "th", "tr", "ch", ""};
  static const char* const kVowels[] = {"a", "e", "i", "o", "u", "ea", "ou", "ai", "ie", "y"};
  static const char* const kCodas[] = {"",   "",   "",   "n", "r",  "t",  "l", "s",
                                       "nd", "st", "ck", "m", "nt", "rd", "ng"};
  auto pick = [&](const auto& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, std::size(from) - 1)(random)];
  };
  std::string word;
  const int syllables = std::uniform_int_distribution<int>(minSyllables, maxSyllables)(random);
  for (int i = 0; i < syllables; ++i) word += std::string(pick(kOnsets)) + pick(kVowels);
  return word + pick(kCodas);
}

// Same form as the built-in list: "INFLECTED BASE" lines, CR LF between lines, sorted by
// base form, a few inflected forms named twice.
std::string StandInMappingText(std::mt19937_64& random) {
  std::set<std::string> bases;
  while (bases.size() < kBuiltInPairs / 3) {
    std::string base = MadeUpWord(random, 1, 3);
    for (char& c : base) c = static_cast<char>(c - 0x20);
    bases.insert(base);
  }
  std::vector<std::pair<std::string, std::string>> lines;  // (base, inflected)
  static const char* const kEndings[] = {"S", "ED", "ING", "ES", "ER", "EST"};
  for (const std::string& base : bases) {
    for (int i = 0; i < 3 && lines.size() < kBuiltInPairs - 38; ++i) {
      lines.emplace_back(base, base + kEndings[(i + base.size()) % std::size(kEndings)]);
    }
  }
  for (int i = 0; lines.size() < kBuiltInPairs; ++i) {  // 38 inflected forms on two lines
    lines.emplace_back(lines[i * 7].first + "X", lines[i * 7].second);
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string text;
  for (const auto& [base, inflected] : lines) {
    if (!text.empty()) text += "\r\n";
    text += inflected + " " + base;
  }
  return text;
}

Dictionary LoadDictionary(std::mt19937_64& random) {
  Dictionary dictionary;
  dictionary.pairs = ParseMappingLines(ReadFile(QUILLMARK_SOURCE_DIR "/resources/MAPPING_DIC"));
  if (dictionary.pairs.size() < 20000) {
    dictionary.pairs = ParseMappingLines(StandInMappingText(random));
    dictionary.standIn = true;
  }
  std::set<std::string> bases;
  for (const auto& [inflected, base] : dictionary.pairs) bases.insert(base);
  dictionary.baseForms.assign(bases.begin(), bases.end());
  return dictionary;
}

// ---------------------------------------------------------------------------------------
// The vocabulary and the sentence store

const char* const kFunctionWords[] = {
    "the",        "of",    "and",     "to",        "a",         "in",      "that",    "is",
    "for",        "it",    "was",     "on",        "with",      "he",      "as",      "be",
    "by",         "at",    "said",    "his",       "from",      "have",    "are",     "not",
    "has",        "this",  "but",     "they",      "an",        "were",    "had",     "which",
    "will",       "their", "its",     "or",        "been",      "who",     "would",   "one",
    "after",      "new",   "we",      "more",      "also",      "she",     "there",   "than",
    "her",        "about", "up",      "all",       "two",       "when",    "last",    "out",
    "into",       "could", "other",   "year",      "people",    "can",     "first",   "over",
    "some",       "if",    "only",    "them",      "i",         "you",     "our",     "no",
    "government", "what",  "years",   "state",     "so",        "time",    "most",    "just",
    "before",     "says",  "because", "while",     "during",    "against", "between", "under",
    "police",     "week",  "today",   "officials", "president", "country", "may",     "three",
    "told",       "since",
};

struct Vocabulary {
  std::vector<std::string> words;  // by rank
  std::discrete_distribution<int> rank;
};

Vocabulary MakeVocabulary(const Dictionary& dictionary, std::mt19937_64& random) {
  std::set<std::string> seen;
  std::vector<std::string> rest;
  auto lower = [](std::string word) {
    for (char& c : word) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    }
    return word;
  };
  for (const char* word : kFunctionWords) seen.insert(word);
  for (const auto& [inflected, base] : dictionary.pairs) {
    for (const std::string& word : {lower(inflected), lower(base)}) {
      if (rest.size() < kVocabularySize * 3 / 4 && seen.insert(word).second) rest.push_back(word);
    }
  }
  static const char* const kEndings[] = {"", "", "", "s", "ed", "ing", "ies", "ped"};
  while (static_cast<int>(rest.size() + std::size(kFunctionWords)) < kVocabularySize) {
    std::string word = MadeUpWord(random, 1, 3) +
                       kEndings[std::uniform_int_distribution<std::size_t>(0, 7)(random)];
    if (seen.insert(word).second) rest.push_back(word);
  }
  std::shuffle(rest.begin(), rest.end(), random);
  Vocabulary vocabulary;
  vocabulary.words.assign(std::begin(kFunctionWords), std::end(kFunctionWords));
  vocabulary.words.insert(vocabulary.words.end(), rest.begin(), rest.end());
  std::vector<double> weights;
  for (std::size_t rank = 1; rank <= vocabulary.words.size(); ++rank) {
    weights.push_back(1.0 / static_cast<double>(rank));
  }
  vocabulary.rank = std::discrete_distribution<int>(weights.begin(), weights.end());
  return vocabulary;
}

std::string MakeSentence(Vocabulary& vocabulary, std::mt19937_64& random) {
  std::normal_distribution<double> length(21.0, 9.0);
  std::uniform_int_distribution<int> percent(0, 99);
  const int words = std::clamp(static_cast<int>(length(random)), 3, 60);
  std::string sentence;
  for (int i = 0; i < words; ++i) {
    std::string word = vocabulary.words[vocabulary.rank(random)];
    const int roll = percent(random);
    if (i == 0 || roll < 6) word[0] = static_cast<char>(word[0] - 0x20);  // capitals
    if (roll == 7) word += "'s";                                          // dropped tokens
    if (roll == 8 && i + 1 < words) word = "$" + word;
    if (!sentence.empty()) sentence += ' ';
    sentence += word;
    if (percent(random) < 8 && i + 1 < words) sentence += ',';
  }
  const int ending = percent(random);
  if (ending < 5) sentence += '?';
  if (ending == 5) sentence += '!';
  return sentence;
}

struct Corpus {
  std::size_t megabytes = 0;
  Dictionary dictionary;
  std::vector<std::string> mappedWords;
  SentenceStore sentences;
  std::size_t textBytes = 0;
};

std::unique_ptr<Corpus> MakeCorpus(std::size_t megabytes) {
  std::mt19937_64 random(1999);
  auto corpus = std::make_unique<Corpus>();
  corpus->megabytes = megabytes;
  corpus->dictionary = LoadDictionary(random);
  // Earlier runs' base forms: a slice of the dictionary's, as the built-in list holds.
  for (std::size_t i = 0; i < corpus->dictionary.baseForms.size(); i += 6) {
    corpus->mappedWords.push_back(corpus->dictionary.baseForms[i]);
  }
  Vocabulary vocabulary = MakeVocabulary(corpus->dictionary, random);
  std::uniform_int_distribution<int> percent(0, 99);
  // Host by host, each host's sentences sorted before they go into the store: the nodes then
  // lie in tree order, as in the copy of the gathering dialog's store that the main window
  // aggregates, and only one host's sentences are ever held twice.
  const std::size_t bytesPerHost = megabytes * kMegabyte / kHostCount;
  std::vector<std::string> syndicated;  // also held by the next host
  for (int host = 0; host < kHostCount; ++host) {
    std::vector<std::string> sentences = std::move(syndicated);
    syndicated.clear();
    std::size_t bytes = 0;
    for (const std::string& sentence : sentences) bytes += sentence.size();
    while (bytes < bytesPerHost) {
      sentences.push_back(MakeSentence(vocabulary, random));
      bytes += sentences.back().size();
      if (percent(random) < 2) syndicated.push_back(sentences.back());
    }
    std::sort(sentences.begin(), sentences.end());
    sentences.erase(std::unique(sentences.begin(), sentences.end()), sentences.end());
    std::set<std::string>& stored = corpus->sentences["www.news" + std::to_string(host) + ".com"];
    for (std::string& sentence : sentences) {
      corpus->textBytes += sentence.size();
      stored.emplace_hint(stored.end(), std::move(sentence));
    }
  }
  return corpus;
}

// One store at a time: the 100 MB one alone is most of the process's memory.
const Corpus& CorpusOf(std::size_t megabytes) {
  static std::unique_ptr<Corpus> corpus;
  if (!corpus || corpus->megabytes != megabytes) {
    corpus.reset();
    corpus = MakeCorpus(megabytes);
  }
  return *corpus;
}

// The process's resident memory ("VmRSS") or its peak ("VmHWM"), in bytes; 0 if unknown.
double ResidentBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) * 1024.0;
  }
  return 0;
}

// Starts a new peak from the present resident memory (Linux), so that the peak seen
// afterwards belongs to the runs and not to generating the store.
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

void SetTextCounters(benchmark::State& state, const Corpus& corpus) {
  const double megabytes = static_cast<double>(corpus.textBytes) / kMegabyte;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.textBytes));
  state.counters["MB_per_s"] = benchmark::Counter(
      megabytes * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["text_MB"] = megabytes;
  state.SetLabel(corpus.dictionary.standIn ? "stand-in dictionary" : "built-in dictionary");
}

// ---------------------------------------------------------------------------------------
// The benchmarks

void BM_AggregateRun(benchmark::State& state) {
  const Corpus& corpus = CorpusOf(static_cast<std::size_t>(state.range(0)));
  RunFigures figures;
  std::vector<std::string> mappedWords;
  MappingDictionary dictionary;
  InflectionIndex index;
  RankedWordList ranking;
  ResetPeakResident();
  const double residentBefore = ResidentBytes("VmRSS");
  for (auto _ : state) {
    state.PauseTiming();
    // Every run starts from the main window's state after start-up. The main window keeps
    // these for the whole execution, so freeing the previous run's is not timed either.
    mappedWords = corpus.mappedWords;
    dictionary = corpus.dictionary.pairs;
    index.clear();
    ranking.clear();
    figures = RunFigures{};
    state.ResumeTiming();
    AggregateRun(corpus.sentences, mappedWords, dictionary, index, ranking, figures);
    benchmark::DoNotOptimize(ranking.data());
  }
  SetTextCounters(state, corpus);
  state.counters["words_before"] = figures.wordsBeforeAggregation;
  state.counters["words_after"] = figures.wordsAfterAggregation;
  const double text = static_cast<double>(corpus.textBytes);
  const double peak = ResidentBytes("VmHWM");
  state.counters["peak_to_text"] = peak / text;                    // the store itself included
  state.counters["run_to_text"] = (peak - residentBefore) / text;  // what a run adds
}

// For scale: the same counting into an ordered map, token by token.
void BM_CountWordsIntoOrderedTally(benchmark::State& state) {
  const Corpus& corpus = CorpusOf(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    WordTally tally;
    std::int32_t counter = 0;
    for (const auto& [host, sentences] : corpus.sentences) {
      for (const std::string& sentence : sentences) CountWords(tally, sentence, counter);
    }
    benchmark::DoNotOptimize(counter);
  }
  SetTextCounters(state, corpus);
}

// The same text, one sentence per line, through tr | tr | sort | uniq -c.
void BM_TrPipeline(benchmark::State& state) {
  const Corpus& corpus = CorpusOf(static_cast<std::size_t>(state.range(0)));
  char path[] = "/tmp/quillmark-aggregate-XXXXXX";
  const int descriptor = mkstemp(path);
  if (descriptor < 0) {
    state.SkipWithError("cannot create a temporary file");
    return;
  }
  close(descriptor);
  {
    std::ofstream file(path, std::ios::binary);
    for (const auto& [host, sentences] : corpus.sentences) {
      for (const std::string& sentence : sentences) file << sentence << '\n';
    }
  }
  // Exactly the pipeline as it is usually quoted: only the first tr runs with LC_ALL=C.
  const std::string command = std::string("LC_ALL=C tr -cs A-Za-z '\\n' < ") + path +
                              " | tr a-z A-Z | sort | uniq -c > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("the pipeline failed");
      break;
    }
  }
  std::remove(path);
  SetTextCounters(state, corpus);
}

// Registration order is run order: each store is generated once.
BENCHMARK(BM_AggregateRun)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CountWordsIntoOrderedTally)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TrPipeline)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AggregateRun)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TrPipeline)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quillmark
