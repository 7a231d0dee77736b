#pragma once
// Literal byte searches for the page scanner's passes.
//
// Every pass of the scanner looks for the same few short patterns again and again on pages
// where '<' may stand every few bytes, so a search that stops at every '<' to compare the
// rest of the pattern would cost one call per tag. These searches test the first and the last
// byte of the pattern sixteen positions at a time and compare the middle only where both
// agree. Results are exactly those of std::string_view::find.

#include <cstddef>
#include <string_view>

namespace quillmark {

// Returns the position of the first occurrence of `pattern` in `text` that starts at or after
// `from`, or std::string_view::npos. An empty pattern is found at `from` when
// `from` <= text.size().
std::size_t FindPattern(std::string_view text, std::string_view pattern, std::size_t from);

// Returns the position of the first byte at or after `from` that equals `a` or `b`,
// or std::string_view::npos.
std::size_t FindEitherByte(std::string_view text, char a, char b, std::size_t from);

}  // namespace quillmark
