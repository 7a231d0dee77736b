#include "cli/level_command.h"

#include <string>

#include "text/ascii_case.h"

namespace quillmark {

namespace {

// One line of `in` without its line break; nothing at the end of the input.
std::optional<std::string> ReadLine(std::FILE* in) {
  std::string line;
  int c = 0;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return std::nullopt;
  return line;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::optional<std::int32_t> RunLevelCheck(VocabularyCheck& check, std::FILE* in, std::FILE* out,
                                          std::FILE* err) {
  while (!check.Finished()) {
    std::fputs((LowerCaseAscii(check.CurrentWord()) + "\n").c_str(), out);
    std::fflush(out);
    for (;;) {
      const std::optional<std::string> line = ReadLine(in);
      if (!line) return std::nullopt;
      const std::string answer = LowerCaseAscii(Trimmed(*line));
      if (answer == "y" || answer == "n") {
        check.Answer(answer == "y");
        break;
      }
      std::fputs("answer y (known) or n (not known)\n", err);
    }
  }
  return check.Estimate();
}

}  // namespace quillmark
