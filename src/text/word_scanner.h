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

#include "text/byte_tricks.h"
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

// One bit per byte of a LetterBytes result: bit i for the i-th byte in memory order. The
// multiplication moves each byte's flag into the top byte without carries (every product
// term lands on a bit of its own).
inline std::uint64_t LetterBits(std::uint64_t letterBytes) {
  return ((letterBytes >> 7) * 0x0102040810204080ull) >> 56;
}

// Loads 8 bytes so that the i-th byte in memory is bits 8i..8i+7, whatever the platform.
inline std::uint64_t LoadChunk(const char* bytes) {
  std::uint64_t chunk;
  std::memcpy(&chunk, bytes, 8);
  if constexpr (std::endian::native == std::endian::big) chunk = ByteSwap64(chunk);
  return chunk;
}

inline void StoreChunk(char* bytes, std::uint64_t chunk) {
  if constexpr (std::endian::native == std::endian::big) chunk = ByteSwap64(chunk);
  std::memcpy(bytes, &chunk, 8);
}

// Upper-cases the letters of buffer[blockStart, blockStart + 64) in place, 8 bytes at a time,
// and returns a mask with bit i set when byte blockStart + i is not a letter. Bits at or
// past `size` are clear; the buffer must have 8 bytes of padding after `size`.
inline std::uint64_t UpperCaseBlock(char* buffer, std::size_t blockStart, std::size_t size) {
  std::uint64_t nonLetters = 0;
  for (std::size_t chunk = 0; chunk < 8; ++chunk) {
    const std::size_t at = blockStart + 8 * chunk;
    if (at >= size) break;
    std::uint64_t bytes = LoadChunk(buffer + at);
    const std::uint64_t letters = LetterBytes(bytes);
    StoreChunk(buffer + at, bytes & ~(letters >> 2));  // 0x80 >> 2 is the lower-case bit 0x20
    nonLetters |= (~LetterBits(letters) & 0xFF) << (8 * chunk);
  }
  if (size - blockStart < 64) nonLetters &= (std::uint64_t{1} << (size - blockStart)) - 1;
  return nonLetters;
}

// Calls onWord(const char* word, std::size_t length) for every kept token of `text`, in
// text order, and returns how many there were. The word is upper case, lies in the working
// buffer (valid until the next call) and is followed by at least kWordPadding bytes.
//
// Work goes by blocks of 64 bytes: letters are found and upper-cased 8 at a time, and the
// loop then visits only the non-letters of the block (about one per word), so the branches
// taken per byte are few and predictable.
template <typename OnWord>
std::int64_t ForEachKeptWord(std::string_view text, OnWord&& onWord) {
  const std::size_t size = text.size();
  char* buffer = WorkingBuffer(size);
  if (size > 0) std::memcpy(buffer, text.data(), size);
  std::int64_t kept = 0;
  std::size_t start = 0;  // of the current token
  bool spoilt = false;    // the current token holds a byte that is neither letter nor separator
  for (std::size_t blockStart = 0; blockStart < size; blockStart += 64) {
    std::uint64_t nonLetters = UpperCaseBlock(buffer, blockStart, size);
    while (nonLetters != 0) {
      const std::size_t at = blockStart + static_cast<std::size_t>(std::countr_zero(nonLetters));
      nonLetters &= nonLetters - 1;
      // Non-letters are left unchanged in the buffer, so they can be classified there.
      if (kByteKinds[static_cast<unsigned char>(buffer[at])] != ByteKind::kSeparator) {
        spoilt = true;  // the whole token is dropped at its separator
        continue;
      }
      // Every separator ends a token, also an empty one: ", " yields the empty word.
      if (!spoilt) {
        onWord(buffer + start, at - start);
        ++kept;
      }
      start = at + 1;
      spoilt = false;
    }
  }
  // The last token counts only when it is not empty: a final separator adds no empty word.
  if (start < size && !spoilt) {
    onWord(buffer + start, size - start);
    ++kept;
  }
  return kept;
}

}  // namespace quillmark::word_scanner
