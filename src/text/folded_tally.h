#pragma once
// The result of folding a run's raw tally, kept as a sorted array.
//
// FoldInflections returns an ordered WordTally; the run aggregation needs the same tally
// only to rank it, so it folds into this form and never builds the ordered map. Every
// answer equals the one the WordTally path gives.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/counting_tally.h"
#include "text/sorted_words.h"
#include "text/word_types.h"

namespace quillmark {

class FoldedTally {
 public:
  // `words`: strictly ascending byte order, each a view into the raw tally that was folded
  // or into a key of `unattested` (dictionary base forms the raw tally lacks).
  FoldedTally(std::vector<SortedWord> words, WordTally unattested)
      : words_(std::move(words)), unattested_(std::move(unattested)) {}
  // The views into `unattested_` must not be left pointing into another object.
  FoldedTally(const FoldedTally&) = delete;
  FoldedTally& operator=(const FoldedTally&) = delete;
  FoldedTally(FoldedTally&&) = default;  // map nodes move with the map: views stay valid
  FoldedTally& operator=(FoldedTally&&) = default;

  // Number of entries (counts of 0 included).
  std::size_t size() const { return words_.size(); }

  // The same entries as an ordered tally.
  WordTally ToTally() const;

  // Exactly RankWords(ToTally()).
  RankedWordList Rank() const;

 private:
  std::vector<SortedWord> words_;
  WordTally unattested_;
};

// Folds as FoldInflections(rawTally.ToTally(), dictionary, newBaseForms) does, in
// sorted-array form. The new base forms are appended to `newBaseForms` in ascending byte order
// without duplicates (also when a failure interrupts the fold). The result and the appended
// views point into `rawTally`: keep it alive and unchanged while they are used.
FoldedTally FoldCountedWords(const CountingTally& rawTally, MappingDictionary& dictionary,
                             std::vector<std::string_view>& newBaseForms);

// The fold itself, on a raw tally given in strictly ascending byte order, with `attested`
// finding words in it (views into `raw` end up in the result and in `newBaseForms`, as for
// FoldCountedWords).
FoldedTally FoldSortedWords(const std::vector<SortedWord>& raw, const WordPositions& attested,
                            MappingDictionary& dictionary,
                            std::vector<std::string_view>& newBaseForms);

}  // namespace quillmark
