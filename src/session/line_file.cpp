#include "session/line_file.h"

#include "text/ascii_case.h"

namespace quillmark {

LineList ReadLineFile(std::string_view bytes) {
  LineList lines;
  ForEachLine(bytes, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string WriteLineFile(const LineList& lines) {
  std::string bytes;
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  bytes.reserve(size);
  for (const auto& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

namespace {
bool IsShiftJisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
}  // namespace

std::string UpperCaseShiftJis(std::string_view text) {
  std::string upper(text);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    const auto c = static_cast<unsigned char>(upper[i]);
    if (IsShiftJisLeadByte(c)) {
      ++i;  // the trail byte belongs to the same character
    } else {
      upper[i] = AsciiUpper(upper[i]);
    }
  }
  return upper;
}

}  // namespace quillmark
