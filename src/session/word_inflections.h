#pragma once
// One word's entry of the inflection index, without a whole run: what the command line's
// search needs to show a word's sentences straight from a file of sentences.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

// The words whose counts decide `upperWord`'s entry (see IndexEntryAfterRun), in byte order:
// the word, the forms that may fold onto it and the words that decide where those fold. The
// forms a search for the word looks for are among them.
std::vector<std::string> DecidingWords(const std::string& upperWord,
                                       const MappingDictionary& dictionary);

// The distinct lines of `bytes` (cut as ReadLineFile cuts them) that may hold one of
// `upperWords` as a word, letter case ignored. A search for those words, and their counts,
// come out the same over these lines as over all of them, which it skips building.
std::set<std::string> LinesThatMayHold(std::string_view bytes,
                                       const std::vector<std::string>& upperWords);

// The inflection index that AggregateRun would build from an empty index over `sentences`,
// `mappedWords` and `dictionary`, cut down to the entry of `upperWord` (upper case): that
// entry when the run ranks the word and gives it forms, else an empty index. Counts only
// the words that decide the entry (the word, the forms that may fold onto it and the words
// that decide where those fold), so it costs one walk of the store rather than a run.
// Changes nothing. On allocation failure throws std::bad_alloc.
InflectionIndex IndexEntryAfterRun(const std::string& upperWord, const SentenceStore& sentences,
                                   const std::vector<std::string>& mappedWords,
                                   const MappingDictionary& dictionary);

}  // namespace quillmark
