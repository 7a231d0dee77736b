#pragma once
// A word tally kept in hash order while counting, turned into an ordered WordTally once.
//
// The run aggregation counts every word of every stored sentence; an ordered map costs
// a dozen string comparisons per token, a hash table about one. Nothing observable
// changes: ToTally() gives exactly the WordTally that the same Enter/Add calls on an
// ordered map would have given.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/word_types.h"

namespace quillmark {

class CountingTally {
 public:
  CountingTally();

  // Enters `word` with count 0 when it is absent; an existing count is left alone.
  void Enter(std::string_view word);

  // Adds 1 to the count of `word`, entering it with 0 first when absent. Allocates only
  // when a word is seen for the first time (and then amortised: words share one buffer).
  void Add(std::string_view word) { ++CountOf(word); }

  // Number of distinct words entered.
  std::size_t size() const { return entries_.size(); }

  // Returns the entries as an ordered tally (byte order). The counting tally is unchanged.
  WordTally ToTally() const;

 private:
  struct Entry {
    std::size_t offset;  // into words_
    std::size_t length;
    std::int32_t count;
  };

  std::int32_t& CountOf(std::string_view word);
  std::string_view WordOf(const Entry& entry) const {
    return std::string_view(words_).substr(entry.offset, entry.length);
  }
  void Grow();

  std::string words_;           // every distinct word, back to back
  std::vector<Entry> entries_;  // in order of first sight
  // Open addressing, linear probing. A slot holds the hash's upper 32 bits (to skip most
  // mismatches without touching the entry) and the entry index + 1; 0 marks a free slot.
  std::vector<std::uint64_t> slots_;
  std::size_t mask_;
};

// Counts the words of `text` into `tally` exactly as CountWords(WordTally&, ...) does,
// and adds the number of kept tokens to `tokenCounter`. Not reentrant (shared buffer).
void CountWords(CountingTally& tally, std::string_view text, std::int32_t& tokenCounter);

}  // namespace quillmark
