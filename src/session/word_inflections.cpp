#include "session/word_inflections.h"

#include <algorithm>
#include <functional>
#include <set>

#include "session/line_file.h"
#include "study/form_prefilter.h"
#include "text/counting_tally.h"
#include "text/inflection_normalizer.h"
#include "text/sorted_words.h"
#include "text/word_tally.h"

namespace quillmark {
namespace {

using WordSet = std::set<std::string, std::less<>>;

// A quick test for `words` that lets every text through when one of them is empty: the
// empty word stands between any two separators, where no quick test can look for it.
struct WordPrefilter {
  explicit WordPrefilter(const std::vector<std::string>& words)
      : everyText(std::find(words.begin(), words.end(), std::string()) != words.end()),
        prefilter(everyText ? std::vector<std::string>{} : words) {}
  bool MayHold(std::string_view text) const { return everyText || prefilter.MayHold(text); }

  bool everyText;
  FormPrefilter prefilter;
};

// The raw tally of AggregateRun cut down to `words`: mapped words with 0, then every token
// of every sentence. Sentences that cannot hold one of the words are not cut up.
WordTally CountOnly(const std::vector<std::string>& wordList, const SentenceStore& sentences,
                    const std::vector<std::string>& mappedWords) {
  const WordSet words(wordList.begin(), wordList.end());
  CountingTally counting;
  for (const std::string& word : mappedWords) {
    if (words.contains(word)) counting.Enter(word);
  }
  const WordPrefilter prefilter(wordList);
  std::int32_t tokens = 0;
  for (const auto& [host, hostSentences] : sentences) {
    for (const std::string& sentence : hostSentences) {
      if (prefilter.MayHold(sentence)) CountWords(counting, sentence, tokens);
    }
  }
  WordTally raw;
  for (const SortedWord& entry : counting.SortedWords()) {
    if (words.contains(entry.word)) raw.emplace(entry.word, entry.count);
  }
  return raw;
}

}  // namespace

// The word's count after the fold comes from itself and from the words that fold onto it
// (through the dictionary, a rule or a fallback); where each of those folds depends only on
// whether its rule and fallback results are attested. No other word moves a count onto it or
// teaches a pair for it.
std::vector<std::string> DecidingWords(const std::string& upperWord,
                                       const MappingDictionary& dictionary) {
  WordSet sources{upperWord};
  for (const auto& [inflected, base] : dictionary) {
    if (base == upperWord) sources.insert(inflected);
  }
  for (std::string& form : WordsThatMayFoldOnto(upperWord)) sources.insert(std::move(form));
  WordSet deciding = sources;
  for (const std::string& source : sources) {
    if (dictionary.contains(source)) continue;  // the dictionary decides, whatever is attested
    for (std::string& target : FoldTargetsOf(source)) deciding.insert(std::move(target));
  }
  return {deciding.begin(), deciding.end()};
}

std::set<std::string> LinesThatMayHold(std::string_view bytes,
                                       const std::vector<std::string>& upperWords) {
  const WordPrefilter prefilter(upperWords);
  std::vector<std::string_view> lines;
  ForEachLine(bytes, [&](std::string_view line) {
    if (prefilter.MayHold(line)) lines.push_back(line);
  });
  // Sorted first, so that the set is filled from its end without a search per line.
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  std::set<std::string> distinct;
  for (std::string_view line : lines) distinct.emplace_hint(distinct.end(), line);
  return distinct;
}

InflectionIndex IndexEntryAfterRun(const std::string& upperWord, const SentenceStore& sentences,
                                   const std::vector<std::string>& mappedWords,
                                   const MappingDictionary& dictionary) {
  const std::vector<std::string> deciding = DecidingWords(upperWord, dictionary);
  // The fold looks up only the words of the tally, so their pairs are all it needs; the
  // pairs it learns land here and not in `dictionary`.
  MappingDictionary pairs;
  for (const std::string& word : deciding) {
    if (const auto pair = dictionary.find(word); pair != dictionary.end()) pairs.insert(*pair);
  }
  std::set<std::string> learnedBases;
  const WordTally folded =
      FoldInflections(CountOnly(deciding, sentences, mappedWords), pairs, learnedBases);

  InflectionIndex index;
  const auto entry = folded.find(upperWord);
  if (entry == folded.end() || entry->second < 1) return index;  // not ranked
  std::set<std::string> forms;
  for (const auto& [inflected, base] : dictionary) {
    if (base == upperWord) forms.insert(inflected);
  }
  for (const auto& [inflected, base] : pairs) {
    if (base == upperWord) forms.insert(inflected);
  }
  if (!forms.empty()) index.emplace(upperWord, std::move(forms));
  return index;
}

}  // namespace quillmark
