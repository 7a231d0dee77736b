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

namespace {

// Finds raw words through the counting tally's hash table: one probe instead of a binary
// search, for the many base forms the fold looks up.
class CountedWordPositions : public WordPositions {
 public:
  CountedWordPositions(const CountingTally& tally, const std::vector<std::uint32_t>& positions)
      : tally_(tally), positions_(positions) {}

  std::size_t Find(std::string_view word) const override {
    const std::size_t slot = tally_.SlotOf(word);
    return slot == CountingTally::kNoSlot ? kNotFound : positions_[slot];
  }

 private:
  const CountingTally& tally_;
  const std::vector<std::uint32_t>& positions_;
};

}  // namespace

FoldedTally FoldCountedWords(const CountingTally& rawTally, MappingDictionary& dictionary,
                             std::vector<std::string_view>& newBaseForms) {
  std::vector<std::uint32_t> positions;
  const std::vector<SortedWord> raw = rawTally.SortedWords(&positions);
  return FoldSortedWords(raw, CountedWordPositions(rawTally, positions), dictionary, newBaseForms);
}

}  // namespace quillmark
