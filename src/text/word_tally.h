#pragma once
// Ranking a word tally: the order in which the word list and the report present words.

#include "text/word_types.h"

namespace quillmark {

// Returns the entries of `tally` whose count is above 0 as (word, count) pairs, ordered by
// count ascending and, for equal counts, by word descending (byte-wise). The most frequent
// word is therefore last, and reading from the end gives ties in ascending byte order.
// Words entered with count 0 (mapped words no sentence held) are left out; the empty word
// is ranked like any other. Does not change `tally`.
RankedWordList RankWords(const WordTally& tally);

}  // namespace quillmark
