#pragma once
// The built-in English–Japanese dictionary: the meaning of a word at hand, with no network.
//
// Its bytes are the resource EJDICT (tools/generate_dictionary.py makes it): one entry a
// line, "SPELLING<TAB>MEANING<LF>", sorted by the spelling with ASCII letters lowered, and a
// meaning's senses separated by " / ". The lines are searched where they lie; loading only
// notes where each one starts, so the window reads the resource at the first lookup, not at
// start-up.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/word_types.h"

namespace quillmark {

// What the dictionary says about a word: the headword it was found under (as the dictionary
// spells it) and its senses in order. No senses: the word is not in the dictionary.
struct Meaning {
  std::string headword;
  std::vector<std::string> senses;
  // Found only through the rules of English spelling (BaseSpellingsOf: harder -> hard), not
  // through an entry or the mapping dictionary: weaker evidence than the run's own, which may
  // show the word to be a name.
  bool bySpellingRule = false;

  bool Found() const { return !senses.empty(); }
};

// The senses on one line, as the word cards and the command line show them.
std::string JoinedSenses(const Meaning& meaning);

class EnglishJapaneseDictionary {
 public:
  // Takes the resource's bytes. Throws std::runtime_error when its lines are not in the
  // order the search needs (a lookup would then miss words silently).
  explicit EnglishJapaneseDictionary(std::string bytes);

  // The meaning of `word` (any letter case):
  //  1. its own entry, unless that only names its base form ("runの過去形", "=color");
  //  2. else the entry of its base form in `baseForms` (upper case, RAN -> RUN: the mapping
  //     dictionary the run folds with);
  //  3. else the entry of the base form its own entry names ("swimの過去" -> swim);
  //  4. else its own entry as it is, when it has one;
  //  5. else the entry of the first of BaseSpellingsOf(word) the dictionary has (bySpellingRule):
  //     a comparative's or derived word's senses begin with a note naming the base
  //     ("hardの比較級または派生語", "geneticの派生語"); an inflection's need none.
  // The headword says which entry answered. Not found: an empty Meaning.
  Meaning Lookup(std::string_view word, const MappingDictionary& baseForms) const;

  std::size_t EntryCount() const { return lineStarts_.size(); }
  // The memory the loaded dictionary holds, in bytes.
  std::size_t HeldBytes() const;

 private:
  // The line of `spelling` ignoring ASCII case, without its LF; empty when there is none.
  std::string_view EntryOf(std::string_view spelling) const;
  std::string_view Line(std::size_t index) const;
  // The entry of `spelling`, or the entry of the base its entry names; empty when none.
  std::string_view MeaningLineOf(std::string_view spelling) const;
  Meaning MeaningBySpellingRule(std::string_view word) const;

  std::string bytes_;
  std::vector<std::uint32_t> lineStarts_;
};

}  // namespace quillmark
