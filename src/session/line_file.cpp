#include "session/line_file.h"

#include "text/ascii_case.h"

namespace quillmark {

LineList ReadLineFile(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  LineList lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(bytes.substr(start, i - start));
      i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
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
