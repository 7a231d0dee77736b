#include "text/inflection_normalizer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quillmark {
namespace {

using WordSet = std::set<std::string>;

TEST(StripSuffix, NeedsAWordLongerThanTheSuffix) {
  EXPECT_EQ(StripSuffix("CARS", "S"), "CAR");
  EXPECT_EQ(StripSuffix("CAR", "S"), "");
  EXPECT_EQ(StripSuffix("S", "S"), "");
  EXPECT_EQ(StripSuffix("ING", "ING"), "");
  EXPECT_EQ(StripSuffix("", "S"), "");
  EXPECT_EQ(StripSuffix("cars", "S"), "");  // byte-exact
}

TEST(ApplySuffixRules, FirstMatchingRuleOfTheNineWins) {
  EXPECT_EQ(ApplySuffixRules("STUDIES"), "STUDY");
  EXPECT_EQ(ApplySuffixRules("SWIMMING"), "SWIM");
  EXPECT_EQ(ApplySuffixRules("RUNNING"), "RUN");
  EXPECT_EQ(ApplySuffixRules("STUDIED"), "STUDY");
  EXPECT_EQ(ApplySuffixRules("STOPPED"), "STOP");
  EXPECT_EQ(ApplySuffixRules("STOPPING"), "STOP");
  EXPECT_EQ(ApplySuffixRules("WALKED"), "WALK");
  EXPECT_EQ(ApplySuffixRules("CARS"), "CAR");
  EXPECT_EQ(ApplySuffixRules("WALKING"), "WALK");
  EXPECT_EQ(ApplySuffixRules("SHOPPINGS"), "SHOPPING");
}

TEST(ApplySuffixRules, WordsNoRuleFitsComeBackUnchanged) {
  for (const char* word : {"", "A", "CAR", "S", "ED", "ING", "cars"}) {
    EXPECT_EQ(ApplySuffixRules(word), word);
  }
  // A word equal to a longer suffix still meets a shorter rule further down the table.
  EXPECT_EQ(ApplySuffixRules("IES"), "IE");
  EXPECT_EQ(ApplySuffixRules("PPED"), "PP");
}

struct Folded {
  WordTally tally;
  MappingDictionary dictionary;
  WordSet newBaseForms;
};

Folded Fold(const WordTally& raw, MappingDictionary dictionary = {}) {
  Folded folded;
  folded.tally = FoldInflections(raw, dictionary, folded.newBaseForms);
  folded.dictionary = std::move(dictionary);
  return folded;
}

TEST(FoldInflections, RuleResultIsAcceptedOnlyWhenAttested) {
  const Folded attested = Fold({{"CAR", 2}, {"CARS", 3}});
  EXPECT_EQ(attested.tally, (WordTally{{"CAR", 5}}));
  EXPECT_EQ(attested.dictionary, (MappingDictionary{{"CARS", "CAR"}}));
  EXPECT_EQ(attested.newBaseForms, (WordSet{"CAR"}));

  const Folded alone = Fold({{"CARS", 3}});
  EXPECT_EQ(alone.tally, (WordTally{{"CARS", 3}}));
  EXPECT_TRUE(alone.dictionary.empty());
  EXPECT_TRUE(alone.newBaseForms.empty());

  // A mapped word from earlier runs attests its base form with count 0.
  EXPECT_EQ(Fold({{"CAR", 0}, {"CARS", 3}}).tally, (WordTally{{"CAR", 3}}));
}

TEST(FoldInflections, OnlyTheFirstRuleIsOffered) {
  EXPECT_EQ(Fold({{"STUDIE", 1}, {"STUDIES", 2}}).tally,
            (WordTally{{"STUDIE", 1}, {"STUDIES", 2}}));
}

TEST(FoldInflections, FallbacksPutBackTheFinalE) {
  EXPECT_EQ(Fold({{"HOP", 1}, {"HOPE", 1}, {"HOPED", 2}}).tally,
            (WordTally{{"HOP", 3}, {"HOPE", 1}}));

  const Folded hope = Fold({{"HOPE", 1}, {"HOPED", 2}});
  EXPECT_EQ(hope.tally, (WordTally{{"HOPE", 3}}));
  EXPECT_EQ(hope.dictionary, (MappingDictionary{{"HOPED", "HOPE"}}));
  EXPECT_EQ(hope.newBaseForms, (WordSet{"HOPE"}));

  EXPECT_EQ(Fold({{"HOPED", 2}}).tally, (WordTally{{"HOPED", 2}}));
  EXPECT_EQ(Fold({{"MAKE", 1}, {"MAKING", 4}}).tally, (WordTally{{"MAKE", 5}}));
  // STUDIED: the rule offers STUDY; the fallback offers STUDIE.
  EXPECT_EQ(Fold({{"STUDIE", 1}, {"STUDIED", 2}}).tally, (WordTally{{"STUDIE", 3}}));
}

TEST(FoldInflections, MovesRawCountsAndRecreatesAFoldedBaseForm) {
  EXPECT_EQ(Fold({{"MEET", 1}, {"MEETING", 2}, {"MEETINGS", 4}}).tally,
            (WordTally{{"MEET", 3}, {"MEETING", 4}}));
}

TEST(FoldInflections, CountsMovedOntoAWordAreLostWhenThatWordIsFolded) {
  // AAA moves 3 onto CARS; folding CARS later moves only its raw 2 onto CAR.
  const Folded folded = Fold({{"AAA", 3}, {"CAR", 1}, {"CARS", 2}}, {{"AAA", "CARS"}});
  EXPECT_EQ(folded.tally, (WordTally{{"CAR", 3}}));
}

TEST(FoldInflections, DictionaryWinsOverRulesAndNeedsNoAttestedBaseForm) {
  const Folded folded =
      Fold({{"BUSE", 1}, {"BUSES", 2}, {"RAN", 4}}, {{"BUSES", "BUS"}, {"RAN", "RUN"}});
  EXPECT_EQ(folded.tally, (WordTally{{"BUS", 2}, {"BUSE", 1}, {"RUN", 4}}));
  EXPECT_EQ(folded.dictionary.size(), 2u);
  EXPECT_TRUE(folded.newBaseForms.empty());
}

TEST(FoldInflections, SelfMappingKeepsAWordFromTheRulesAndResetsItsCount) {
  const Folded folded = Fold({{"ASHAM", 1}, {"ASHAMED", 2}}, {{"ASHAMED", "ASHAMED"}});
  EXPECT_EQ(folded.tally, (WordTally{{"ASHAM", 1}, {"ASHAMED", 2}}));
  EXPECT_TRUE(folded.newBaseForms.empty());

  EXPECT_EQ(Fold({{"ABASHED", 5}, {"ASHAMED", 2}}, {{"ABASHED", "ASHAMED"}, {"ASHAMED", "ASHAMED"}})
                .tally,
            (WordTally{{"ASHAMED", 2}}));
}

TEST(FoldInflections, ShortWordsAndBareSuffixesStay) {
  const WordTally raw{{"", 4}, {"A", 1}, {"ED", 1}, {"IES", 1}, {"ING", 1}, {"S", 1}, {"Y", 1}};
  const Folded folded = Fold(raw);
  EXPECT_EQ(folded.tally, raw);
  EXPECT_TRUE(folded.dictionary.empty());
  EXPECT_TRUE(Fold({}).tally.empty());
}

TEST(FoldInflections, PairsLearnedInOneCallAreDictionaryEntriesInTheNext) {
  MappingDictionary dictionary;
  WordSet firstBaseForms;
  FoldInflections({{"CAR", 1}, {"CARS", 1}}, dictionary, firstBaseForms);

  WordSet secondBaseForms;
  const WordTally second = FoldInflections({{"CARS", 3}}, dictionary, secondBaseForms);
  EXPECT_EQ(second, (WordTally{{"CAR", 3}}));
  EXPECT_TRUE(secondBaseForms.empty());
}

}  // namespace
}  // namespace quillmark
