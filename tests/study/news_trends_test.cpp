#include "study/news_trends.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

std::vector<std::string> WordsOf(const std::vector<TrendWord>& words) {
  std::vector<std::string> names;
  for (const TrendWord& word : words) names.push_back(word.word);
  return names;
}

TEST(ComputeTrends, NewAndRisingWordsAgainstTheEarlierRuns) {
  struct Case {
    const char* name;
    std::vector<WordCount> today;
    std::vector<std::vector<WordCount>> earlier;
    std::vector<std::string> newWords;
    std::vector<std::string> rising;
  };
  const std::vector<Case> cases = {
      {"a word no earlier run ranked is new; known words never are",
       {{"SHIP", 5}, {"ZORB", 2}, {"KNOWN", 9}, {"", 4}, {"ECLIPSE", 2}},
       {{{"SHIP", 5}}, {{"SHIP", 4}}},
       {"ECLIPSE", "ZORB"},
       {}},
      {"a word whose rate grew enough rises; one that held its rate does not",
       {{"TARIFF", 10}, {"SHIP", 90}},
       {{{"TARIFF", 1}, {"SHIP", 99}}, {{"SHIP", 100}}},
       {},
       {"TARIFF"}},
      {"a word seen once earlier meets the floor, a word seen once today is too rare",
       {{"RARE", 3}, {"STORM", 50}, {"ONCE", 1}, {"SHIP", 9946}},
       {{{"RARE", 1}, {"STORM", 10}, {"ONCE", 1}, {"SHIP", 99988}}},
       {},
       {"STORM", "RARE"}},
      {"a word at exactly the rising factor rises (15 per 10,000 against 10)",
       {{"TARIFF", 15}, {"SHIP", 9985}},
       {{{"TARIFF", 10}, {"SHIP", 9990}}},
       {},
       {"TARIFF"}},
      {"of words rising by one factor the more frequent come first, then in byte order",
       {{"VOTE", 20}, {"TARIFF", 20}, {"STORM", 40}, {"SHIP", 9920}},
       {{{"VOTE", 10}, {"TARIFF", 10}, {"STORM", 20}, {"SHIP", 9960}}},
       {},
       {"STORM", "TARIFF", "VOTE"}},
      {"nothing to compare with: nothing is new or rising", {{"SHIP", 5}}, {}, {}, {}},
      {"an empty run", {}, {{{"SHIP", 5}}}, {}, {}},
  };
  for (const Case& c : cases) {
    const NewsTrends trends = ComputeTrends(c.today, c.earlier, {"KNOWN"});
    EXPECT_EQ(WordsOf(trends.newWords), c.newWords) << c.name;
    EXPECT_EQ(WordsOf(trends.rising), c.rising) << c.name;
    EXPECT_EQ(trends.earlierRuns, static_cast<std::int32_t>(c.earlier.size())) << c.name;
  }
}

TEST(ComputeTrends, TheFactorIsTheRateAgainstTheMeanEarlierRateFloored) {
  // TARIFF: 1,000 per 10,000 today against a mean of (100 + 0) / 2 = 50: a factor of 20.
  // RARE: 3 per 10,000 against a mean of 0.5, floored to 1: 3, not 6. The empty word is no
  // word of the run: it counts in no rate.
  const NewsTrends trends =
      ComputeTrends({{"TARIFF", 1000}, {"RARE", 3}, {"SHIP", 8997}, {"", 5000}},
                    {{{"TARIFF", 100}, {"RARE", 1}, {"SHIP", 9899}}, {{"SHIP", 10000}}}, {});
  ASSERT_EQ(trends.rising.size(), 2u);
  EXPECT_DOUBLE_EQ(trends.rising[0].factor, 20.0);
  EXPECT_EQ(trends.rising[0].count, 1000);
  EXPECT_DOUBLE_EQ(trends.rising[1].factor, 3.0);
}

TEST(EarlierRunsInWindow, OnlyEarlierRunsOfTheLastDays) {
  constexpr std::int64_t kDay = 86'400;
  const std::int64_t now = 1'800'000'000;
  std::vector<HistoryRun> runs;
  for (const auto& [id, time] :
       std::vector<std::pair<std::int64_t, std::int64_t>>{{0, now + 1},
                                                          {1, now - 8 * kDay},
                                                          {2, now - 7 * kDay},
                                                          {3, now - kDay},
                                                          {4, now},
                                                          {5, now}}) {
    HistoryRun run;
    run.id = id;
    run.time = time;
    runs.push_back(run);
  }
  std::vector<std::int64_t> ids;
  for (const HistoryRun& run : EarlierRunsInWindow(runs, runs[4], 7)) ids.push_back(run.id);
  // Not 1 (too old), not 5 (written later), not 0 (ended later: the clock was set back since).
  EXPECT_EQ(ids, (std::vector<std::int64_t>{2, 3}));
  EXPECT_TRUE(EarlierRunsInWindow(runs, runs[1], 7).empty());
}

TEST(WordCountOverTime, ZeroWhereARunDidNotRankTheWord) {
  std::vector<HistoryRun> runs(3);
  for (int i = 0; i < 3; ++i) runs[i].id = i + 1, runs[i].time = 10 * (i + 1);
  EXPECT_EQ(WordCountOverTime(runs, {{1, 4}, {3, 7}}),
            (std::vector<RunPoint>{{10, 4}, {20, 0}, {30, 7}}));
}

}  // namespace
}  // namespace quillmark
