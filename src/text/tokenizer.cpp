#include "text/tokenizer.h"

#include <array>

namespace quillmark {

TokenList SplitText(std::string_view text, std::string_view separators) {
  std::array<bool, 256> isSeparator{};
  for (unsigned char c : separators) isSeparator[c] = true;

  TokenList tokens;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isSeparator[static_cast<unsigned char>(text[i])]) {
      tokens.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) tokens.emplace_back(text.substr(start));
  return tokens;
}

std::string UpperCaseAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  }
  return upper;
}

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace quillmark
