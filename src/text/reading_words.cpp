#include "text/reading_words.h"

#include <algorithm>
#include <array>

#include "text/counting_tally.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

// The hyphenated compounds of the built-in dictionary, lower case, in byte order.
constexpr std::string_view kKnownCompounds[] = {
#include "known_compounds.inc"
};

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return WordSeparators.find(c) != std::string_view::npos; }

// One code point of UTF-8 at `at`: its value and length (an invalid byte is itself, length 1).
struct CodePoint {
  char32_t value;
  std::size_t length;
};

CodePoint DecodeAt(std::string_view text, std::size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (lead < 0x80 || at + length > text.size()) return {lead, 1};
  char32_t value = lead & (0x3F >> (length - 1));
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return {lead, 1};
    value = (value << 6) | (next & 0x3F);
  }
  return {value, length};
}

bool IsSingleQuote(char32_t c) { return c == 0x2018 || c == 0x2019 || c == 0x02BC; }

// Punctuation and spaces outside ASCII: they part words as a blank does.
bool IsWideMark(char32_t c) {
  return (c >= 0x00A0 && c <= 0x00BF) || c == 0x00D7 || c == 0x00F7 ||
         (c >= 0x2000 && c <= 0x206F) || (c >= 0x2190 && c <= 0x2BFF) ||
         (c >= 0x3000 && c <= 0x303F) || (c >= 0xFE50 && c <= 0xFE6F) ||
         (c >= 0xFF01 && c <= 0xFF0F) || c == 0xFEFF;
}

// An ASCII mark that is neither a letter, a digit, an apostrophe, a hyphen nor one of the
// designed separators (those stay as they are): it parts words.
bool IsOtherAsciiMark(unsigned char c) {
  return c < 0x80 && !IsAsciiLetter(c) && !IsDigit(c) && c != '\'' && c != '-' &&
         !IsSeparator(static_cast<char>(c));
}

// Whether a mark that parts words at [at, at + length) already stands beside a separator
// (or another such mark, or an end): then it adds no blank, so that the words' count and the
// empty tokens' are those of the text without it ("“Hello,” she" counts as "Hello, she").
bool BesideSeparator(std::string_view text, std::size_t at, std::size_t length,
                     const std::string& out) {
  if (out.empty() || IsSeparator(out.back())) return true;
  const std::size_t after = at + length;
  if (after >= text.size()) return true;
  const unsigned char next = static_cast<unsigned char>(text[after]);
  if (next < 0x80) return IsSeparator(static_cast<char>(next)) || IsOtherAsciiMark(next);
  const char32_t point = DecodeAt(text, after).value;
  return IsWideMark(point) || IsSingleQuote(point);
}

// Pass one: marks read as the page shows them; apostrophes and hyphens stay for pass two.
std::string ReadMarks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (!IsOtherAsciiMark(c)) {
        out += static_cast<char>(c);
      } else if (!BesideSeparator(text, i, 1, out)) {
        out += ' ';
      }
      ++i;
      continue;
    }
    const CodePoint point = DecodeAt(text, i);
    if (IsSingleQuote(point.value)) {
      // After a letter an apostrophe: inside a word (don’t) or ending a plural's possessive
      // (parents’ homes), where a closing quote (‘yes’) reads the same once the word is cut.
      const bool letterBefore =
          !out.empty() && IsAsciiLetter(static_cast<unsigned char>(out.back()));
      if (letterBefore) {
        out += '\'';
      } else if (!BesideSeparator(text, i, point.length, out)) {
        out += ' ';
      }
    } else if (IsWideMark(point.value)) {
      if (!BesideSeparator(text, i, point.length, out)) out += ' ';
    } else {
      out.append(text.substr(i, point.length));
    }
    i += point.length;
  }
  return out;
}

std::string Lower(std::string_view word) {
  std::string lower(word);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return lower;
}

bool AllLetters(std::string_view word) {
  if (word.empty()) return false;
  for (unsigned char c : word)
    if (!IsAsciiLetter(c)) return false;
  return true;
}

// The contractions whose ending stands for one word, and that word.
struct Contraction {
  std::string_view ending;
  std::string_view word;  // empty: the ending says too little to be counted
};
constexpr std::array<Contraction, 7> kContractions = {{{"n't", "not"},
                                                       {"'re", "are"},
                                                       {"'ve", "have"},
                                                       {"'ll", "will"},
                                                       {"'m", "am"},
                                                       {"'s", ""},
                                                       {"'d", ""}}};

// Stems of "n't" that are not the word they stand for: can't, won't, shan't, ain't.
std::string_view NegatedStem(std::string_view lowerStem) {
  if (lowerStem == "ca") return "can";
  if (lowerStem == "wo") return "will";
  if (lowerStem == "sha") return "shall";
  if (lowerStem == "ai") return "is";
  return {};
}

// One part of a token between hyphens: its apostrophes read.
void AppendPart(std::string_view token, std::string& out) {
  if (token.find('\'') == std::string_view::npos) {
    out.append(token);
    return;
  }
  while (token.starts_with('\'')) token.remove_prefix(1);  // 'em, '90s
  while (token.ends_with('\'')) token.remove_suffix(1);    // parents'
  const std::string lower = Lower(token);
  for (const Contraction& contraction : kContractions) {
    if (!lower.ends_with(contraction.ending)) continue;
    const std::string_view stem = token.substr(0, token.size() - contraction.ending.size());
    if (!AllLetters(stem)) break;
    const std::string_view negated = contraction.ending == "n't" ? NegatedStem(Lower(stem)) : "";
    out.append(negated.empty() ? stem : negated);
    if (!contraction.word.empty()) out.append(" ").append(contraction.word);
    return;
  }
  out.append(token);  // O'Brien, o'clock: as written
}

// Pass two for one token (no separators inside): its hyphens and apostrophes read. Hyphens
// part the compound, unless the dictionary knows it; each part is read alone.
void AppendToken(std::string_view token, std::string& out) {
  if (token.find('-') == std::string_view::npos || IsKnownCompound(token)) {
    AppendPart(token, out);
    return;
  }
  for (std::size_t start = 0;;) {
    const std::size_t hyphen = token.find('-', start);
    AppendPart(token.substr(start, hyphen - start), out);
    if (hyphen == std::string_view::npos) return;
    out += ' ';
    start = hyphen + 1;
  }
}

}  // namespace

bool IsKnownCompound(std::string_view word) {
  if (word.find('-') == std::string_view::npos) return false;
  const std::string lower = Lower(word);
  return std::binary_search(std::begin(kKnownCompounds), std::end(kKnownCompounds),
                            std::string_view(lower));
}

std::string ReadingWordText(std::string_view text) {
  const std::string marked = ReadMarks(text);
  std::string out;
  out.reserve(marked.size() + 8);
  for (std::size_t i = 0; i < marked.size();) {
    if (IsSeparator(marked[i])) {
      out += marked[i++];
      continue;
    }
    std::size_t end = i;
    while (end < marked.size() && !IsSeparator(marked[end])) ++end;
    AppendToken(std::string_view(marked).substr(i, end - i), out);
    i = end;
  }
  return out;
}

std::vector<std::string> ReadingWords(std::string_view text) {
  std::vector<std::string> words;
  for (std::string& token : SplitText(ReadingWordText(text), WordSeparators)) {
    const bool letters = !token.empty() && std::all_of(token.begin(), token.end(), [](char c) {
      return IsAsciiLetter(static_cast<unsigned char>(c));
    });
    if (letters || IsKnownCompound(token)) words.push_back(std::move(token));
  }
  return words;
}

namespace {

// Counts ReadingWordText(text): the known compounds (the only tokens left with a hyphen) one
// each, upper case, and the rest as the designed tokenizer counts it; a compound stands as a
// token that tokenizer drops, so the empty tokens are counted as without it.
template <typename Tally, typename AddOne>
void CountReadingText(Tally& tally, std::string_view text, std::int32_t& tokenCounter,
                      AddOne addOne) {
  std::string read = ReadingWordText(text);
  for (std::size_t at = read.find('-'); at != std::string::npos; at = read.find('-', at)) {
    std::size_t begin = at, end = at;
    while (begin > 0 && !IsSeparator(read[begin - 1])) --begin;
    while (end < read.size() && !IsSeparator(read[end])) ++end;
    addOne(tally, UpperCaseAscii(std::string_view(read).substr(begin, end - begin)));
    ++tokenCounter;
    read.replace(begin, end - begin, "0");
    at = begin + 1;
  }
  CountWords(tally, read, tokenCounter);
}

}  // namespace

void CountReadingWords(WordTally& tally, std::string_view text, std::int32_t& tokenCounter) {
  CountReadingText(tally, text, tokenCounter,
                   [](WordTally& t, const std::string& word) { ++t[word]; });
}

void CountReadingWords(CountingTally& tally, std::string_view text, std::int32_t& tokenCounter) {
  CountReadingText(tally, text, tokenCounter,
                   [](CountingTally& t, const std::string& word) { t.Add(word); });
}

}  // namespace quillmark
