#include "study/known_share.h"

#include <cstdint>

namespace quillmark {

std::string KnownSharePercent(const RankedWordList& ranking, const std::set<std::string>& ngWords) {
  // Whole numbers throughout, so that the decimal shown never depends on rounding a double.
  std::int64_t known = 0;
  std::int64_t counted = 0;
  for (const auto& [word, count] : ranking) {
    if (word.empty() || count < 1) continue;
    counted += count;
    if (ngWords.contains(word)) known += count;
  }
  const std::int64_t tenths = counted == 0 ? 0 : (known * 2000 + counted) / (2 * counted);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace quillmark
