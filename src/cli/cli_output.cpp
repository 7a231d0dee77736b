#include "cli/cli_output.h"

#include <cstring>

#include "text/valid_utf8.h"

namespace quillmark {

const char* const kOutputFailedMessage = "quillmark-cli: 標準出力に書き込めません";

std::string PrintableLines(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    if (end > 0 && end < text.size() && text[end - 1] == '\r') --end;
    printable += EscapeControlBytes(ValidUtf8(text.substr(0, end)));
    printable += text.substr(end, next - end);
    text.remove_prefix(next);
  }
  return printable;
}

std::string PrintableStatusLine(std::string_view line) {
  return EscapeControlBytes(ReplaceInvalidUtf8(line));
}

std::string FileErrorLine(const FileError& error) {
  if (error.SystemError() == 0 || error.Path().empty())
    return "quillmark-cli: " + std::string(error.what());
  return "quillmark-cli: " + error.Path() + ": " + std::strerror(error.SystemError());
}

bool Print(std::FILE* stream, std::string_view text) {
  const std::string printable = PrintableLines(text);
  const bool written =
      std::fwrite(printable.data(), 1, printable.size(), stream) == printable.size();
  return std::fflush(stream) == 0 && written;
}

}  // namespace quillmark
