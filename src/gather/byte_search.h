#pragma once
// Literal byte searches for the page scanner's passes.
//
// Every pass of the scanner looks for the same few short patterns again and again on pages
// where '<' may stand every few bytes, so a search that stops at every '<' to compare the
// rest of the pattern would cost one call per tag. These searches test the first two and the
// last byte of the pattern sixteen positions at a time and compare the middle only where all
// three agree. Where matches follow each other directly ("&nbsp;&nbsp;", "<><>"), the inline
// checks below answer without a call. Results are exactly those of std::string_view::find.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace quillmark {

// The four bytes at `p` as one word, read without alignment.
inline std::uint32_t FourBytesAt(const char* p) {
  std::uint32_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return bytes;
}

// Returns whether `pattern` occurs in `text` at position `at`.
inline bool PatternAt(std::string_view text, std::size_t at, std::string_view pattern) {
  if (at > text.size() || text.size() - at < pattern.size()) return false;
  const char* candidate = text.data() + at;
  const std::size_t size = pattern.size();
  if (size >= 4) {
    // Two four-byte compares, the second ending at the pattern's end, settle patterns of up
    // to eight bytes without a loop: a page of "&nbsp;" asks once per six bytes.
    return FourBytesAt(candidate) == FourBytesAt(pattern.data()) &&
           FourBytesAt(candidate + size - 4) == FourBytesAt(pattern.data() + size - 4) &&
           (size <= 8 || std::memcmp(candidate + 4, pattern.data() + 4, size - 8) == 0);
  }
  for (std::size_t k = 0; k < size; ++k) {
    if (candidate[k] != pattern[k]) return false;
  }
  return true;
}

// The block searches behind FindPattern and FindEitherByte.
std::size_t SearchPattern(std::string_view text, std::string_view pattern, std::size_t from);
std::size_t SearchEitherByte(std::string_view text, char a, char b, std::size_t from);

// Returns the position of the first occurrence of `pattern` in `text` that starts at or after
// `from`, or std::string_view::npos. An empty pattern is found at `from` when
// `from` <= text.size().
inline std::size_t FindPattern(std::string_view text, std::string_view pattern, std::size_t from) {
  return PatternAt(text, from, pattern) ? from : SearchPattern(text, pattern, from);
}

// Returns the position of the first byte at or after `from` that equals `a` or `b`,
// or std::string_view::npos.
inline std::size_t FindEitherByte(std::string_view text, char a, char b, std::size_t from) {
  if (from < text.size() && (text[from] == a || text[from] == b)) return from;
  return SearchEitherByte(text, a, b, from);
}

// Returns the position of the first '<' at or after `from` that is followed by one of A-Z or
// '/' (the start of an upper-case tag name or of an end tag), or std::string_view::npos.
std::size_t FindNamedTagStart(std::string_view text, std::size_t from);

// Raises the letters a-z of `text` to A-Z from `from` on, up to the first byte that equals `a`
// or `b`, and returns that byte's position; raises to the end and returns
// std::string::npos when there is none.
std::size_t RaiseLettersUntilEither(std::span<char> text, std::size_t from, char a, char b);

// The two flags of UpperCaseTags between one byte and the next.
struct TagCaseState {
  bool inTag = false;
  bool inQuote = false;
};

// Does UpperCaseTags' work on the whole 64-byte strides at the start of `text`, from `state`
// on: writes them to `out` with a-z raised where in-tag is on and in-quote off, and leaves in
// `state` the flags behind the last stride. `out` is either text.data() itself (the strides
// are raised in place) or has room for text.size() bytes that do not overlap `text`. Returns
// the number of bytes done, a multiple of 64 (0 where the processor has no block
// instructions); the caller finishes the rest byte by byte. Costs the same for every byte,
// however densely tags and quotes follow each other.
std::size_t RaiseTagLettersInStrides(std::string_view text, char* out, TagCaseState& state);

// Does StripTags' work on the whole 64-byte strides at the start of `text`, from `inTag` on:
// writes to `out` every byte outside a tag, each '>' as `replacement`, and adds the count to
// `written`; leaves in `inTag` whether a tag is open behind the last stride. `out` must have
// room for text.size() bytes; it may be text.data() itself with `written` 0 (the kept bytes
// are compacted in place). Returns the number of bytes done, a multiple of 64 (0 where the
// processor has no block instructions); the caller finishes the rest byte by byte. Costs the
// same for every byte, however densely tags follow each other.
std::size_t StripTagsInStrides(std::string_view text, char replacement, char* out,
                               std::size_t& written, bool& inTag);

}  // namespace quillmark
