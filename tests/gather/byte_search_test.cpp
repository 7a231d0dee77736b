#include "gather/byte_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quillmark {
namespace {

constexpr auto kNpos = std::string_view::npos;

// Texts of a few bytes from a small alphabet hit every block boundary and every partial
// match; the block search must agree with the plain one everywhere.
TEST(FindPattern, AgreesWithPlainFindOnRandomTexts) {
  std::mt19937 random(20240521);
  const std::string alphabet = "<>ab/\"";
  auto randomText = [&](std::size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string text = randomText(70);
    const std::string pattern = randomText(12);
    const std::size_t from = random() % (text.size() + 2);
    ASSERT_EQ(FindPattern(text, pattern, from), std::string_view(text).find(pattern, from))
        << "text '" << text << "' pattern '" << pattern << "' from " << from;
  }
}

TEST(FindPattern, FindsAtTheVeryEndAndNotPastIt) {
  const std::string text = std::string(40, 'x') + "<B>";
  EXPECT_EQ(FindPattern(text, "<B>", 0), 40u);
  EXPECT_EQ(FindPattern(text, "<B>", 41), kNpos);
  EXPECT_EQ(FindPattern(text.substr(0, 42), "<B>", 0), kNpos);
}

// Short patterns are compared in two four-byte words; longer ones must check the middle too.
TEST(FindPattern, LongPatternsDifferingOnlyInTheMiddleAreTold) {
  const std::string text = "<FRAXESET <FRAMXSET <FRAMESET x";
  for (std::size_t from : {0u, 10u, 20u}) {  // the quick check right at `from`, then the search
    EXPECT_EQ(FindPattern(text, "<FRAMESET ", from), 20u) << from;
    EXPECT_EQ(FindPattern(text, "<FRAMESET x", from), 20u) << from;
    EXPECT_EQ(FindPattern(text, "<FRAMXSET x", from), kNpos) << from;
  }
}

TEST(FindEitherByte, AgreesWithFindFirstOf) {
  std::mt19937 random(7);
  for (int round = 0; round < 5000; ++round) {
    std::string text(random() % 60, 'x');
    for (char& c : text) {
      if (random() % 25 == 0) c = (random() % 2 != 0) ? '<' : '"';
    }
    const std::size_t from = random() % (text.size() + 2);
    ASSERT_EQ(FindEitherByte(text, '<', '"', from),
              std::string_view(text).find_first_of("<\"", from))
        << text << " from " << from;
  }
}

TEST(FindNamedTagStart, AgreesWithAPlainLoop) {
  std::mt19937 random(5);
  const std::string alphabet = "<<<//@AZ[a\x80\xc1x";
  for (int round = 0; round < 5000; ++round) {
    std::string text(random() % 140, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const std::size_t from = random() % (text.size() + 2);
    std::size_t expected = kNpos;
    for (std::size_t i = from; i + 1 < text.size() && expected == kNpos; ++i) {
      const char next = text[i + 1];
      if (text[i] == '<' && ((next >= 'A' && next <= 'Z') || next == '/')) expected = i;
    }
    ASSERT_EQ(FindNamedTagStart(text, from), expected) << text << " from " << from;
  }
}

TEST(RaiseLettersUntilEither, RaisesOnlyLettersBeforeTheStopAndReturnsIt) {
  std::mt19937 random(11);
  const std::string alphabet = "az@[`{AZ>\"\x80\xe1 ";
  for (int round = 0; round < 5000; ++round) {
    std::string text(random() % 70, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const std::size_t from = random() % (text.size() + 1);
    const std::size_t stop = std::string_view(text).find_first_of(">\"", from);
    std::string expected = text;
    const std::size_t end = stop == kNpos ? text.size() : stop;
    for (std::size_t i = from; i < end; ++i) {
      if (expected[i] >= 'a' && expected[i] <= 'z')
        expected[i] = static_cast<char>(expected[i] - 32);
    }
    ASSERT_EQ(RaiseLettersUntilEither(text, from, '>', '"'), stop) << text;
    ASSERT_EQ(text, expected);
  }
}

}  // namespace
}  // namespace quillmark
