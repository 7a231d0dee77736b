#include "session/word_inflections.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "session/run_aggregation.h"
#include "study/sentence_finder.h"

namespace quillmark {
namespace {

// Stores of random sentences over words that fold every way there is (dictionary pairs,
// chains, self-mappings, every rule and fallback, mapped words that attest a base form,
// tokens dropped for their bytes): the entry found for each word alone equals the entry of
// the index a whole run builds, and so do the sentences found among only the lines that may
// hold a deciding word.
TEST(IndexEntryAfterRun, EqualsTheEntryAWholeRunBuildsForEveryWord) {
  const std::vector<std::string> stems = {"SHIP", "HOPE", "STUDY", "RUN", "SWIM",
                                          "MEET", "GO",   "PLAN",  "BE",  "STOP"};
  const std::vector<std::string> endings = {"",     "S",    "ED",   "ING", "IES", "IED", "PED",
                                            "PING", "MING", "NING", "E",   "D",   "Y",   "ES"};
  std::vector<std::string> vocabulary = {"", "MICE", "MOUSE", "WENT", "DON'T", "B2B"};
  for (const std::string& stem : stems) {
    for (const std::string& ending : endings) vocabulary.push_back(stem + ending);
  }
  std::mt19937 random(7);
  const auto pick = [&](const std::vector<std::string>& words) {
    return words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(random)];
  };
  for (int round = 0; round < 40; ++round) {
    MappingDictionary dictionary = {{"MICE", "MOUSE"}, {"WENT", "GO"}};
    for (int pairs = round % 12; pairs > 0; --pairs)
      dictionary[pick(vocabulary)] = pick(vocabulary);
    std::vector<std::string> mappedWords;
    for (int mapped = round % 4; mapped > 0; --mapped) mappedWords.push_back(pick(vocabulary));
    SentenceStore store;
    for (int sentences = 1 + round % 9; sentences > 0; --sentences) {
      std::string sentence = "A";
      for (int words = 1 + round % 5; words > 0; --words) {
        std::string word = pick(vocabulary);
        if (random() % 3 == 0 && !word.empty()) word[0] = static_cast<char>(word[0] | 0x20);
        sentence += (random() % 4 == 0 ? ", " : " ") + word;
      }
      store[random() % 2 ? "a.example" : "b.example"].insert(sentence);
    }

    std::vector<std::string> learningMapped = mappedWords;
    MappingDictionary learning = dictionary;
    InflectionIndex index;
    RankedWordList ranking;
    RunFigures figures;
    AggregateRun(store, learningMapped, learning, index, ranking, figures);
    // The command line's file: every sentence as a line, one twice, all under one host.
    std::string file;
    SentenceStore everyLine{{"h", {}}};
    for (const auto& [host, sentences] : store) {
      for (const std::string& sentence : sentences) {
        file += sentence + (random() % 2 ? "\r\n" : "\n");
        everyLine["h"].insert(sentence);
      }
    }
    file += *store.begin()->second.begin();
    std::vector<std::string> lineMapped = mappedWords;
    MappingDictionary lineLearning = dictionary;
    InflectionIndex lineIndex;
    AggregateRun(everyLine, lineMapped, lineLearning, lineIndex, ranking, figures);

    for (const std::string& word : vocabulary) {
      InflectionIndex expected;
      if (const auto entry = index.find(word); entry != index.end()) expected.insert(*entry);
      EXPECT_EQ(IndexEntryAfterRun(word, store, mappedWords, dictionary), expected)
          << "round " << round << ", word " << word;

      const SentenceStore someLines{{"h", LinesThatMayHold(file, DecidingWords(word, dictionary))}};
      EXPECT_EQ(FindSentences(someLines, word,
                              IndexEntryAfterRun(word, someLines, mappedWords, dictionary)),
                FindSentences(everyLine, word, lineIndex))
          << "round " << round << ", word " << word;
    }
  }
}

}  // namespace
}  // namespace quillmark
