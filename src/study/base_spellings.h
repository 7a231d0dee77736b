#pragma once
// The spellings a word not in the dictionary may be formed from by the regular rules of
// English spelling: ships -> ship, dining -> dine, biggest -> big, genetically -> genetic.
// The built-in dictionary tries them, in the order given, when neither the word nor the
// mapping dictionary leads to an entry. Only candidates: most are not words, and the
// dictionary keeps the first that is one of its own.

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// How a base spelling relates to the word it was taken from.
enum class SpellingRelation {
  kInflection,   // a plural, past, -ing or superlative form: the base's meaning is the word's
  kComparative,  // -er: a comparative (harder) or a noun of the doer (browser)
  kDerivation,   // -ly, -ness, -ity, -ation, -ment, -ers, -or: another word made from the base
};

struct BaseSpelling {
  std::string spelling;  // lower case
  SpellingRelation relation;
};

// The candidates for `word` (lower-case ASCII letters; anything else gives none), inflections
// first, then comparatives, then derivations; within each, the likelier reading first (a stem
// of consonant, vowel, consonant takes its silent e first: dining -> dine before din). A base
// is at least three letters long, a derived one at least four, so that short endings of
// names (Los, Timor) do not lead to a word.
std::vector<BaseSpelling> BaseSpellingsOf(std::string_view word);

}  // namespace quillmark
