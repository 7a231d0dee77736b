#pragma once
// The one-pass word cutter shared by both CountWords overloads (internal to src/text).
//
// It does in a single pass what upper-casing, SplitText at WordSeparators and
// KeepAlphabetic do in three, without building a token list: each byte is classified
// once, letters are upper-cased into a working buffer, and every kept token is handed
// to the caller as a view into that buffer.

#include <array>
#include <cstddef>
#include <cstdint>
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

// The process's working buffer (one per thread): it only ever grows, so after the
// longest sentence has been seen no call allocates.
inline char* WorkingBuffer(std::size_t size) {
  thread_local std::string buffer;
  if (buffer.size() < size) buffer.resize(size);
  return buffer.data();
}

// Calls onWord(std::string_view) for every kept token of `text`, in text order, and
// returns how many there were. The view is valid only during the call.
template <typename OnWord>
std::int64_t ForEachKeptWord(std::string_view text, OnWord&& onWord) {
  const std::size_t size = text.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  char* upper = WorkingBuffer(size);
  std::int64_t kept = 0;
  std::size_t start = 0;
  bool alphabetic = true;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char c = bytes[i];
    switch (kByteKinds[c]) {
      case ByteKind::kLetter:
        upper[i] = static_cast<char>(c & 0xDF);  // 'a'..'z' -> 'A'..'Z', capitals stay
        break;
      case ByteKind::kSeparator:
        // A separator ends the token even when it is empty: ", " yields the empty word.
        if (alphabetic) {
          onWord(std::string_view(upper + start, i - start));
          ++kept;
        }
        start = i + 1;
        alphabetic = true;
        break;
      case ByteKind::kOther:
        alphabetic = false;
        break;
    }
  }
  // The last token counts only when it is not empty: a final separator adds no empty word.
  if (start < size && alphabetic) {
    onWord(std::string_view(upper + start, size - start));
    ++kept;
  }
  return kept;
}

}  // namespace quillmark::word_scanner
