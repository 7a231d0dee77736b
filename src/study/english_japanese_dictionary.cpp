#include "study/english_japanese_dictionary.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "study/base_spellings.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr std::string_view kSenseSeparator = " / ";

// What follows "…の" in an entry that only names the base of an inflected form.
constexpr std::array<std::string_view, 8> kFormNames{"過去",   "複数",   "現在分詞", "比較級",
                                                     "最上級", "三人称", "一人称",   "二人称"};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view Spelling(std::string_view line) { return line.substr(0, line.find('\t')); }

std::vector<std::string_view> SensesOf(std::string_view line) {
  std::vector<std::string_view> senses;
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return senses;
  std::string_view rest = line.substr(tab + 1);
  while (!rest.empty()) {
    const std::size_t separator = rest.find(kSenseSeparator);
    senses.push_back(rest.substr(0, separator));
    if (separator == std::string_view::npos) break;
    rest.remove_prefix(separator + kSenseSeparator.size());
  }
  return senses;
}

// The word a sense refers to for its meaning ("=color", "runの過去形", "take の過去"), or
// empty when the sense is a meaning of its own.
std::string_view ReferredWord(std::string_view sense) {
  if (sense.starts_with('=')) {
    const std::string_view word = sense.substr(1);
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
      return IsAsciiLetter(c) || c == ' ' || c == '\'' || c == '-';
    });
    return plain ? word : std::string_view{};
  }
  std::size_t end = 0;
  while (end < sense.size() && IsAsciiLetter(sense[end])) ++end;
  if (end == 0) return {};
  std::string_view after = sense.substr(end);
  if (after.starts_with(' ')) after.remove_prefix(1);
  if (!after.starts_with("の")) return {};
  after.remove_prefix(std::strlen("の"));
  for (std::string_view form : kFormNames) {
    if (after.starts_with(form)) return sense.substr(0, end);
  }
  return {};
}

// The base form an entry names when every sense of it does; empty otherwise.
std::string_view BaseNamedBy(std::string_view line) {
  const std::vector<std::string_view> senses = SensesOf(line);
  if (senses.empty()) return {};
  for (std::string_view sense : senses) {
    if (ReferredWord(sense).empty()) return {};
  }
  return ReferredWord(senses.front());
}

// The first sense of a meaning found through a base that is not the word's own inflection.
std::string NoteOnBase(std::string_view base, SpellingRelation relation) {
  return std::string(base) +
         (relation == SpellingRelation::kComparative ? "の比較級または派生語" : "の派生語");
}

Meaning MeaningOfLine(std::string_view line) {
  Meaning meaning{std::string(Spelling(line)), {}};
  for (std::string_view sense : SensesOf(line)) meaning.senses.emplace_back(sense);
  return meaning;
}

}  // namespace

std::string JoinedSenses(const Meaning& meaning) {
  std::string joined;
  for (std::size_t i = 0; i < meaning.senses.size(); ++i) {
    if (i > 0) joined += kSenseSeparator;
    joined += meaning.senses[i];
  }
  return joined;
}

EnglishJapaneseDictionary::EnglishJapaneseDictionary(std::string bytes) : bytes_(std::move(bytes)) {
  if (bytes_.size() > UINT32_MAX) throw std::runtime_error("the built-in dictionary is too large");
  std::string_view previous;
  for (std::size_t start = 0; start < bytes_.size();) {
    const std::size_t end = std::min(bytes_.find('\n', start), bytes_.size());
    const std::string_view spelling = Spelling(std::string_view(bytes_).substr(start, end - start));
    if (!lineStarts_.empty() && CompareIgnoringAsciiCase(previous, spelling) >= 0)
      throw std::runtime_error("the built-in dictionary is out of order at \"" +
                               std::string(spelling) + "\"");
    lineStarts_.push_back(static_cast<std::uint32_t>(start));
    previous = spelling;
    start = end + 1;
  }
}

std::size_t EnglishJapaneseDictionary::HeldBytes() const {
  return sizeof(*this) + bytes_.capacity() + lineStarts_.capacity() * sizeof(std::uint32_t);
}

std::string_view EnglishJapaneseDictionary::Line(std::size_t index) const {
  const std::size_t start = lineStarts_[index];
  const std::size_t end =
      index + 1 < lineStarts_.size() ? lineStarts_[index + 1] - 1 : bytes_.size();
  std::string_view line = std::string_view(bytes_).substr(start, end - start);
  if (line.ends_with('\n')) line.remove_suffix(1);
  return line;
}

std::string_view EnglishJapaneseDictionary::EntryOf(std::string_view spelling) const {
  if (spelling.empty()) return {};
  std::size_t low = 0;
  std::size_t high = lineStarts_.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const std::string_view line = Line(middle);
    const int order = CompareIgnoringAsciiCase(Spelling(line), spelling);
    if (order == 0) return line;
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return {};
}

Meaning EnglishJapaneseDictionary::Lookup(std::string_view word,
                                          const MappingDictionary& baseForms) const {
  const std::string_view own = EntryOf(word);
  const std::string_view namedBase = BaseNamedBy(own);
  if (!own.empty() && namedBase.empty()) return MeaningOfLine(own);
  if (const auto base = baseForms.find(UpperCaseAscii(word)); base != baseForms.end()) {
    const std::string_view entry = EntryOf(base->second);
    if (!entry.empty() && BaseNamedBy(entry).empty()) return MeaningOfLine(entry);
  }
  if (!namedBase.empty()) {
    const std::string_view entry = EntryOf(namedBase);
    if (!entry.empty() && BaseNamedBy(entry).empty()) return MeaningOfLine(entry);
  }
  if (!own.empty()) return MeaningOfLine(own);
  return MeaningBySpellingRule(word);
}

std::string_view EnglishJapaneseDictionary::MeaningLineOf(std::string_view spelling) const {
  const std::string_view own = EntryOf(spelling);
  const std::string_view base = BaseNamedBy(own);
  if (base.empty()) return own;
  const std::string_view entry = EntryOf(base);
  return !entry.empty() && BaseNamedBy(entry).empty() ? entry : own;
}

Meaning EnglishJapaneseDictionary::MeaningBySpellingRule(std::string_view word) const {
  for (const BaseSpelling& base : BaseSpellingsOf(LowerCaseAscii(word))) {
    const std::string_view line = MeaningLineOf(base.spelling);
    if (line.empty()) continue;
    Meaning meaning = MeaningOfLine(line);
    meaning.bySpellingRule = true;
    if (base.relation != SpellingRelation::kInflection)
      meaning.senses.insert(meaning.senses.begin(), NoteOnBase(meaning.headword, base.relation));
    return meaning;
  }
  return {};
}

}  // namespace quillmark
