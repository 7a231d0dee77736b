#include "study/known_share.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(KnownSharePercent, TheKnownWordsShareOfTheCountedOnesWithOneDecimal) {
  struct Case {
    RankedWordList ranking;
    const char* share;
  };
  const std::set<std::string> known{"", "THE", "A"};
  const std::vector<Case> cases = {
      {{{"CAT", 1}, {"THE", 3}, {"", 5}}, "75.0"},  // the empty word is not a word
      {{{"SHIP", 65}, {"THE", 935}}, "93.5"},
      {{{"SHIP", 2}, {"A", 1}}, "33.3"},
      {{{"SHIP", 1}, {"A", 2}}, "66.7"},
      {{{"SHIP", 15}, {"A", 1}}, "6.3"},  // 6.25, half up
      {{{"THE", 7}}, "100.0"},
      {{{"SHIP", 7}}, "0.0"},
      {{{"THE", 2000000000}, {"SHIP", 2000000000}}, "50.0"},
      {{}, "0.0"},  // a run with no words
      {{{"", 12}}, "0.0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KnownSharePercent(c.ranking, known), c.share) << ::testing::PrintToString(c.ranking);
}

}  // namespace
}  // namespace quillmark
