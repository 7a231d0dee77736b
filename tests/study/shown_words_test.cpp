#include "study/shown_words.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

std::vector<std::string> Captions(const std::vector<ShownWord>& rows) {
  std::vector<std::string> captions;
  for (const auto& row : rows) captions.push_back(row.caption);
  return captions;
}

TEST(SelectShownWords, MostFrequentFirstNgWordsSkippedAndOneRowMoreThanTheSetting) {
  // Ranking order: count ascending, equal counts by word descending.
  const RankedWordList ranking{{"", 1},    {"ZEBRA", 5}, {"THE", 5}, {"APPLE", 5},
                               {"CAT", 9}, {"S", 12},    {"", 40}};
  const std::set<std::string> ng{"", "THE", "S"};
  const auto rows = SelectShownWords(ranking, ng, 30);
  EXPECT_EQ(Captions(rows), (std::vector<std::string>{"cat", "apple", "zebra"}));
  EXPECT_EQ(rows.front().count, 9);

  struct Case {
    std::int32_t itemViewCount;
    std::size_t rows;
  };
  RankedWordList many;
  for (char c = 'A'; c <= 'T'; ++c) many.emplace_back(std::string(1, c) + "X", 1 + (c - 'A'));
  for (const Case c : {Case{5, 6}, Case{0, 1}, Case{-3, 1}, Case{19, 20}, Case{200, 20}}) {
    EXPECT_EQ(SelectShownWords(many, {}, c.itemViewCount).size(), c.rows) << c.itemViewCount;
  }
}

TEST(SelectShownWords, StopsAtACountBelowOne) {
  const RankedWordList ranking{{"RUN", 0}, {"SHIP", 2}};  // a mapped word nobody used
  EXPECT_EQ(Captions(SelectShownWords(ranking, {}, 30)), (std::vector<std::string>{"ship"}));
}

}  // namespace
}  // namespace quillmark
