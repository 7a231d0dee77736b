#pragma once
// The result of a run as quillmark-cli writes it: tab-separated lines or one JSON object.

#include <cstdint>
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
};

// tsv: "# data size: D bytes; words before aggregation: B; words after aggregation: A", then
// one "word<TAB>count" line per shown word: most frequent first, lower case, NG words and the
// empty word skipped, at most `top` lines. With `all`: every pair of the ranking from its end,
// upper case, nothing skipped, then "--", then the learned base forms in byte order.
// json: one object {"figures": {...}, "words": [{"word": ..., "count": ...}], "learned": [...]}
// ("learned" only with `all`), the same selection; the figures end with "knownShare", the
// percentage KnownSharePercent gives, as a number. Every line ends with LF.
// `text` as a JSON string; bytes of 0x80 and above pass as they are.
std::string JsonString(const std::string& text);

std::string FormatRunResult(const RunResult& result, const std::set<std::string>& ngWords,
                            std::int32_t top, bool all, ResultFormat format);

}  // namespace quillmark
