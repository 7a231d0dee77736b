#include "article/sentence_split.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace quillmark {
namespace {

// --- The judgements, each in one place ---

// Words that a full stop follows without ending the sentence, lower case, without the stop:
// titles, months, company forms, references and the abbreviations of news prose. Such a stop
// ends the sentence only when a sentence start follows (kSentenceStarters).
constexpr std::array<std::string_view, 77> kAbbreviations = {
    "mr",   "mrs",  "ms",        "dr",     "prof", "sen",  "rep", "gov",  "gen",  "col",
    "lt",   "sgt",  "capt",      "cmdr",   "adm",  "maj",  "st",  "rev",  "hon",  "jr",
    "sr",   "pres", "supt",      "insp",   "det",  "jan",  "feb", "mar",  "apr",  "jun",
    "jul",  "aug",  "sep",       "sept",   "oct",  "nov",  "dec", "inc",  "ltd",  "co",
    "corp", "bros", "plc",       "llc",    "no",   "nos",  "vs",  "v",    "etc",  "approx",
    "dept", "est",  "fig",       "mt",     "ft",   "vol",  "ave", "blvd", "rd",   "e.g",
    "i.e",  "al",   "p",         "pp",     "ch",   "sec",  "art", "para", "figs", "vols",
    "a.m",  "p.m",  "n\xC2\xB0", "messrs", "gens", "reps", "sens"};

// Titles: they stand before a name, so their stop never ends a sentence.
constexpr std::array<std::string_view, 28> kTitles = {
    "mr",   "mrs",  "ms",   "dr",   "prof",   "sen",  "rep",  "gov", "gen", "col",
    "lt",   "sgt",  "capt", "cmdr", "adm",    "maj",  "st",   "rev", "hon", "pres",
    "supt", "insp", "det",  "mt",   "messrs", "gens", "reps", "sens"};

// Capitalised common words that begin sentences: after an abbreviation or an initial, one of
// them says the stop ended the sentence ("moved to the U.K. Its staff followed."). Lower case.
constexpr std::array<std::string_view, 96> kSentenceStarters = {
    "the",   "a",       "an",      "it",    "its",   "he",    "she",       "they",   "we",
    "i",     "you",     "his",     "her",   "their", "our",   "my",        "your",   "this",
    "that",  "these",   "those",   "there", "here",  "but",   "and",       "or",     "so",
    "yet",   "however", "also",    "then",  "now",   "in",    "on",        "at",     "for",
    "with",  "after",   "before",  "when",  "what",  "where", "why",       "how",    "who",
    "whom",  "whose",   "which",   "while", "if",    "as",    "although",  "though", "because",
    "since", "some",    "many",    "most",  "all",   "both",  "each",      "every",  "several",
    "such",  "other",   "another", "one",   "not",   "nor",   "do",        "does",   "did",
    "is",    "are",     "was",     "were",  "can",   "could", "would",     "should", "shall",
    "might", "must",    "have",    "has",   "had",   "let",   "meanwhile", "still",  "instead",
    "even",  "only",    "earlier", "later", "today", "during"};

// A parenthesis after a sentence's stop that closes within this many bytes, holds no stop
// of its own and ends the paragraph (or a stop follows it) is the sentence's citation.
constexpr std::size_t kMaxCitationBytes = 80;

// Bullets that may stand before a list item's marker (•, ⁃, ◦, ▪, ‣).
constexpr std::array<std::string_view, 5> kBullets = {
    "\xE2\x80\xA2", "\xE2\x81\x83", "\xE2\x97\xA6", "\xE2\x96\xAA", "\xE2\x80\xA3"};

// --- helpers ---

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return IsUpper(c) || IsLower(c); }

std::string Lower(std::string_view word) {
  std::string lower(word);
  for (char& c : lower)
    if (IsUpper(static_cast<unsigned char>(c))) c = static_cast<char>(c + 32);
  return lower;
}

template <std::size_t N>
bool IsIn(std::string_view lowerWord, const std::array<std::string_view, N>& list) {
  return std::find(list.begin(), list.end(), lowerWord) != list.end();
}

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

// Opening quotes and brackets a sentence may start with.
std::size_t OpeningMarkLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const char c = text[at];
  if (c == '"' || c == '\'' || c == '(' || c == '[') return 1;
  const std::string_view rest = text.substr(at);
  if (rest.starts_with("\xE2\x80\x9C") || rest.starts_with("\xE2\x80\x98")) return 3;
  if (rest.starts_with("\xC2\xAB")) return 2;
  return 0;
}

// Whether a sentence may start at `at`: a capital, a digit, an opening quote or bracket.
bool StartsSentence(std::string_view text, std::size_t at) {
  if (at >= text.size()) return false;
  const unsigned char c = static_cast<unsigned char>(text[at]);
  return IsUpper(c) || IsDigit(c) || OpeningMarkLength(text, at) > 0;
}

// The word that starts at `at` behind any opening marks: its letters.
std::string_view WordAt(std::string_view text, std::size_t at) {
  while (std::size_t length = OpeningMarkLength(text, at)) at += length;
  std::size_t end = at;
  while (end < text.size() && IsLetter(static_cast<unsigned char>(text[end]))) ++end;
  return text.substr(at, end - at);
}

// Whether the word at `at` is a capitalised sentence starter (The, It, However …).
bool StartsWithStarter(std::string_view text, std::size_t at) {
  const std::string_view word = WordAt(text, at);
  return !word.empty() && IsUpper(static_cast<unsigned char>(word[0])) &&
         IsIn(Lower(word), kSentenceStarters);
}

// Whether the text at `at` (behind opening marks) is a capitalised word other than the
// pronoun "I": after an ellipsis, a speaker trailing off ("the thing is . . . I didn't").
bool StartsWithCapitalisedWord(std::string_view text, std::size_t at) {
  const std::string_view word = WordAt(text, at);
  return !word.empty() && IsUpper(static_cast<unsigned char>(word[0])) && word != "I";
}

// The word just before the stop at `stop`: the letters and inner dots behind the last blank,
// opening bracket or quote.
std::string_view WordBefore(std::string_view text, std::size_t stop) {
  std::size_t begin = stop;
  while (begin > 0 && !IsBlank(static_cast<unsigned char>(text[begin - 1])) &&
         text[begin - 1] != '(' && text[begin - 1] != '"')
    --begin;
  return text.substr(begin, stop - begin);
}

// An initial (J) or a run of initials (U.S, D.C, U.K): one capital letter between the dots.
bool IsInitials(std::string_view word) {
  if (word.empty() || !IsUpper(static_cast<unsigned char>(word[0]))) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const bool letterPlace = i % 2 == 0;
    if (letterPlace ? !IsLetter(static_cast<unsigned char>(word[i])) : word[i] != '.') return false;
  }
  return true;
}

// --- list items written in one paragraph ---

// A list marker: "2)", "2.)", "2.", "b)" or "b." before a blank, at the paragraph's start,
// after a blank or after a bullet.
struct Marker {
  std::size_t cut = 0;   // where the item starts: the marker, or the bullet before it
  std::size_t stop = 0;  // the marker's '.', or npos
  int value = 0;         // 1 for "1" and "a"
  int kind = 0;          // digits or letter, and the closing written
};

std::size_t BulletBefore(std::string_view text, std::size_t at) {
  std::size_t p = at;
  if (p > 0 && text[p - 1] == ' ') --p;
  for (std::string_view bullet : kBullets)
    if (p >= bullet.size() && text.substr(p - bullet.size(), bullet.size()) == bullet)
      return p - bullet.size();
  return std::string_view::npos;
}

std::vector<Marker> ListMarkers(std::string_view text) {
  std::vector<Marker> candidates;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const std::size_t bullet = BulletBefore(text, at);
    if (at > 0 && text[at - 1] != ' ' && bullet == std::string_view::npos) continue;
    std::size_t end = at;
    int value = 0;
    bool letter = false;
    while (end < text.size() && end - at < 2 && IsDigit(static_cast<unsigned char>(text[end])))
      value = value * 10 + (text[end++] - '0');
    if (end == at && end < text.size() && IsLower(static_cast<unsigned char>(text[end]))) {
      value = text[end++] - 'a' + 1;
      letter = true;
    }
    if (end == at || end >= text.size()) continue;
    Marker marker{bullet == std::string_view::npos ? at : bullet, std::string_view::npos, value, 0};
    if (text.substr(end).starts_with(".)")) {
      marker.stop = end;
      end += 2;
      marker.kind = 1;
    } else if (text[end] == ')') {
      end += 1;
      marker.kind = 2;
    } else if (text[end] == '.') {
      marker.stop = end;
      end += 1;
      marker.kind = 3;
    } else {
      continue;
    }
    if (end >= text.size() || text[end] != ' ') continue;
    marker.kind += letter ? 10 : 0;
    candidates.push_back(marker);
  }
  // A marker is one of a list when the item before or after it, of the same kind, is numbered
  // next to it: "a." alone ("vitamin a.") is no list.
  // Where each kind and number is first and last met: one pass, whatever the paragraph holds.
  std::map<std::pair<int, int>, std::pair<std::size_t, std::size_t>> seen;
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    seen.try_emplace({candidates[k].kind, candidates[k].value}, k, k).first->second.second = k;
  }
  std::vector<Marker> markers;
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    const auto before = seen.find({candidates[k].kind, candidates[k].value - 1});
    const auto after = seen.find({candidates[k].kind, candidates[k].value + 1});
    if ((before != seen.end() && before->second.first < k) ||
        (after != seen.end() && after->second.second > k))
      markers.push_back(candidates[k]);
  }
  return markers;
}

// --- sentence ends ---

// Whether the parenthesis at `open` is a citation that stays with the sentence before it:
// short, without a stop inside, and at the paragraph's end or before a stop.
bool IsCitation(std::string_view text, std::size_t open) {
  if (open >= text.size() || text[open] != '(') return false;
  // Looked for within the citation's bound only: a paragraph of parentheses stays linear.
  const std::size_t close = text.substr(0, open + kMaxCitationBytes + 1).find(')', open);
  if (close == std::string_view::npos || close - open > kMaxCitationBytes) return false;
  const std::string_view inside = text.substr(open + 1, close - open - 1);
  if (inside.find_first_of(".?!(") != std::string_view::npos) return false;
  std::size_t after = close + 1;
  if (after < text.size() && (text[after] == '.' || text[after] == ',' || text[after] == ';'))
    ++after;
  return after >= text.size() || IsBlank(static_cast<unsigned char>(text[after]));
}

// The stop marks that start at `at`: how many bytes they take and what they are.
struct StopRun {
  std::size_t end = 0;  // one past the last mark
  int dots = 0;         // full stops, spaced ones (". . .") included; an ellipsis counts 3
  bool strong = false;  // a '?' or '!' among them
};

StopRun ReadStopRun(std::string_view text, std::size_t at) {
  StopRun run{at, 0, false};
  while (run.end < text.size()) {
    const char c = text[run.end];
    if (c == '.') {
      ++run.dots;
      ++run.end;
    } else if (c == '?' || c == '!') {
      run.strong = true;
      ++run.end;
    } else if (text.substr(run.end).starts_with("\xE2\x80\xA6")) {
      run.dots += 3;
      run.end += 3;
    } else if (c == ' ' && run.end + 1 < text.size() && text[run.end + 1] == '.' && run.dots > 0 &&
               (run.end + 2 >= text.size() || text[run.end + 2] == ' ' ||
                text[run.end + 2] == '.' || ClosingMarkLength(text, run.end + 2) > 0)) {
      ++run.end;  // ". . .": a spaced ellipsis is one mark
    } else {
      break;
    }
  }
  return run;
}

// Where the sentence whose stop marks start at `at` ends (one past its last byte), or npos
// when they do not end it; `run` is what the marks are.
std::size_t SentenceEnd(std::string_view text, std::size_t at, const StopRun& run,
                        const std::vector<std::size_t>& markerStops) {
  std::size_t after = run.end;
  const bool single = !run.strong && run.dots == 1;
  if (single) {
    if (at > 0 && IsDigit(static_cast<unsigned char>(text[at - 1])) && after < text.size() &&
        IsDigit(static_cast<unsigned char>(text[after])))
      return std::string_view::npos;  // a decimal or a time
    if (std::binary_search(markerStops.begin(), markerStops.end(), at))
      return std::string_view::npos;  // "2." of a list
  }
  while (std::size_t length = ClosingMarkLength(text, after)) after += length;
  if (after >= text.size()) return text.size();
  if (!IsBlank(static_cast<unsigned char>(text[after]))) return std::string_view::npos;
  std::size_t next = after;
  while (next < text.size() && IsBlank(static_cast<unsigned char>(text[next]))) ++next;
  if (IsCitation(text, next)) return std::string_view::npos;
  if (single) {
    const std::string_view word = WordBefore(text, at);
    const std::string lower = Lower(word);
    if (IsIn(lower, kTitles)) return std::string_view::npos;
    if (IsInitials(word) || IsIn(lower, kAbbreviations))
      return StartsWithStarter(text, next) ? after : std::string_view::npos;
  } else if (!run.strong && run.dots == 3) {
    // An ellipsis alone: the sentence goes on unless a capitalised word starts another.
    return StartsWithCapitalisedWord(text, next) ? after : std::string_view::npos;
  }
  return StartsSentence(text, next) ? after : std::string_view::npos;
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
  std::vector<std::size_t> cuts;  // where a sentence starts, the first excepted
  std::vector<std::size_t> markerStops;
  for (const Marker& marker : ListMarkers(text)) {
    if (marker.cut > 0) cuts.push_back(marker.cut);
    if (marker.stop != std::string_view::npos) markerStops.push_back(marker.stop);
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool mark = c == '.' || c == '?' || c == '!' ||
                      std::string_view(text).substr(i).starts_with("\xE2\x80\xA6");
    if (!mark) continue;
    const StopRun run = ReadStopRun(text, i);
    const std::size_t end = SentenceEnd(text, i, run, markerStops);
    if (end != std::string_view::npos && end < text.size()) cuts.push_back(end);
    i = run.end - 1;
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<std::string> sentences;
  std::size_t start = 0;
  auto add = [&](std::size_t end) {
    std::string_view piece = std::string_view(text).substr(start, end - start);
    while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    if (!piece.empty()) sentences.emplace_back(piece);
    start = end;
  };
  for (std::size_t cut : cuts) add(cut);
  add(text.size());
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
