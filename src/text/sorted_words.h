#pragma once
// A tally as a sorted array, the form folding and ranking work on.
//
// Folding looks words up in the raw tally (is this base form attested?) and moves counts
// between entries. On a sorted array with an integer prefix key per word those lookups are
// a few integer comparisons instead of a chain of string comparisons through map nodes.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_tricks.h"
#include "text/word_types.h"

namespace quillmark {

// The first 8 bytes of a word, zero-padded, as a big-endian number: comparing two keys
// orders the words by their first 8 bytes as unsigned bytes. Equal keys settle nothing
// (a word may end where the other holds a zero byte) and need a full comparison.
inline std::uint64_t PrefixKey(std::string_view word) {
  std::uint64_t key = 0;
  if (word.size() >= 8) {
    std::memcpy(&key, word.data(), 8);
    if constexpr (std::endian::native == std::endian::little) key = ByteSwap64(key);
    return key;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    key |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i])) << (56 - 8 * i);
  }
  return key;
}

struct SortedWord {
  std::uint64_t key;  // PrefixKey(word)
  std::string_view word;
  std::int32_t count;
};

// Byte order of the words, the order of WordTally.
inline bool ComesBefore(const SortedWord& a, const SortedWord& b) {
  if (a.key != b.key) return a.key < b.key;
  return a.word < b.word;
}

// a < b in byte order, settled by the prefix keys whenever the first 8 bytes differ.
inline bool ByteLess(std::string_view a, std::string_view b) {
  const std::uint64_t keyA = PrefixKey(a);
  const std::uint64_t keyB = PrefixKey(b);
  if (keyA != keyB) return keyA < keyB;
  return a < b;
}

// Finds the position of a word in one sorted word array.
class WordPositions {
 public:
  virtual ~WordPositions() = default;
  // Position of `word` in the array, or kNotFound.
  virtual std::size_t Find(std::string_view word) const = 0;
};

// Finds words in a sorted array by binary search. The prefix keys are searched in an array
// of their own, 8 bytes an entry, which stays in the cache where the 32-byte entries would
// not; only words sharing their first 8 bytes need a string comparison.
class SortedWordFinder : public WordPositions {
 public:
  explicit SortedWordFinder(const std::vector<SortedWord>& words) : words_(words) {
    keys_.reserve(words.size());
    for (const SortedWord& word : words) keys_.push_back(word.key);
  }

  std::size_t Find(std::string_view word) const override {
    const std::uint64_t key = PrefixKey(word);
    const auto [first, last] = std::equal_range(keys_.begin(), keys_.end(), key);
    if (first == last) return kNotFound;
    const auto begin = words_.begin() + (first - keys_.begin());
    const auto end = words_.begin() + (last - keys_.begin());
    const auto found = std::lower_bound(
        begin, end, word,
        [](const SortedWord& entry, std::string_view w) { return entry.word < w; });
    if (found == end || found->word != word) return kNotFound;
    return static_cast<std::size_t>(found - words_.begin());
  }

 private:
  const std::vector<SortedWord>& words_;
  std::vector<std::uint64_t> keys_;
};

// Counts add as the 32-bit integers they are, wrapping instead of overflowing.
inline std::int32_t WrappingSum(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Returns `tally`'s entries in its own order; the views point into `tally`.
std::vector<SortedWord> SortedWordsOf(const WordTally& tally);

}  // namespace quillmark
