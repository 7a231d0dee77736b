// The level's estimate from a check's answers, the check's drawing, and how marks move it.

#include "study/vocabulary_level.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmark {
namespace {

// Answers of `perBand` words in each band 1 ... kBandCount, known in the bands `knownUpTo` and
// below, except band `missed`; then `madeUp` made-up words of which `claimed` are claimed.
std::vector<CheckAnswer> Pattern(int knownUpTo, int missed, int madeUp, int claimed,
                                 int perBand = 5) {
  std::vector<CheckAnswer> answers;
  for (int band = 1; band <= kBandCount; ++band) {
    for (int i = 0; i < perBand; ++i) {
      answers.push_back({"W", band, band <= knownUpTo && band != missed});
    }
  }
  for (int i = 0; i < madeUp; ++i) answers.push_back({"X", 0, i < claimed});
  return answers;
}

TEST(EstimateVocabulary, BandSharesCorrectedForFalseAlarms) {
  struct Case {
    const char* what;
    std::vector<CheckAnswer> answers;
    std::int32_t estimate;
  };
  std::vector<CheckAnswer> halfOfBandSeven = Pattern(6, 0, 20, 0);
  for (int i = 0; i < 5; ++i) halfOfBandSeven.push_back({"W", 7, i < 3});
  const std::vector<Case> cases = {
      {"all known, no made-up word claimed: half of the next 10,000 too", Pattern(20, 0, 20, 0),
       25000},
      {"none known", Pattern(0, 0, 20, 0), 0},
      {"six bands known", Pattern(6, 0, 20, 0), 6000},
      {"every made-up word claimed: nothing is trusted", Pattern(20, 0, 20, 20), 0},
      {"one band missed", Pattern(8, 3, 20, 0), 7000},
      // A quarter of the made-up words claimed: a known band still counts whole, a band of
      // no hits nothing.
      {"a quarter claimed", Pattern(6, 0, 20, 5), 6000},
      // A tenth of the made-up words and of the rarest bands' words claimed: band 7's 3 of 14
      // count (3/14 - 0.1) / 0.9 of its words.
      {"band seven 3 of 14, a tenth claimed",
       [] {
         auto a = Pattern(6, 0, 10, 1, 10);
         for (auto& answer : a) {
           if (answer.band >= 18 && answer.word == "W" && &answer == &a[(answer.band - 1) * 10])
             answer.known = true;
         }
         for (int i = 0; i < 4; ++i) a.push_back({"W", 7, i < 3});
         return a;
       }(),
       6127},
      // Half the made-up words claimed but none of the rarest real words: the guessing rate
      // among real words is at most theirs, here none.
      {"made-up words claimed more than rare words",
       [] {
         auto a = Pattern(6, 0, 10, 5);
         for (int i = 0; i < 4; ++i) a.push_back({"W", 7, i < 3});
         return a;
       }(),
       6333},
      {"band seven: 3 of 10 hits", halfOfBandSeven, 6300},
      {"no real word answered", {{"X", 0, false}}, 0},
      {"only band 3 asked, known: every band takes its share", {{"W", 3, true}}, 25000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EstimateVocabulary(c.answers), c.estimate) << c.what;
  }
}

TEST(EstimateVocabulary, UnaskedBandTakesTheNearestAskedBandBelow) {
  // Bands 1 and 3 known, 5 not, the others never asked: 2 takes band 1's share, 4 band 3's,
  // 6 ... 20 band 5's.
  std::vector<CheckAnswer> answers = {{"A", 1, true}, {"B", 3, true}, {"C", 5, false}};
  EXPECT_EQ(EstimateVocabulary(answers), 4000);
  EXPECT_EQ(EstimateText(6249), "推定語彙数: 約6,200語");
  EXPECT_EQ(EstimateText(6250), "推定語彙数: 約6,300語");
  EXPECT_EQ(EstimateText(12000), "推定語彙数: 約12,000語");
  EXPECT_EQ(EstimateText(40), "推定語彙数: 約0語");
}

// A rank list of `count` lines named W1 ... Wcount (each with a comparative on rank 2).
FrequencyRanks Ranks(int count) {
  std::string bytes;
  for (int rank = 1; rank <= count; ++rank) {
    bytes += "W" + std::to_string(rank) + (rank == 2 ? " W2ER W2EST" : "") + "\r\n";
  }
  return FrequencyRanks(bytes);
}

TEST(FrequencyRanks, LinesGiveRanksAndTheLevelTakesWholeLines) {
  const FrequencyRanks ranks = Ranks(5);
  EXPECT_EQ(ranks.Size(), 5);
  EXPECT_EQ(ranks.RankOf("W1"), 1);
  EXPECT_EQ(ranks.RankOf("W2EST"), 2);
  EXPECT_EQ(ranks.RankOf("W6"), 0);
  EXPECT_EQ(ranks.WordsWithin(0), std::set<std::string>{});
  // The boundary: rank 2 within level 2, rank 3 not.
  EXPECT_EQ(ranks.WordsWithin(2), (std::set<std::string>{"W1", "W2", "W2ER", "W2EST"}));
  EXPECT_EQ(ranks.WordsWithin(99).size(), 7u);
  EXPECT_EQ(WordLines("abc\r\nDEF\r\n"), (std::vector<std::string>{"ABC", "DEF"}));
}

TEST(VocabularyCheck, DrawsEveryBandThenTheUnsureOnesAndSpreadsMadeUpWords) {
  const FrequencyRanks ranks = Ranks(kMaxCheckedLevel);
  const std::vector<std::string> madeUp = WordLines("QA\nQB\nQC\nQD\nQE\nQF\nQG\nQH\nQI\nQJ\n");
  VocabularyCheck check(ranks, madeUp, 7, CheckPlan{.realWords = 90, .madeUpWords = 10});
  std::set<std::string> seen;
  std::vector<int> asked(kBandCount + 1);
  // A learner who knows bands 1-5 and the odd ranks of band 6, and claims no made-up word.
  while (!check.Finished()) {
    const std::string word = check.CurrentWord();
    ASSERT_TRUE(seen.insert(word).second) << word;
    const std::int32_t rank = ranks.RankOf(word);
    EXPECT_EQ(rank == 0, check.AnsweredCount() % 10 == 9) << "made-up every tenth";
    if (rank > 0) ++asked[(rank - 1) / kBandSize + 1];
    check.Answer(rank > 0 && (rank <= 5000 || (rank <= 6000 && rank % 2 == 1)));
  }
  EXPECT_EQ(check.AnsweredCount(), 100);
  for (int band = 1; band <= kBandCount; ++band) {
    EXPECT_GE(asked[band], 2) << band;
    if (band != 6) {
      EXPECT_LT(asked[band], asked[6]) << band;
    }
  }
  EXPECT_GE(check.Estimate(), 5000);
  EXPECT_LE(check.Estimate(), 6000);
  check.Answer(true);
  EXPECT_EQ(check.AnsweredCount(), 100);
}

TEST(LevelAfterMark, MarksBeyondRaiseAndMarksWithinLower) {
  struct Case {
    std::int32_t level, rank;
    bool known;
    std::int32_t after;
  };
  const Case cases[] = {
      {8000, 12000, true, 8100},                               // a fortieth of 4,000
      {8000, 30000, true, 8100},                               // never more than 100
      {8000, 8001, true, 8001},                                // at least 1
      {8000, 8000, true, 8000},                                // within: a tick changes nothing
      {8000, 4000, false, 7900},   {8000, 8000, false, 7999},  // the boundary word is within
      {8000, 8001, false, 8000},  // beyond: a 知らない changes nothing
      {8000, 0, true, 8000},      // no rank
      {0, 12000, true, 0},        // no level set
      {24990, 25000, true, 24991}, {1, 1, false, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LevelAfterMark(c.level, c.rank, c.known, 25000), c.after)
        << c.level << " " << c.rank << " " << c.known;
  }
}

}  // namespace
}  // namespace quillmark
