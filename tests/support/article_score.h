#pragma once
// The public article-extraction benchmark's score of an extracted text against the text a
// person marked (../shared/corpus/articles/README.md): both cut into word tokens (runs of
// Unicode letters, digits and '_'), then into 4-token shingles matched as multisets.

#include <clocale>
#include <cwchar>
#include <cwctype>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::testing {

struct ShingleScore {
  double truePositive = 0, falsePositive = 0, falseNegative = 0;  // shares of their sum
};

inline std::vector<std::wstring> WordTokens(std::string_view utf8) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  std::vector<std::wstring> tokens;
  std::wstring token;
  std::mbstate_t state{};
  for (std::size_t i = 0; i < utf8.size();) {
    wchar_t c = 0;
    const std::size_t length = std::mbrtowc(&c, utf8.data() + i, utf8.size() - i, &state);
    if (length == 0 || length > utf8.size()) {
      state = {};
      c = L' ';
      i += 1;
    } else {
      i += length;
    }
    if (std::iswalnum(static_cast<wint_t>(c)) || c == L'_') {
      token += c;
    } else if (!token.empty()) {
      tokens.push_back(std::move(token));
      token.clear();
    }
  }
  if (!token.empty()) tokens.push_back(std::move(token));
  return tokens;
}

inline std::map<std::vector<std::wstring>, int> Shingles(std::string_view utf8) {
  const std::vector<std::wstring> tokens = WordTokens(utf8);
  std::map<std::vector<std::wstring>, int> shingles;
  if (tokens.empty()) return shingles;
  if (tokens.size() < 4) {
    ++shingles[tokens];
    return shingles;
  }
  for (std::size_t i = 0; i + 4 <= tokens.size(); ++i)
    ++shingles[{tokens.begin() + static_cast<std::ptrdiff_t>(i),
                tokens.begin() + static_cast<std::ptrdiff_t>(i + 4)}];
  return shingles;
}

inline ShingleScore ScoreExtraction(std::string_view extracted, std::string_view truth) {
  const auto found = Shingles(extracted);
  const auto wanted = Shingles(truth);
  double tp = 0, fp = 0, fn = 0;
  for (const auto& [shingle, count] : found) {
    const auto it = wanted.find(shingle);
    const int shared = it == wanted.end() ? 0 : std::min(count, it->second);
    tp += shared;
    fp += count - shared;
  }
  for (const auto& [shingle, count] : wanted) {
    const auto it = found.find(shingle);
    fn += count - (it == found.end() ? 0 : std::min(count, it->second));
  }
  const double sum = tp + fp + fn;
  if (sum == 0) return {1, 0, 0};
  return {tp / sum, fp / sum, fn / sum};
}

}  // namespace quillmark::testing
