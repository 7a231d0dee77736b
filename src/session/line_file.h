#pragma once
// Line files: every list file and built-in list is 8-bit text, one entry per line.

#include <string>
#include <string_view>
#include <vector>

#include "gather/byte_search.h"

namespace quillmark {

using LineList = std::vector<std::string>;

// Splits `bytes` into lines at CR, LF and CR LF. A final line break adds no empty
// entry; an empty line in the middle is an empty entry. The text ends at the first
// NUL byte. Bytes are taken as they are (Shift-JIS passes through).
LineList ReadLineFile(std::string_view bytes);

// Calls `visit` with each line of `bytes` as ReadLineFile cuts them, as views into `bytes`,
// without building the list.
template <class Visit>
void ForEachLine(std::string_view bytes, Visit&& visit) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = FindEitherByte(bytes, '\r', '\n', start);
    if (end == std::string_view::npos) {
      visit(bytes.substr(start));
      return;
    }
    visit(bytes.substr(start, end - start));
    const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
    start = end + (crLf ? 2 : 1);
  }
}

// Every entry followed by CR LF: the bytes of a whole line file.
std::string WriteLineFile(const LineList& lines);

// Raises the ASCII letters of a Shift-JIS text to upper case. The second byte of a
// double-byte character is left alone even when it looks like 'a'..'z'.
std::string UpperCaseShiftJis(std::string_view text);

}  // namespace quillmark
