#include "text/tokenizer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quillmark {
namespace {

using Tokens = TokenList;

TEST(SplitText, EverySeparatorEndsATokenButTheLastEmptyOneIsDropped) {
  EXPECT_EQ(SplitText("a..b", "."), (Tokens{"a", "", "b"}));
  EXPECT_EQ(SplitText("a.", "."), (Tokens{"a"}));
  EXPECT_EQ(SplitText(".", "."), (Tokens{""}));
  EXPECT_EQ(SplitText("", "."), (Tokens{}));
  EXPECT_EQ(SplitText(".a", "."), (Tokens{"", "a"}));
  EXPECT_EQ(SplitText("..", "."), (Tokens{"", ""}));
}

TEST(SplitText, SeparatorsAreASetOfBytes) {
  EXPECT_EQ(SplitText("a,b;c,,d", ";,;"), (Tokens{"a", "b", "c", "", "d"}));
  EXPECT_EQ(SplitText("a\xff"
                      "b",
                      "\xff"),
            (Tokens{"a", "b"}));
}

TEST(TrimBlanks, RemovesOnlySpaces) {
  EXPECT_EQ(TrimBlanks("  AB  "), "AB");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks(""), "");
  EXPECT_EQ(TrimBlanks("\tA "), "\tA");
  EXPECT_EQ(TrimBlanks(" A B\r\n"), "A B\r\n");
}

TEST(UpperCaseAscii, ChangesOnlyLowerCaseAsciiLetters) {
  EXPECT_EQ(UpperCaseAscii("aZ9-\x81\xe0q"), "AZ9-\x81\xe0Q");
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    const int expected = (byte >= 'a' && byte <= 'z') ? byte - 0x20 : byte;
    EXPECT_EQ(UpperCaseAscii(text), std::string(1, static_cast<char>(expected))) << byte;
  }
}

TEST(KeepAlphabetic, KeepsLetterOnlyTokensAsGivenAndTheEmptyOne) {
  EXPECT_EQ(KeepAlphabetic({"abc", "", "a1", "don't", "e-mail", "caf\xe9", "XyZ", "\x82\x61"}),
            (Tokens{"abc", "", "XyZ"}));
}

struct Counted {
  WordTally tally;
  std::int32_t counter = 0;
};

Counted Count(std::string_view text) {
  Counted counted;
  CountWords(counted.tally, text, counted.counter);
  return counted;
}

TEST(CountWords, CountsTheEmptyWordBetweenTwoSeparators) {
  const Counted counted = Count("Hello, world.");
  EXPECT_EQ(counted.tally, (WordTally{{"", 1}, {"HELLO", 1}, {"WORLD", 1}}));
  EXPECT_EQ(counted.counter, 3);

  EXPECT_EQ(Count("U.S.").tally, (WordTally{{"S", 1}, {"U", 1}}));
  EXPECT_EQ(Count("(a)").tally, (WordTally{{"", 1}, {"A", 1}}));
}

TEST(CountWords, TextOfSeparatorsOnlyGivesOneEmptyWordPerSeparator) {
  const Counted counted = Count("\r\n\r\n");
  EXPECT_EQ(counted.tally, (WordTally{{"", 4}}));
  EXPECT_EQ(counted.counter, 4);

  const Counted empty = Count("");
  EXPECT_TRUE(empty.tally.empty());
  EXPECT_EQ(empty.counter, 0);
}

TEST(CountWords, DropsEveryTokenHoldingANonLetterWhole) {
  const Counted counted = Count("don't e-mail 1999 x+y a;b a/b [a] caf\xe9 \xe1 \x82\x61 ok");
  EXPECT_EQ(counted.tally, (WordTally{{"OK", 1}}));
  EXPECT_EQ(counted.counter, 1);
}

TEST(CountWords, CutsAtEachOfTheSeventeenSeparators) {
  ASSERT_EQ(WordSeparators.size(), 17u);
  for (char separator : WordSeparators) {
    const Counted counted = Count(std::string("ab") + separator + "cd");
    EXPECT_EQ(counted.tally, (WordTally{{"AB", 1}, {"CD", 1}})) << int(separator);
  }
}

TEST(CountWords, UpperCasesAndAddsToWhatTheTallyAndCounterHold) {
  WordTally tally{{"AND", 0}, {"ZOO", 5}};
  std::int32_t counter = 10;
  CountWords(tally, "aNd AND and", counter);
  EXPECT_EQ(tally, (WordTally{{"AND", 3}, {"ZOO", 5}}));
  EXPECT_EQ(counter, 13);
}

TEST(CountWords, LongerTextAfterShorterOneIsCutWhole) {
  // The working buffer is reused between calls; stale bytes must never leak into words.
  Counted counted;
  CountWords(counted.tally, "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", counted.counter);
  CountWords(counted.tally, "ab", counted.counter);
  CountWords(counted.tally, "abc def ghi jkl mno pqr stu vwx yz", counted.counter);
  EXPECT_EQ(counted.tally.at("AB"), 1);
  EXPECT_EQ(counted.tally.at("YZ"), 1);
  EXPECT_EQ(counted.tally.at(std::string(30, 'Z')), 1);
  EXPECT_EQ(counted.counter, 11);
}

// CountWords does in one pass what its three steps do; any text must give what they give.
TEST(CountWords, EqualsUpperCaseThenSplitThenKeepAlphabetic) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::uniform_int_distribution<int> length(0, 70);
  std::uniform_int_distribution<int> percent(0, 99);
  const std::string separators(WordSeparators);
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) {
      const int roll = percent(random);
      if (roll < 65) {
        text += letters[static_cast<std::size_t>(anyByte(random)) % letters.size()];
      } else if (roll < 85) {
        text += separators[static_cast<std::size_t>(anyByte(random)) % separators.size()];
      } else {
        text += static_cast<char>(anyByte(random));
      }
    }
    WordTally expected;
    std::int32_t expectedCounter = 0;
    const TokenList kept = KeepAlphabetic(SplitText(UpperCaseAscii(text), WordSeparators));
    for (const std::string& token : kept) ++expected[token];
    expectedCounter += static_cast<std::int32_t>(kept.size());

    const Counted counted = Count(text);
    ASSERT_EQ(counted.tally, expected) << text;
    ASSERT_EQ(counted.counter, expectedCounter) << text;
  }
}

}  // namespace
}  // namespace quillmark
