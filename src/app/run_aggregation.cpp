#include "app/run_aggregation.h"

#include <set>
#include <utility>

#include "text/counting_tally.h"
#include "text/inflection_normalizer.h"
#include "text/word_tally.h"

namespace quillmark {
namespace {

// Counting goes into a hash table and becomes an ordered tally once, before folding:
// the tally that folding sees is the same as if every token had gone into the map.
WordTally CountRun(const SentenceStore& sentences, const std::vector<std::string>& mappedWords,
                   RunFigures& figures) {
  CountingTally counting;
  for (const std::string& word : mappedWords) counting.Enter(word);
  for (const auto& [host, hostSentences] : sentences) {
    for (const std::string& sentence : hostSentences) {
      CountWords(counting, sentence, figures.wordsBeforeAggregation);
      figures.dataSize += static_cast<std::uint32_t>(sentence.size());
    }
  }
  return counting.ToTally();
}

// The ranked words are exactly the folded tally's words with a count above 0, so the
// tally answers "is this base form ranked?" without building a set of the ranking.
void ExtendInflectionIndex(const MappingDictionary& dictionary, const WordTally& folded,
                           InflectionIndex& index) {
  for (const auto& [inflected, base] : dictionary) {
    const auto ranked = folded.find(base);
    if (ranked == folded.end() || ranked->second <= 0) continue;
    index[base].insert(inflected);
  }
}

}  // namespace

void AggregateRun(const SentenceStore& sentences, std::vector<std::string>& mappedWords,
                  MappingDictionary& dictionary, InflectionIndex& index, RankedWordList& ranking,
                  RunFigures& figures) {
  std::set<std::string> newBaseForms;
  const WordTally folded =
      FoldInflections(CountRun(sentences, mappedWords, figures), dictionary, newBaseForms);
  mappedWords.insert(mappedWords.end(), newBaseForms.begin(), newBaseForms.end());
  RankedWordList newRanking = RankWords(folded);
  figures.wordsAfterAggregation = static_cast<std::int32_t>(newRanking.size());
  ranking = std::move(newRanking);
  ExtendInflectionIndex(dictionary, folded, index);
}

}  // namespace quillmark
