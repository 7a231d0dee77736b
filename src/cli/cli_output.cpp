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

namespace {

std::string SystemErrorLine(const char* message, const std::string& path, int systemError) {
  if (systemError == 0 || path.empty()) return "quillmark-cli: " + std::string(message);
  return "quillmark-cli: " + path + ": " + std::strerror(systemError);
}

}  // namespace

std::string FileErrorLine(const FileError& error) {
  return SystemErrorLine(error.what(), error.Path(), error.SystemError());
}

std::string HistoryErrorLine(const HistoryError& error) {
  return SystemErrorLine(error.what(), error.Path(), error.SystemError());
}

bool UnderlineWanted(bool terminal, const char* term, const char* noColor) {
  if (!terminal) return false;
  if (term != nullptr && std::string_view(term) == "dumb") return false;
  return noColor == nullptr || noColor[0] == '\0';
}

bool Print(std::FILE* stream, std::string_view text) {
  const std::string printable = PrintableLines(text);
  const bool written =
      std::fwrite(printable.data(), 1, printable.size(), stream) == printable.size();
  return std::fflush(stream) == 0 && written;
}

}  // namespace quillmark
