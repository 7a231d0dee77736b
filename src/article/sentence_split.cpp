#include "article/sentence_split.h"

#include <algorithm>
#include <array>

namespace quillmark {
namespace {

// Words that a full stop follows without ending the sentence, lower case, without the stop.
// Titles, months, company forms and the abbreviations of news prose.
constexpr std::array<std::string_view, 62> kAbbreviations = {
    "mr",   "mrs",  "ms",   "dr",  "prof", "sen",    "rep",  "gov",  "gen",  "col", "lt",
    "sgt",  "capt", "cmdr", "adm", "maj",  "st",     "rev",  "hon",  "jr",   "sr",  "pres",
    "supt", "insp", "det",  "jan", "feb",  "mar",    "apr",  "jun",  "jul",  "aug", "sep",
    "sept", "oct",  "nov",  "dec", "inc",  "ltd",    "co",   "corp", "bros", "plc", "llc",
    "no",   "nos",  "vs",   "v",   "etc",  "approx", "dept", "est",  "fig",  "mt",  "ft",
    "vol",  "ave",  "blvd", "rd",  "e.g",  "i.e",    "al"};

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return IsUpper(c) || IsLower(c); }

// Closing quotes and brackets that may stand between the stop and the white space behind it:
// ASCII ones and the UTF-8 right quotes (U+2019, U+201D) and guillemet (U+00BB).
std::size_t ClosingMarkLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const char c = text[at];
  if (c == '"' || c == '\'' || c == ')' || c == ']') return 1;
  const std::string_view rest = text.substr(at);
  if (rest.starts_with("\xE2\x80\x99") || rest.starts_with("\xE2\x80\x9D")) return 3;
  if (rest.starts_with("\xC2\xBB")) return 2;
  return 0;
}

// Whether a sentence may start at `at`: a capital, a digit, an opening quote or bracket, or a
// letter outside ASCII (whose case is not looked at).
bool StartsSentence(std::string_view text, std::size_t at) {
  if (at >= text.size()) return false;
  const unsigned char c = static_cast<unsigned char>(text[at]);
  if (IsUpper(c) || IsDigit(c) || c == '"' || c == '\'' || c == '(' || c == '[') return true;
  const std::string_view rest = text.substr(at);
  return rest.starts_with("\xE2\x80\x9C") || rest.starts_with("\xE2\x80\x98") ||
         rest.starts_with("\xC2\xAB");
}

// The word just before the stop at `stop`: the letters and inner dots behind the last blank.
std::string_view WordBefore(std::string_view text, std::size_t stop) {
  std::size_t begin = stop;
  while (begin > 0 && !IsBlank(static_cast<unsigned char>(text[begin - 1])) &&
         text[begin - 1] != '(' && text[begin - 1] != '"')
    --begin;
  return text.substr(begin, stop - begin);
}

bool IsAbbreviation(std::string_view word) {
  if (word.empty()) return false;
  // An initial (J.) or a run of initials (U.S, D.C, U.K): one letter between the dots.
  bool initials = true;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const bool letterPlace = i % 2 == 0;
    if (letterPlace ? !IsLetter(static_cast<unsigned char>(word[i])) : word[i] != '.') {
      initials = false;
      break;
    }
  }
  if (initials && IsUpper(static_cast<unsigned char>(word[0]))) return true;
  std::string lower;
  for (char c : word)
    lower += IsUpper(static_cast<unsigned char>(c)) ? static_cast<char>(c + 32) : c;
  return std::find(kAbbreviations.begin(), kAbbreviations.end(), lower) != kAbbreviations.end();
}

// Where the sentence whose stop mark starts at `at` ends (one past its last byte), or npos
// when the mark does not end a sentence.
std::size_t SentenceEnd(std::string_view text, std::size_t at) {
  std::size_t after = at;
  bool ellipsis = false;
  if (text.substr(at).starts_with("\xE2\x80\xA6")) {
    after += 3;
    ellipsis = true;
  } else {
    const char mark = text[at];
    while (after < text.size() && (text[after] == '.' || text[after] == '?' || text[after] == '!'))
      ++after;
    ellipsis = mark == '.' && after - at >= 3;
    if (mark == '.' && after - at == 1) {
      if (at > 0 && IsDigit(static_cast<unsigned char>(text[at - 1])) && after < text.size() &&
          IsDigit(static_cast<unsigned char>(text[after])))
        return std::string_view::npos;  // a decimal or a time
      if (IsAbbreviation(WordBefore(text, at))) return std::string_view::npos;
    }
  }
  while (std::size_t length = ClosingMarkLength(text, after)) after += length;
  if (after >= text.size()) return text.size();
  if (!IsBlank(static_cast<unsigned char>(text[after]))) return std::string_view::npos;
  std::size_t next = after;
  while (next < text.size() && IsBlank(static_cast<unsigned char>(text[next]))) ++next;
  if (!StartsSentence(text, next)) return std::string_view::npos;
  (void)ellipsis;
  return after;
}

}  // namespace

std::string CollapseWhiteSpace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingSpace = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool nbsp =
        c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0;
    if (IsBlank(c) || c == '\v' || nbsp) {
      pendingSpace = !out.empty();
      if (nbsp) ++i;
      continue;
    }
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    out += static_cast<char>(c);
  }
  return out;
}

std::vector<std::string> SplitSentences(std::string_view paragraph) {
  const std::string text = CollapseWhiteSpace(paragraph);
  std::vector<std::string> sentences;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool mark = c == '.' || c == '?' || c == '!' ||
                      std::string_view(text).substr(i).starts_with("\xE2\x80\xA6");
    if (!mark) continue;
    const std::size_t end = SentenceEnd(text, i);
    if (end == std::string_view::npos) {
      // Skip the rest of a run of marks so that "..." is looked at once.
      while (i + 1 < text.size() &&
             (text[i + 1] == '.' || text[i + 1] == '?' || text[i + 1] == '!'))
        ++i;
      continue;
    }
    sentences.push_back(text.substr(start, end - start));
    start = end;
    while (start < text.size() && text[start] == ' ') ++start;
    i = start == 0 ? 0 : start - 1;
  }
  if (start < text.size()) sentences.push_back(text.substr(start));
  return sentences;
}

std::vector<std::string> SentencesOf(const std::vector<std::string>& paragraphs) {
  std::vector<std::string> sentences;
  for (const std::string& paragraph : paragraphs)
    for (std::string& sentence : SplitSentences(paragraph))
      sentences.push_back(std::move(sentence));
  return sentences;
}

}  // namespace quillmark
