#include "text/folded_tally.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "text/counting_tally.h"
#include "text/inflection_normalizer.h"
#include "text/word_tally.h"

namespace quillmark {
namespace {

using WordSet = std::set<std::string>;

// The fold step by step on ordered maps, the plain way; the fast fold must agree with it.
WordTally PlainFold(const WordTally& raw, MappingDictionary& dictionary, WordSet& newBaseForms) {
  WordTally result = raw;
  for (const auto& [word, count] : raw) {
    if (dictionary.contains(word)) {
      result.erase(word);
      result[dictionary[word]] += count;
      continue;
    }
    std::string base = ApplySuffixRules(word);
    if (base == word) continue;
    if (!raw.contains(base)) {
      std::string stem = StripSuffix(word, "ED");
      if (stem.empty()) stem = StripSuffix(word, "ING");
      if (stem.empty() || !raw.contains(stem + "E")) continue;
      base = stem + "E";
    }
    result.erase(word);
    result[base] += count;
    dictionary[word] = base;
    newBaseForms.insert(base);
  }
  return result;
}

// Stems with every ending the rules and fallbacks look at, so that most words have relatives.
std::string RandomWord(std::mt19937& random) {
  static const std::vector<std::string> kStems = {
      "",     "A",    "CAR",  "HOP",   "HOPE", "STUD", "STUDI", "RUN",
      "RUNN", "SWIM", "STOP", "STOPP", "MAK",  "MAKE", "WALK",  "LONGERTHANSIXTEENBYTES",
      "Z"};
  static const std::vector<std::string> kEndings = {"",    "",      "",      "S",    "ED",
                                                    "ING", "IES",   "IED",   "Y",    "E",
                                                    "ES",  "MMING", "NNING", "PPED", "PPING"};
  auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  return pick(kStems) + pick(kEndings);
}

TEST(FoldedTally, AgreesWithThePlainFoldOnRandomTalliesAndDictionaries) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> count(0, 9);
  std::uniform_int_distribution<int> size(0, 60);
  for (int round = 0; round < 400; ++round) {
    CountingTally counting;
    for (int i = size(random); i > 0; --i) {
      const std::string word = RandomWord(random);
      counting.Enter(word);
      for (int n = count(random); n > 0; --n) counting.Add(word);
    }
    MappingDictionary dictionary;
    for (int i = size(random) / 4; i > 0; --i) dictionary[RandomWord(random)] = RandomWord(random);
    const WordTally raw = counting.ToTally();

    MappingDictionary plainDictionary = dictionary;
    WordSet plainBaseForms{"KEPT"};
    const WordTally expected = PlainFold(raw, plainDictionary, plainBaseForms);

    MappingDictionary fastDictionary = dictionary;
    std::vector<std::string_view> fastBaseForms;
    const FoldedTally folded = FoldCountedWords(counting, fastDictionary, fastBaseForms);
    ASSERT_EQ(folded.ToTally(), expected);
    ASSERT_EQ(folded.Rank(), RankWords(expected));
    EXPECT_EQ(fastDictionary, plainDictionary);
    plainBaseForms.erase("KEPT");
    EXPECT_EQ(std::vector<std::string>(fastBaseForms.begin(), fastBaseForms.end()),
              std::vector<std::string>(plainBaseForms.begin(), plainBaseForms.end()));

    MappingDictionary mapDictionary = dictionary;
    WordSet mapBaseForms{"KEPT"};
    ASSERT_EQ(FoldInflections(raw, mapDictionary, mapBaseForms), expected);
    EXPECT_EQ(mapDictionary, plainDictionary);
    plainBaseForms.insert("KEPT");
    EXPECT_EQ(mapBaseForms, plainBaseForms);
  }
}

}  // namespace
}  // namespace quillmark
