#pragma once
// The run aggregation: counting, folding and ranking the words of a gathering run.
// Pure code; the session passes its stores in and the windows show what they hold afterwards.

#include <string>
#include <vector>

#include "study/run_figures.h"
#include "study/sentence_store.h"
#include "text/reading_words.h"
#include "text/word_types.h"

namespace quillmark {

// Counts, folds and ranks the words of every sentence in `sentences`:
//  - every word of `mappedWords` is entered with count 0, then every sentence is counted,
//    hosts and sentences in ascending byte order; a sentence held under two hosts counts
//    twice. `figures.dataSize` grows by each sentence's length and
//    `figures.wordsBeforeAggregation` by its kept tokens (the caller resets both to 0);
//  - the tally is folded by FoldInflections: `dictionary` learns new pairs, and the new base
//    forms are appended to `mappedWords` in ascending byte order (no duplicate check);
//  - `ranking` is replaced by RankWords of the folded tally (mapped words nobody used, with
//    count 0, stay out) and `figures.wordsAfterAggregation` is set to its size;
//  - `index` is extended: every dictionary pair (learned ones included) whose base form is
//    ranked adds its inflected form under that base form. Nothing is removed from it.
// The words of a run read as articles are cut as the article reading reads them
// (CountReadingWords), else by the designed tokenizer. Nothing is filtered by the NG-word list. On
// allocation failure throws std::bad_alloc; what was changed until then stays (learned pairs; the
// ranking once it was replaced).
void AggregateRun(const SentenceStore& sentences, std::vector<std::string>& mappedWords,
                  MappingDictionary& dictionary, InflectionIndex& index, RankedWordList& ranking,
                  RunFigures& figures, WordReading reading = WordReading::kDesigned);

}  // namespace quillmark
