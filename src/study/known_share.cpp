#include "study/known_share.h"

namespace quillmark {

std::int32_t KnownShareTenths(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                              const std::set<std::string>& leftOut) {
  // Whole numbers throughout, so that the decimal shown never depends on rounding a double.
  std::int64_t known = 0;
  std::int64_t counted = 0;
  for (const auto& [word, count] : ranking) {
    if (word.empty() || count < 1 || leftOut.contains(word)) continue;
    counted += count;
    if (ngWords.contains(word)) known += count;
  }
  return KnownShareTenths(known, counted);
}

std::int32_t KnownShareTenths(std::int64_t known, std::int64_t counted) {
  return counted == 0 ? 0 : static_cast<std::int32_t>((known * 2000 + counted) / (2 * counted));
}

std::string PercentText(std::int32_t tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string KnownSharePercent(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                              const std::set<std::string>& leftOut) {
  return PercentText(KnownShareTenths(ranking, ngWords, leftOut));
}

}  // namespace quillmark
