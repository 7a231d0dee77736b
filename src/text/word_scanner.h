#pragma once
// The one-pass word cutter shared by both CountWords overloads (internal to src/text).
//
// It does in a single pass what upper-casing, SplitText at WordSeparators and
// KeepAlphabetic do in three, without building a token list: the text is copied into a
// working buffer, runs of letters are found and upper-cased there 8 bytes at a time, and
// every kept token is handed to the caller as a pointer into that buffer.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "text/tokenizer.h"

namespace quillmark::word_scanner {

enum class ByteKind : std::uint8_t { kOther, kLetter, kSeparator };

constexpr std::array<ByteKind, 256> MakeByteKinds() {
  std::array<ByteKind, 256> kinds{};
  for (int c = 'A'; c <= 'Z'; ++c) kinds[c] = ByteKind::kLetter;
  for (int c = 'a'; c <= 'z'; ++c) kinds[c] = ByteKind::kLetter;
  for (char c : WordSeparators) kinds[static_cast<unsigned char>(c)] = ByteKind::kSeparator;
  return kinds;
}

inline constexpr std::array<ByteKind, 256> kByteKinds = MakeByteKinds();

// Bytes readable past the end of every word handed out, so a word can be loaded in
// 8-byte chunks without a bounds check.
inline constexpr std::size_t kWordPadding = 16;

// The process's working buffer (one per thread): it only ever grows, so after the
// longest sentence has been seen no call allocates.
inline char* WorkingBuffer(std::size_t size) {
  thread_local std::string buffer;
  if (buffer.size() < size + kWordPadding) buffer.resize(size + kWordPadding);
  return buffer.data();
}

inline constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Marks with 0x80 each of the 8 bytes of `chunk` that is an ASCII letter. The high bit is
// dropped before adding, so no byte's sum carries into its neighbour; bytes of 0x80 and
// above are then ruled out through the original high bit.
inline std::uint64_t LetterBytes(std::uint64_t chunk) {
  const std::uint64_t folded = (chunk | 0x2020202020202020ull) & 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t atLeastA = folded + 0x1F1F1F1F1F1F1F1Full;  // folded >= 'a'
  const std::uint64_t aboveZ = folded + 0x0505050505050505ull;    // folded >= '{'
  return atLeastA & ~aboveZ & ~chunk & kHighBits;
}

// Position (0..7) of the first marked byte of a non-zero mask, in memory order.
inline std::size_t FirstMarkedByte(std::uint64_t marks) {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
  } else {
    return static_cast<std::size_t>(std::countl_zero(marks)) / 8;
  }
}

// Upper-cases in place the run of ASCII letters of `buffer` that starts at `from` and
// returns where it ends (at most `size`). Works 8 bytes at a time; `buffer` must have
// kWordPadding bytes after `size`. Bytes that are not letters are left as they are.
inline std::size_t UpperCaseLetterRun(char* buffer, std::size_t from, std::size_t size) {
  std::size_t at = from;
  for (;;) {
    std::uint64_t chunk;
    std::memcpy(&chunk, buffer + at, 8);
    const std::uint64_t letters = LetterBytes(chunk);
    chunk &= ~(letters >> 2);  // 0x80 >> 2 is 0x20, the lower-case bit, in letter bytes only
    std::memcpy(buffer + at, &chunk, 8);
    if (const std::uint64_t others = ~letters & kHighBits; others != 0) {
      at += FirstMarkedByte(others);
      break;
    }
    at += 8;
    if (at >= size) break;
  }
  return at < size ? at : size;
}

// Calls onWord(const char* word, std::size_t length) for every kept token of `text`, in
// text order, and returns how many there were. The word is upper case, lies in the working
// buffer (valid until the next call) and is followed by at least kWordPadding bytes.
template <typename OnWord>
std::int64_t ForEachKeptWord(std::string_view text, OnWord&& onWord) {
  const std::size_t size = text.size();
  char* buffer = WorkingBuffer(size);
  if (size > 0) std::memcpy(buffer, text.data(), size);
  auto kindAt = [&](std::size_t at) { return kByteKinds[static_cast<unsigned char>(buffer[at])]; };
  std::int64_t kept = 0;
  std::size_t at = 0;
  while (at < size) {
    const std::size_t start = at;
    at = UpperCaseLetterRun(buffer, at, size);
    if (at == size) {
      // The last token: it cannot be empty here, since the loop only starts before a byte.
      onWord(buffer + start, at - start);
      ++kept;
      break;
    }
    if (kindAt(at) != ByteKind::kSeparator) {
      // A non-letter spoils the whole token: skip to the separator that ends it.
      while (at < size && kindAt(at) != ByteKind::kSeparator) ++at;
      if (at == size) break;
    } else {
      // Every separator ends a token, also an empty one: ", " yields the empty word.
      onWord(buffer + start, at - start);
      ++kept;
    }
    ++at;  // past the separator; a separator at the very end leaves no empty last token
  }
  return kept;
}

}  // namespace quillmark::word_scanner
