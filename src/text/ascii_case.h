#pragma once
// Letter case of ASCII bytes: the one place where 'a'..'z' and 'A'..'Z' are mapped.
//
// Every other byte, 0x80 and above included, stays as it is, so Shift-JIS text passes
// through unchanged (except where a caller must skip trail bytes, as the line files do).

#include <string>
#include <string_view>

namespace quillmark {

inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }
inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

// Returns a copy in which only the bytes 'a'..'z' are raised to 'A'..'Z'.
inline std::string UpperCaseAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

// Returns a copy in which only the bytes 'A'..'Z' are lowered to 'a'..'z'.
inline std::string LowerCaseAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

// Compares with ASCII letters taken as lower case and every other byte as an unsigned
// value; a proper prefix sorts first. Returns <0, 0 or >0.
inline int CompareIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareIgnoringAsciiCase(a, b) == 0;
}

}  // namespace quillmark
