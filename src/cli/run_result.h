#pragma once
// The result of a run as quillmark-cli writes it: tab-separated lines or one JSON object.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "study/run_figures.h"
#include "text/word_types.h"

namespace quillmark {

struct RunResult {
  RunFigures figures;
  RankedWordList ranking;
  std::vector<std::string> learned;  // base forms this run added to the mapped-word list
  // --meanings: a word's meaning (its senses on one line; empty when none). Unset: no meanings.
  std::function<std::string(const std::string& word)> meaningOf;
};

// tsv: "# data size: D bytes; words before aggregation: B; words after aggregation: A", then
// one "word<TAB>count" line per shown word: most frequent first, lower case, NG words and the
// empty word skipped, at most `top` lines. With `all`: every pair of the ranking from its end,
// upper case, nothing skipped, then "--", then the learned base forms in byte order.
// json: one object {"figures": {...}, "words": [{"word": ..., "count": ...}], "learned": [...]}
// ("learned" only with `all`), the same selection; the figures end with "knownShare", the
// percentage KnownSharePercent gives, as a number. With `result.meaningOf` each word line has a
// third column, each word a "meaning" field (tabs and line breaks in it made spaces). Every
// string is valid UTF-8 (ValidUtf8) with its control bytes escaped. Every line ends with LF.

// `text` as a JSON string: valid UTF-8 (ValidUtf8; a learned word comes from mappedwords.dat as
// any bytes), with every control character escaped: C0, DEL and C1 (U+0080-U+009F), which a
// terminal showing the JSON would obey.
std::string JsonString(const std::string& text);

std::string FormatRunResult(const RunResult& result, const std::set<std::string>& ngWords,
                            std::int32_t top, bool all, ResultFormat format);

}  // namespace quillmark
