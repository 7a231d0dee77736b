#include "text/counting_tally.h"

#include <algorithm>
#include <cstring>

#include "text/word_scanner.h"

namespace quillmark {
namespace {

constexpr std::size_t kInitialSlots = 1024;  // a power of two
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// Eight bytes at a time: words are short, so most take one or two rounds.
std::uint64_t HashWord(std::string_view word) {
  std::uint64_t hash = word.size() * kMultiplier;
  const char* bytes = word.data();
  std::size_t left = word.size();
  while (left >= 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, bytes, 8);
    hash = (hash ^ chunk) * kMultiplier;
    hash ^= hash >> 29;
    bytes += 8;
    left -= 8;
  }
  if (left > 0) {
    std::uint64_t chunk = 0;
    for (std::size_t i = 0; i < left; ++i) {
      chunk |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    hash = (hash ^ chunk) * kMultiplier;
  }
  hash ^= hash >> 32;
  hash *= kMultiplier;
  return hash ^ (hash >> 29);
}

std::uint64_t Tag(std::uint64_t hash) { return hash & 0xFFFFFFFF00000000ull; }

}  // namespace

CountingTally::CountingTally() : slots_(kInitialSlots, 0), mask_(kInitialSlots - 1) {}

void CountingTally::Enter(std::string_view word) { CountOf(word); }

std::int32_t& CountingTally::CountOf(std::string_view word) {
  const std::uint64_t hash = HashWord(word);
  const std::uint64_t tag = Tag(hash);
  for (std::size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
    const std::uint64_t held = slots_[slot];
    if (held == 0) {
      // First sight of this word. Keep the table at most half full so probes stay short.
      if (2 * (entries_.size() + 1) > slots_.size()) {
        Grow();
        return CountOf(word);
      }
      entries_.push_back(Entry{words_.size(), word.size(), 0});
      words_.append(word);
      slots_[slot] = tag | entries_.size();
      return entries_.back().count;
    }
    if (Tag(held) == tag) {
      Entry& entry = entries_[(held & 0xFFFFFFFFull) - 1];
      if (WordOf(entry) == word) return entry.count;
    }
  }
}

void CountingTally::Grow() {
  std::vector<std::uint64_t> slots(slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    const std::uint64_t hash = HashWord(WordOf(entries_[index]));
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = Tag(hash) | (index + 1);
  }
  slots_.swap(slots);
  mask_ = mask;
}

WordTally CountingTally::ToTally() const {
  std::vector<std::string_view> words;
  words.reserve(entries_.size());
  for (const Entry& entry : entries_) words.push_back(WordOf(entry));
  // string_view compares bytes as unsigned values with a proper prefix first, the order
  // of WordTally itself, so the tally can be filled from its end in one linear pass.
  std::vector<std::size_t> order(entries_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return words[a] < words[b]; });
  WordTally tally;
  for (std::size_t index : order) {
    tally.emplace_hint(tally.end(), std::string(words[index]), entries_[index].count);
  }
  return tally;
}

void CountWords(CountingTally& tally, std::string_view text, std::int32_t& tokenCounter) {
  const std::int64_t kept =
      word_scanner::ForEachKeptWord(text, [&](std::string_view word) { tally.Add(word); });
  // Conversion wraps modulo 2^32, as the 32-bit counter of a huge run would.
  tokenCounter = static_cast<std::int32_t>(tokenCounter + kept);
}

}  // namespace quillmark
