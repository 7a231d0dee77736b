#pragma once
// Which ranked words the word list shows, in which order.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "text/word_types.h"

namespace quillmark {

struct ShownWord {
  std::string caption;  // the word as shown: ASCII letters lowered
  std::int32_t count;
};

// The rows of the word list for `ranking` (count ascending, the most frequent word last):
// read from the end, stopping at a count below 1, skipping words on `ngWords` (they take no
// row), and stopping once more than `itemViewCount` rows were taken. So up to
// itemViewCount + 1 rows, and one row even when itemViewCount is 0 or negative.
std::vector<ShownWord> SelectShownWords(const RankedWordList& ranking,
                                        const std::set<std::string>& ngWords,
                                        std::int32_t itemViewCount);

// As above, with the words of `hiddenWords` skipped as the NG words are (the names and page
// labels a learner chose to hide).
std::vector<ShownWord> SelectShownWords(const RankedWordList& ranking,
                                        const std::set<std::string>& ngWords,
                                        const std::set<std::string>& hiddenWords,
                                        std::int32_t itemViewCount);

}  // namespace quillmark
