#include "text/reading_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/tokenizer.h"

namespace quillmark {
namespace {

using Words = std::vector<std::string>;

TEST(ReadingWords, TodaysTypographyReadAsTheWordsAReaderSees) {
  const struct {
    const char* text;
    Words words;
  } cases[] = {
      // curly quotes, guillemets, dashes and ellipses part words, two in a row too
      {"\xE2\x80\x9CHello,\xE2\x80\x9D she said\xE2\x80\x94twice\xE2\x80\x93or\xE2\x80\xA6not",
       {"Hello", "she", "said", "twice", "or", "not"}},
      {"\xE2\x80\x98quoted\xE2\x80\x99 \xC2\xABmot\xC2\xBB\xC2\xA0"
       "end",
       {"quoted", "mot", "end"}},
      // the right single quote is an apostrophe; possessives count as their word
      {"Trump\xE2\x80\x99s city\xE2\x80\x99s company's parents' homes",
       {"Trump", "city", "company", "parents", "homes"}},
      // contractions: the unambiguous ones add their word, 's and 'd do not guess
      {"don\xE2\x80\x99t can't WON'T isn't ain't",
       {"do", "not", "can", "not", "will", "not", "is", "not", "is", "not"}},
      {"we're I've she'll I'm it's he'd",
       {"we", "are", "I", "have", "she", "will", "I", "am", "it", "he"}},
      // a compound the dictionary knows is one word, any other counts as its parts; a dash
      // written as hyphens is a dash
      {"Well-known e-mail sea-crew long-drawn-out so--called -lead trail-",
       {"Well-known", "e-mail", "sea", "crew", "long", "drawn", "out", "so", "called", "lead",
        "trail"}},
      // ASCII marks the designed tokenizer keeps inside a token part words here
      {"this; and/or [that] *this* #tag", {"this", "and", "or", "that", "this", "tag"}},
      // digits and letters outside ASCII are still no words; O'Brien stays as written
      {"COVID-19 1990s caf\xC3\xA9 O'Brien 'em", {"COVID", "em"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadingWords(c.text), c.words) << c.text;
}

TEST(ReadingWords, TextWithoutTypographyIsCountedAsTheDesignedTokenizerCountsIt) {
  for (const char* text :
       {"Hello, world.", "  two  spaces\r\nand (brackets) {x} <y> & \"z\"?!", "A3 b c:d"}) {
    EXPECT_EQ(ReadingWordText(text), text);
    WordTally designed, reading;
    std::int32_t designedTokens = 0, readingTokens = 0;
    CountWords(designed, text, designedTokens);
    CountReadingWords(reading, text, readingTokens);
    EXPECT_EQ(reading, designed) << text;
    EXPECT_EQ(readingTokens, designedTokens) << text;
  }
}

}  // namespace
}  // namespace quillmark
