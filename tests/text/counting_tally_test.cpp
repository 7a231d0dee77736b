#include "text/counting_tally.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/tokenizer.h"

namespace quillmark {
namespace {

// Texts of words in both cases, mostly short, some longer than the 16 bytes a slot holds,
// cut by every separator; some words are spoilt by a byte next to the letter ranges.
std::string RandomText(std::mt19937& random, int words) {
  static const std::string kLetters = "abcdefghijklmnopABCDEFGHIJKLMNOP";
  static const std::string kSpoilers = "'-19@[`{\x80\xc1\xda\xe1\xfa\xff";
  auto pick = [&](const std::string& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  std::uniform_int_distribution<int> shortLength(0, 7);
  std::uniform_int_distribution<int> longLength(8, 40);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string text;
  for (int word = 0; word < words; ++word) {
    std::string letters;
    for (int i = percent(random) < 80 ? shortLength(random) : longLength(random); i > 0; --i) {
      letters += pick(kLetters);
    }
    if (percent(random) < 5) {
      letters.insert(std::uniform_int_distribution<std::size_t>(0, letters.size())(random), 1,
                     pick(kSpoilers));
    }
    text += letters;
    text += pick(std::string(WordSeparators));
  }
  if (!text.empty() && percent(random) < 50) text.pop_back();  // final separator or not
  return text;
}

TEST(CountingTally, GivesTheSameTallyAndCounterAsTheOrderedTally) {
  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> words(0, 12);
  WordTally expected{{"MAPPED", 0}, {"AB", 0}};
  CountingTally counting;
  counting.Enter("MAPPED");
  counting.Enter("AB");
  std::int32_t expectedCounter = 0;
  std::int32_t counter = 0;
  // Enough distinct words to make the table grow several times.
  for (int i = 0; i < 8000; ++i) {
    const std::string text = RandomText(random, words(random));
    CountWords(expected, text, expectedCounter);
    CountWords(counting, text, counter);
  }
  EXPECT_GT(counting.size(), 2000u);
  EXPECT_EQ(counting.ToTally(), expected);
  EXPECT_EQ(counter, expectedCounter);
}

TEST(CountingTally, EnterKeepsAnExistingCountAndOrdersBytesUnsigned) {
  CountingTally counting;
  counting.Add("\xe9");
  counting.Add("Z");
  counting.Add("ZZ");
  counting.Add("Z");
  counting.Enter("Z");
  counting.Enter("");
  EXPECT_EQ(counting.ToTally(), (WordTally{{"", 0}, {"Z", 2}, {"ZZ", 1}, {"\xe9", 1}}));
  EXPECT_EQ(counting.ToTally().begin()->first, "");
  EXPECT_EQ(counting.ToTally().rbegin()->first, "\xe9");
}

}  // namespace
}  // namespace quillmark
