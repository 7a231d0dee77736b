#include "text/tokenizer.h"

#include <array>

#include "text/word_scanner.h"

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

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

TokenList KeepAlphabetic(const TokenList& tokens) {
  TokenList kept;
  for (const std::string& token : tokens) {
    bool alphabetic = true;
    for (unsigned char c : token) {
      if (word_scanner::kByteKinds[c] != word_scanner::ByteKind::kLetter) {
        alphabetic = false;
        break;
      }
    }
    if (alphabetic) kept.push_back(token);
  }
  return kept;
}

void CountWords(WordTally& tally, std::string_view text, std::int32_t& tokenCounter) {
  // The key is reused, so a word already in the tally costs a lookup and no allocation.
  thread_local std::string key;
  const std::int64_t kept =
      word_scanner::ForEachKeptWord(text, [&](const char* word, std::size_t length) {
        key.assign(word, length);
        auto entry = tally.find(key);
        if (entry == tally.end()) entry = tally.emplace(key, 0).first;
        ++entry->second;
      });
  // Conversion wraps modulo 2^32, as the 32-bit counter of a huge run would.
  tokenCounter = static_cast<std::int32_t>(tokenCounter + kept);
}

}  // namespace quillmark
