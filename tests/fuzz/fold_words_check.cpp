#include "fold_words_check.h"

#include <algorithm>
#include <set>
#include <vector>

#include "text/counting_tally.h"
#include "text/folded_tally.h"
#include "text/inflection_normalizer.h"
#include "text/tokenizer.h"
#include "text/word_tally.h"

namespace quillmark::testing {
namespace {

// Pairs that reach every kind of dictionary entry: a plain one, a self-mapping, a base form
// the text may lack, and chains.
const MappingDictionary kFixedDictionary = {
    {"WENT", "GO"},          {"STUDIES", "STUDY"}, {"RUN", "RUN"},
    {"MEETINGS", "MEETING"}, {"MEETING", "MEET"},  {"", "EMPTY"},
};

MappingDictionary DictionaryOf(std::string_view lines) {
  MappingDictionary dictionary;
  while (!lines.empty()) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    const std::string line = UpperCaseAscii(lines.substr(0, end));
    lines.remove_prefix(std::min(end + 1, lines.size()));
    const std::size_t space = line.find(' ');
    if (space != std::string::npos) dictionary[line.substr(0, space)] = line.substr(space + 1);
  }
  return dictionary;
}

}  // namespace

std::string CheckFoldWords(std::string_view input) {
  MappingDictionary dictionary = kFixedDictionary;
  std::string_view text = input;
  if (const std::size_t zero = input.find('\0'); zero != std::string_view::npos) {
    dictionary = DictionaryOf(input.substr(0, zero));
    text = input.substr(zero + 1);
  }

  // Counting: the one-pass cutter, the hash tally and the plain definition agree.
  WordTally counted;
  std::int32_t counted_tokens = 0;
  CountWords(counted, text, counted_tokens);
  CountingTally counting;
  std::int32_t counting_tokens = 0;
  CountWords(counting, text, counting_tokens);
  WordTally plain;
  const TokenList tokens = KeepAlphabetic(SplitText(UpperCaseAscii(text), WordSeparators));
  for (const std::string& token : tokens) ++plain[token];
  if (counted != plain) return "CountWords differs from SplitText and KeepAlphabetic";
  if (counting.ToTally() != plain) return "CountingTally differs from the plain count";
  if (counted_tokens != static_cast<std::int32_t>(tokens.size()) ||
      counting_tokens != counted_tokens) {
    return "token counters differ";
  }
  for (const auto& [word, count] : counted) {
    if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
      return "a counted word that is not all A to Z: " + word;
    }
  }

  // Folding: the ordered-map fold and the sorted-array fold agree, down to what they learn.
  MappingDictionary plain_dictionary = dictionary;
  std::set<std::string> plain_base_forms;
  const WordTally folded = FoldInflections(counted, plain_dictionary, plain_base_forms);
  MappingDictionary fast_dictionary = dictionary;
  std::vector<std::string_view> fast_base_forms;
  const FoldedTally fast = FoldCountedWords(counting, fast_dictionary, fast_base_forms);
  if (fast.ToTally() != folded) return "FoldCountedWords differs from FoldInflections";
  if (fast_dictionary != plain_dictionary) return "the folds learned different pairs";
  if (!std::is_sorted(fast_base_forms.begin(), fast_base_forms.end()) ||
      std::adjacent_find(fast_base_forms.begin(), fast_base_forms.end()) != fast_base_forms.end() ||
      std::set<std::string>(fast_base_forms.begin(), fast_base_forms.end()) != plain_base_forms) {
    return "the folds found different new base forms";
  }
  if (fast.Rank() != RankWords(folded)) return "the rankings differ";
  return "";
}

}  // namespace quillmark::testing
