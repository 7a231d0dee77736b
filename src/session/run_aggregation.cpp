#include "session/run_aggregation.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "text/byte_tricks.h"
#include "text/counting_tally.h"
#include "text/folded_tally.h"
#include "text/sorted_words.h"

namespace quillmark {
namespace {

// Sentences are taken in batches: walking the tree gathers a batch and starts fetching
// each sentence's bytes, then the batch is counted. A store built by insertion has its
// sentences scattered over the heap, and the fetches of a batch then overlap.
constexpr std::size_t kSentenceBatch = 32;

// Counting goes into a hash table; folding puts it into byte order once. The tally that
// folding sees is the same as if every token had gone into the ordered map.
CountingTally CountRun(const SentenceStore& sentences, const std::vector<std::string>& mappedWords,
                       RunFigures& figures, WordReading reading) {
  CountingTally counting;
  for (const std::string& word : mappedWords) counting.Enter(word);
  std::array<std::string_view, kSentenceBatch> batch;
  for (const auto& [host, hostSentences] : sentences) {
    auto next = hostSentences.begin();
    while (next != hostSentences.end()) {
      std::size_t size = 0;
      for (; size < kSentenceBatch && next != hostSentences.end(); ++next) {
        batch[size++] = *next;
        PrefetchForReading(next->data());
      }
      for (std::size_t i = 0; i < size; ++i) {
        if (reading == WordReading::kArticle) {
          CountReadingWords(counting, batch[i], figures.wordsBeforeAggregation);
        } else {
          CountWords(counting, batch[i], figures.wordsBeforeAggregation);
        }
        figures.dataSize += static_cast<std::uint32_t>(batch[i].size());
      }
    }
  }
  return counting;
}

// Every dictionary pair whose base form is ranked adds its inflected form under that base.
// The pairs are gathered and sorted by base form first, so that the index is filled in one
// walk with position hints instead of a search per pair.
void ExtendInflectionIndex(const MappingDictionary& dictionary, const RankedWordList& ranking,
                           InflectionIndex& index) {
  std::unordered_set<std::string_view> ranked;
  ranked.reserve(ranking.size());
  for (const auto& [word, count] : ranking) ranked.insert(word);

  struct Pair {
    std::uint64_t baseKey;  // PrefixKey(base), so that most comparisons need no string
    std::string_view base;
    std::string_view inflected;
  };
  std::vector<Pair> pairs;
  for (const auto& [inflected, base] : dictionary) {
    if (ranked.contains(base)) pairs.push_back(Pair{PrefixKey(base), base, inflected});
  }
  // Stable: each base form's inflected forms stay in the dictionary's (ascending) order.
  std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
    return a.baseKey != b.baseKey ? a.baseKey < b.baseKey : a.base < b.base;
  });
  auto entry = index.begin();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view base = pairs[i].base;
    if (i == 0 || base != pairs[i - 1].base) {
      while (entry != index.end() && ByteLess(entry->first, base)) ++entry;
      if (entry == index.end() || entry->first != base) {
        entry = index.emplace_hint(entry, base, InflectionIndex::mapped_type{});
      }
    }
    entry->second.emplace_hint(entry->second.end(), pairs[i].inflected);
  }
}

}  // namespace

void AggregateRun(const SentenceStore& sentences, std::vector<std::string>& mappedWords,
                  MappingDictionary& dictionary, InflectionIndex& index, RankedWordList& ranking,
                  RunFigures& figures, WordReading reading) {
  const CountingTally rawTally = CountRun(sentences, mappedWords, figures, reading);
  std::vector<std::string_view> newBaseForms;  // byte order, no duplicates
  const FoldedTally folded = FoldCountedWords(rawTally, dictionary, newBaseForms);
  for (std::string_view baseForm : newBaseForms) mappedWords.emplace_back(baseForm);
  RankedWordList newRanking = folded.Rank();
  figures.wordsAfterAggregation = static_cast<std::int32_t>(newRanking.size());
  ranking = std::move(newRanking);
  ExtendInflectionIndex(dictionary, ranking, index);
}

}  // namespace quillmark
