#include "text/word_tally.h"

#include <algorithm>

namespace quillmark {

RankedWordList RankWords(const WordTally& tally) {
  RankedWordList ranked;
  // Visiting the tally backwards puts words in descending byte order, so a stable sort
  // by count alone gives the tie-break (equal counts, word descending) for free.
  for (auto entry = tally.rbegin(); entry != tally.rend(); ++entry) {
    if (entry->second > 0) ranked.emplace_back(entry->first, entry->second);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  return ranked;
}

}  // namespace quillmark
