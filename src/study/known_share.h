#pragma once
// How much of a run the learner already knows: the NG-word list is exactly the set of words
// they have said they know.

#include <cstdint>
#include <set>
#include <string>

#include "text/word_types.h"

namespace quillmark {

// Returns the share of the words counted in `ranking` (each word's count is the run's words
// folded onto it; the empty word is left out) whose word is on `ngWords`, as a percentage
// with one decimal, rounded half up: "93.5", "100.0". A ranking without words gives "0.0".
// The words of `leftOut` count on neither side: with a level the share is counted as reading
// research counts it, over ordinary words only (names and words of no list or dictionary
// left out).
std::string KnownSharePercent(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                              const std::set<std::string>& leftOut = {});

// The same share in tenths of a percent (935 for "93.5"), as the run history keeps it.
std::int32_t KnownShareTenths(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                              const std::set<std::string>& leftOut = {});

// `known` of `counted` words in tenths of a percent, rounded half up; 0 when nothing was
// counted. The one rounding every known share goes through.
std::int32_t KnownShareTenths(std::int64_t known, std::int64_t counted);

// "93.5" for 935.
std::string PercentText(std::int32_t tenths);

}  // namespace quillmark
