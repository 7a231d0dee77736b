#pragma once
// How much of a run the learner already knows: the NG-word list is exactly the set of words
// they have said they know.

#include <set>
#include <string>

#include "text/word_types.h"

namespace quillmark {

// Returns the share of the words counted in `ranking` (each word's count is the run's words
// folded onto it; the empty word is left out) whose word is on `ngWords`, as a percentage
// with one decimal, rounded half up: "93.5", "100.0". A ranking without words gives "0.0".
std::string KnownSharePercent(const RankedWordList& ranking, const std::set<std::string>& ngWords);

}  // namespace quillmark
