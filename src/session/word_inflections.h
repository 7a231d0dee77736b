#pragma once
// One word's entry of the inflection index, without a whole run: what the command line's
// search needs to show a word's sentences straight from a file of sentences.

#include <string>
#include <vector>

#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

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
