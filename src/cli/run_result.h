#pragma once
// The result of a run as quillmark-cli writes it: tab-separated lines or one JSON object.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_options.h"
#include "study/run_figures.h"
#include "study/sentence_store.h"
#include "study/word_classes.h"
#include "text/word_types.h"

namespace quillmark {

struct RunResult {
  RunFigures figures;
  RankedWordList ranking;
  std::vector<std::string> learned;  // base forms this run added to the mapped-word list
};

// Ranked word -> the inflected forms folded into it, with their counts.
using FoldedForms = std::map<std::string, std::vector<std::pair<std::string, std::int32_t>>>;

// What the output tells about each word besides its count.
struct WordDetails {
  std::set<std::string> hiddenWords;  // names and page labels the shown words leave out
  WordClasses classes;                // of the ranked words not on the NG-word list
  std::optional<FoldedForms> forms;   // --forms
  // --meanings: a word's meaning (its senses on one line; empty when none). Unset: no meanings.
  std::function<std::string(const std::string& word)> meaningOf;
  // With a level: the words the known share leaves out (Session::LeftOutOfRunShare).
  std::set<std::string> leftOut;
};

// For every base word of `index`, the forms it lists that the words of `sentences` hold
// (counted by the program's tokenizer, as the run counted them before folding), in byte
// order with their counts; forms no sentence holds are left out.
FoldedForms CountFoldedForms(const SentenceStore& sentences, const InflectionIndex& index);

// `text` as a JSON string: valid UTF-8 (ValidUtf8; a learned word comes from mappedwords.dat as
// any bytes), with every control character escaped: C0, DEL and C1 (U+0080-U+009F), which a
// terminal showing the JSON would obey.
std::string JsonString(const std::string& text);

// tsv: "# data size: D bytes; words before aggregation: B; words after aggregation: A", then
// one "word<TAB>count" line per shown word: most frequent first, lower case, NG words and the
// empty word skipped, at most `top` lines. With `all`: every pair of the ranking from its end,
// upper case, nothing skipped, then "--", then the learned base forms in byte order.
// json: one object {"figures": {...}, "words": [{"word": ..., "count": ..., "class": ...}],
// "learned": [...]} ("learned" only with `all`), the same selection; the figures end with
// "knownShare", the percentage KnownSharePercent gives, as a number. A word's class is "word",
// "name" or "label" (WordClassName of the details' classes), "known" for an NG word listed
// with `all`; with the details' forms, each word also has "forms": [{"form": ..., "count":
// ...}], in the word's case. Both formats leave out the details' hidden words. With
// the details' meaningOf each word line has a third column, each word a "meaning" field (tabs and
// line breaks in it made spaces). Every string is valid UTF-8 (ValidUtf8) with its control
// bytes escaped. Every line ends with LF.

std::string FormatRunResult(const RunResult& result, const std::set<std::string>& ngWords,
                            std::int32_t top, bool all, ResultFormat format,
                            const WordDetails& details = {});

}  // namespace quillmark
