#include "session/word_inflections.h"

#include <functional>
#include <set>

#include "study/form_prefilter.h"
#include "text/counting_tally.h"
#include "text/inflection_normalizer.h"
#include "text/sorted_words.h"
#include "text/word_tally.h"

namespace quillmark {
namespace {

// The words whose raw counts decide `upperWord`'s entry. Its count after the fold comes from
// itself and from the words that fold onto it (through the dictionary, a rule or a
// fallback); where each of those folds depends only on whether its rule and fallback
// results are attested. No other word moves a count onto it or teaches a pair for it.
std::set<std::string, std::less<>> DecidingWords(const std::string& upperWord,
                                                 const MappingDictionary& dictionary) {
  std::set<std::string, std::less<>> sources{upperWord};
  for (const auto& [inflected, base] : dictionary) {
    if (base == upperWord) sources.insert(inflected);
  }
  for (std::string& form : WordsThatMayFoldOnto(upperWord)) sources.insert(std::move(form));
  std::set<std::string, std::less<>> deciding = sources;
  for (const std::string& source : sources) {
    if (dictionary.contains(source)) continue;  // the dictionary decides, whatever is attested
    for (std::string& target : FoldTargetsOf(source)) deciding.insert(std::move(target));
  }
  return deciding;
}

// The raw tally of AggregateRun cut down to `words`: mapped words with 0, then every token
// of every sentence. Sentences that cannot hold one of the words are not cut up.
WordTally CountOnly(const std::set<std::string, std::less<>>& words, const SentenceStore& sentences,
                    const std::vector<std::string>& mappedWords) {
  CountingTally counting;
  for (const std::string& word : mappedWords) {
    if (words.contains(word)) counting.Enter(word);
  }
  // The empty word stands between any two separators: no quick test can rule it out.
  const bool everySentence = words.contains(std::string_view());
  const FormPrefilter prefilter(everySentence
                                    ? std::vector<std::string>{}
                                    : std::vector<std::string>(words.begin(), words.end()));
  std::int32_t tokens = 0;
  for (const auto& [host, hostSentences] : sentences) {
    for (const std::string& sentence : hostSentences) {
      if (everySentence || prefilter.MayHold(sentence)) CountWords(counting, sentence, tokens);
    }
  }
  WordTally raw;
  for (const SortedWord& entry : counting.SortedWords()) {
    if (words.contains(entry.word)) raw.emplace(entry.word, entry.count);
  }
  return raw;
}

}  // namespace

InflectionIndex IndexEntryAfterRun(const std::string& upperWord, const SentenceStore& sentences,
                                   const std::vector<std::string>& mappedWords,
                                   const MappingDictionary& dictionary) {
  const std::set<std::string, std::less<>> deciding = DecidingWords(upperWord, dictionary);
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
