#pragma once
// A word tally kept in hash order while counting, put into byte order once at the end.
//
// The run aggregation counts every word of every stored sentence; an ordered map costs a
// dozen string comparisons per token, this table about one probe. Nothing observable
// changes: ToTally() gives exactly the WordTally that the same Enter/Add calls on an
// ordered map would have given, and FoldCountedWords (folded_tally.h) folds it exactly as
// FoldInflections(ToTally(), ...) would.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/word_types.h"

namespace quillmark {

struct SortedWord;

class CountingTally {
 public:
  CountingTally();

  // Enters `word` with count 0 when it is absent; an existing count is left alone.
  void Enter(std::string_view word) { CountOf(word.data(), word.size(), false); }

  // Adds 1 to the count of `word`, entering it with 0 first when absent. Allocates only
  // when a word is seen for the first time (and then amortised).
  void Add(std::string_view word) { ++CountOf(word.data(), word.size(), false); }

  // Adds 1 for every word that CountWords would count in `text`, in text order; returns
  // how many that were. Not reentrant (the word cutter's buffer is shared).
  std::int64_t AddWordsOf(std::string_view text);

  // Number of distinct words entered.
  std::size_t size() const { return used_; }

  // Returns the entries as an ordered tally (byte order). The counting tally is unchanged.
  WordTally ToTally() const;

  // Returns the entries in byte order; the views stay valid until the tally changes. With
  // `positions`, also fills it so that (*positions)[SlotOf(w)] is w's place in the result.
  std::vector<SortedWord> SortedWords(std::vector<std::uint32_t>* positions = nullptr) const;

  // The slot that holds `word`, or kNoSlot when the word was never entered.
  static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
  std::size_t SlotOf(std::string_view word) const;

 private:
  // Words of up to 16 bytes live in the slot itself, so a lookup reads one 32-byte slot and
  // compares two integers; longer words keep their first 16 bytes here and all of their
  // bytes in `longWords_`.
  struct Slot {
    std::uint64_t head[2];        // first 16 bytes, zero-padded
    std::uint32_t lengthPlusOne;  // 0 marks a free slot (the empty word is a real word)
    std::int32_t count;
    std::uint64_t longOffset;  // into longWords_, for words longer than 16 bytes
  };

  // A word cut from a text whose slot is being fetched into the cache.
  struct PendingWord {
    const char* word;
    std::size_t length;
    std::uint64_t head[2];
    std::uint64_t hash;
  };

  std::int32_t& CountOf(const char* word, std::size_t length, bool padded);
  std::int32_t& CountOf(const PendingWord& word);
  // The slot holding `word`, or the free slot where it would go.
  std::size_t Probe(const PendingWord& word) const;
  std::string_view WordOf(const Slot& slot) const;
  void Grow();

  std::vector<Slot> slots_;  // open addressing, linear probing, at most half full
  std::size_t used_ = 0;
  std::string longWords_;
  // Enough words to keep several slot fetches in flight, few enough to stay in L1.
  static constexpr std::size_t kPendingWords = 32;
  std::array<PendingWord, kPendingWords> pending_;
};

// Counts the words of `text` into `tally` exactly as CountWords(WordTally&, ...) does,
// and adds the number of kept tokens to `tokenCounter`. Not reentrant (shared buffer).
void CountWords(CountingTally& tally, std::string_view text, std::int32_t& tokenCounter);

}  // namespace quillmark
