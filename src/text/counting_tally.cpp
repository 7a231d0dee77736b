#include "text/counting_tally.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "text/byte_tricks.h"
#include "text/sorted_words.h"
#include "text/word_scanner.h"

namespace quillmark {
namespace {

constexpr std::size_t kInitialSlots = 1024;  // a power of two
constexpr std::size_t kHeadBytes = 16;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kOtherMultiplier = 0xC2B2AE3D27D4EB4Full;

// kLowBytes[n] keeps the first n bytes (in memory order) of a loaded 8-byte chunk.
constexpr std::uint64_t LowBytesMask(std::size_t n) {
  if (n >= 8) return ~0ull;
  std::uint64_t mask = 0;
  for (std::size_t i = 0; i < n; ++i) {
    mask |= (std::endian::native == std::endian::little) ? 0xFFull << (8 * i)
                                                         : 0xFFull << (8 * (7 - i));
  }
  return mask;
}

constexpr std::uint64_t kLowBytes[9] = {LowBytesMask(0), LowBytesMask(1), LowBytesMask(2),
                                        LowBytesMask(3), LowBytesMask(4), LowBytesMask(5),
                                        LowBytesMask(6), LowBytesMask(7), LowBytesMask(8)};

std::uint64_t Mix(std::uint64_t hash) {
  hash ^= hash >> 32;
  hash *= kMultiplier;
  return hash ^ (hash >> 29);
}

// Hash of the bytes of a word beyond its first 16, folded into `hash`. Rarely needed.
std::uint64_t HashLongWordTail(std::uint64_t hash, std::size_t length, const char* word) {
  for (std::size_t at = kHeadBytes; at < length; at += 8) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, word + at, std::min<std::size_t>(8, length - at));
    hash = Mix(hash ^ (chunk * kMultiplier));
  }
  return hash;
}

// Hash of a word from its zero-padded first 16 bytes and, beyond them, the rest.
inline std::uint64_t HashWord(const std::uint64_t head[2], std::size_t length, const char* word) {
  std::uint64_t hash = (head[0] * kMultiplier) ^ std::rotl(head[1] * kOtherMultiplier, 31) ^
                       (length * kOtherMultiplier);
  if (length > kHeadBytes) [[unlikely]]
    hash = HashLongWordTail(hash, length, word);
  return Mix(hash);
}

void LoadHead(const char* word, std::size_t length, bool padded, std::uint64_t head[2]) {
  if (padded) {
    // Reads 16 bytes whatever the length; the bytes past the word are masked away.
    std::memcpy(head, word, kHeadBytes);
    head[0] &= kLowBytes[std::min<std::size_t>(length, 8)];
    head[1] &= kLowBytes[length > 8 ? std::min<std::size_t>(length - 8, 8) : 0];
  } else {
    head[0] = head[1] = 0;
    std::memcpy(head, word, std::min(length, kHeadBytes));
  }
}

}  // namespace

CountingTally::CountingTally() : slots_(kInitialSlots, Slot{}) {}

std::string_view CountingTally::WordOf(const Slot& slot) const {
  const std::size_t length = slot.lengthPlusOne - 1;
  if (length > kHeadBytes) return std::string_view(longWords_).substr(slot.longOffset, length);
  return std::string_view(reinterpret_cast<const char*>(slot.head), length);
}

std::int32_t& CountingTally::CountOf(const char* word, std::size_t length, bool padded) {
  PendingWord pending{word, length, {0, 0}, 0};
  LoadHead(word, length, padded, pending.head);
  pending.hash = HashWord(pending.head, length, word);
  return CountOf(pending);
}

std::size_t CountingTally::Probe(const PendingWord& word) const {
  const std::size_t length = word.length;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = word.hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.lengthPlusOne == 0) return at;
    if (slot.head[0] == word.head[0] && slot.head[1] == word.head[1] &&
        slot.lengthPlusOne == length + 1 &&
        (length <= kHeadBytes || std::memcmp(longWords_.data() + slot.longOffset + kHeadBytes,
                                             word.word + kHeadBytes, length - kHeadBytes) == 0)) {
      return at;
    }
  }
}

std::int32_t& CountingTally::CountOf(const PendingWord& word) {
  const std::size_t at = Probe(word);
  Slot& slot = slots_[at];
  if (slot.lengthPlusOne != 0) return slot.count;
  // First sight of this word. Keeping the table at most half full keeps probes short.
  if (2 * (used_ + 1) > slots_.size()) {
    Grow();
    return CountOf(word);
  }
  const std::size_t length = word.length;
  if (length >= std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("word too long to count");
  }
  if (length > kHeadBytes) {
    slot.longOffset = longWords_.size();
    longWords_.append(word.word, length);
  }
  slot.head[0] = word.head[0];
  slot.head[1] = word.head[1];
  slot.lengthPlusOne = static_cast<std::uint32_t>(length + 1);
  slot.count = 0;
  ++used_;
  return slot.count;
}

std::size_t CountingTally::SlotOf(std::string_view word) const {
  PendingWord pending{word.data(), word.size(), {0, 0}, 0};
  LoadHead(word.data(), word.size(), false, pending.head);
  pending.hash = HashWord(pending.head, word.size(), word.data());
  const std::size_t at = Probe(pending);
  return slots_[at].lengthPlusOne == 0 ? kNoSlot : at;
}

std::int64_t CountingTally::AddWordsOf(std::string_view text) {
  // Words are counted in batches: cutting a batch starts fetching all its slots, then the
  // batch is counted. The slots of rare words are far apart in memory, and having many
  // fetches in flight at once hides most of the waiting.
  std::size_t pending = 0;
  auto countPending = [&] {
    for (std::size_t i = 0; i < pending; ++i) ++CountOf(pending_[i]);
    pending = 0;
  };
  const std::int64_t kept =
      word_scanner::ForEachKeptWord(text, [&](const char* word, std::size_t length) {
        PendingWord& next = pending_[pending++];
        next.word = word;
        next.length = length;
        LoadHead(word, length, true, next.head);
        next.hash = HashWord(next.head, length, word);
        PrefetchForReading(&slots_[next.hash & (slots_.size() - 1)]);
        if (pending == kPendingWords) countPending();
      });
  countPending();
  return kept;
}

void CountingTally::Grow() {
  std::vector<Slot> slots(slots_.size() * 2, Slot{});
  const std::size_t mask = slots.size() - 1;
  for (const Slot& slot : slots_) {
    if (slot.lengthPlusOne == 0) continue;
    const std::string_view word = WordOf(slot);
    std::size_t at = HashWord(slot.head, word.size(), word.data()) & mask;
    while (slots[at].lengthPlusOne != 0) at = (at + 1) & mask;
    slots[at] = slot;
  }
  slots_.swap(slots);
}

std::vector<SortedWord> CountingTally::SortedWords(std::vector<std::uint32_t>* positions) const {
  // Sorting (prefix key, slot) pairs moves half the bytes that sorting the words would;
  // the key of a word is its first 8 head bytes read as a big-endian number.
  std::vector<std::pair<std::uint64_t, std::size_t>> order;
  order.reserve(used_);
  for (std::size_t at = 0; at < slots_.size(); ++at) {
    if (slots_[at].lengthPlusOne == 0) continue;
    std::uint64_t key = slots_[at].head[0];
    if constexpr (std::endian::native == std::endian::little) key = ByteSwap64(key);
    order.emplace_back(key, at);
  }
  std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return WordOf(slots_[a.second]) < WordOf(slots_[b.second]);
  });
  std::vector<SortedWord> words;
  words.reserve(order.size());
  if (positions != nullptr) positions->assign(slots_.size(), 0);
  for (const auto& [key, at] : order) {
    if (positions != nullptr) (*positions)[at] = static_cast<std::uint32_t>(words.size());
    words.push_back(SortedWord{key, WordOf(slots_[at]), slots_[at].count});
  }
  return words;
}

WordTally CountingTally::ToTally() const {
  WordTally tally;
  for (const SortedWord& word : SortedWords()) {
    tally.emplace_hint(tally.end(), std::string(word.word), word.count);
  }
  return tally;
}

void CountWords(CountingTally& tally, std::string_view text, std::int32_t& tokenCounter) {
  const std::int64_t kept = tally.AddWordsOf(text);
  // Conversion wraps modulo 2^32, as the 32-bit counter of a huge run would.
  tokenCounter = static_cast<std::int32_t>(tokenCounter + kept);
}

}  // namespace quillmark
