#include "text/word_tally.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(RankWords, OrdersByCountThenWordDescendingAndLeavesOutZeroCounts) {
  const WordTally tally{{"APPLE", 5}, {"ZEBRA", 5}, {"CAT", 9}, {"DOG", 0}};
  EXPECT_EQ(RankWords(tally), (RankedWordList{{"ZEBRA", 5}, {"APPLE", 5}, {"CAT", 9}}));
}

TEST(RankWords, TieBreakIsByteWiseWithUnsignedBytesAndPrefixFirst) {
  const WordTally tally{{"CAR", 2}, {"CARS", 2}, {"Z", 2}, {"\xe9", 2}, {"", 7}};
  EXPECT_EQ(RankWords(tally),
            (RankedWordList{{"\xe9", 2}, {"Z", 2}, {"CARS", 2}, {"CAR", 2}, {"", 7}}));
}

TEST(RankWords, TallyWithoutPositiveCountGivesEmptyList) {
  EXPECT_TRUE(RankWords({}).empty());
  EXPECT_TRUE(RankWords({{"MAPPED", 0}, {"OTHER", 0}}).empty());
}

}  // namespace
}  // namespace quillmark
