#include "study/shown_words.h"

#include "text/ascii_case.h"

namespace quillmark {

std::vector<ShownWord> SelectShownWords(const RankedWordList& ranking,
                                        const std::set<std::string>& ngWords,
                                        std::int32_t itemViewCount) {
  return SelectShownWords(ranking, ngWords, {}, itemViewCount);
}

std::vector<ShownWord> SelectShownWords(const RankedWordList& ranking,
                                        const std::set<std::string>& ngWords,
                                        const std::set<std::string>& hiddenWords,
                                        std::int32_t itemViewCount) {
  std::vector<ShownWord> rows;
  for (auto pair = ranking.rbegin(); pair != ranking.rend(); ++pair) {
    const auto& [word, count] = *pair;
    if (count < 1) break;
    if (ngWords.contains(word) || hiddenWords.contains(word)) continue;
    rows.push_back(ShownWord{LowerCaseAscii(word), count});
    // The test comes after the row is taken: the list shows one row more than the setting.
    if (static_cast<std::int64_t>(rows.size()) > itemViewCount) break;
  }
  return rows;
}

}  // namespace quillmark
