#include "text/folded_tally.h"

#include <algorithm>

namespace quillmark {

WordTally FoldedTally::ToTally() const {
  WordTally tally;
  for (const SortedWord& word : words_) {
    tally.emplace_hint(tally.end(), std::string(word.word), word.count);
  }
  return tally;
}

RankedWordList FoldedTally::Rank() const {
  // Positions of the ranked entries, words descending; a stable sort by count alone then
  // gives the tie-break (equal counts, word descending) and strings are built only once.
  std::vector<std::pair<std::int32_t, std::size_t>> order;
  for (std::size_t i = words_.size(); i-- > 0;) {
    if (words_[i].count > 0) order.emplace_back(words_[i].count, i);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  RankedWordList ranked;
  ranked.reserve(order.size());
  for (const auto& [count, i] : order) ranked.emplace_back(std::string(words_[i].word), count);
  return ranked;
}

FoldedTally FoldCountedWords(const CountingTally& rawTally, MappingDictionary& dictionary,
                             std::vector<std::string_view>& newBaseForms) {
  return FoldSortedWords(rawTally.SortedWords(), dictionary, newBaseForms);
}

}  // namespace quillmark
