#include "study/article_words.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(ArticleStanding, CountsOccurrencesAndDistinctUnknownWordsAgainstTheKnownList) {
  struct Case {
    std::vector<WordCount> words;
    ArticleStanding standing;
  };
  const std::set<std::string> known{"", "THE", "A"};
  const std::vector<Case> cases = {
      {{{"A", 1}, {"CAT", 1}, {"THE", 2}}, {4, 1, 750}},
      {{{"A", 49}, {"ZEBRA", 1}}, {50, 1, 980}},
      {{{"A", 19}, {"ZEBRA", 1}}, {20, 1, 950}},
      {{{"", 9}, {"SHIP", 2}, {"SEA", 0}}, {2, 1, 0}},  // the empty word and zero counts: no word
      {{}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    const ArticleStanding standing = StandingOf(c.words, known);
    EXPECT_EQ(standing.runningWords, c.standing.runningWords);
    EXPECT_EQ(standing.unknownWords, c.standing.unknownWords);
    EXPECT_EQ(standing.knownShareTenths, c.standing.knownShareTenths);
  }
}

TEST(ArticleStanding, ReadabilityStartsAtNinetyEightAndNinetyFivePercent) {
  const std::vector<std::pair<std::int32_t, Readability>> cases = {
      {1000, Readability::kEasy},          {980, Readability::kEasy},
      {979, Readability::kWithDictionary}, {950, Readability::kWithDictionary},
      {949, Readability::kHard},           {0, Readability::kHard}};
  for (const auto& [tenths, readability] : cases)
    EXPECT_EQ(ReadabilityOf(tenths), readability) << tenths;
}

TEST(ArticleStanding, MostReadableFirstByShareThenFewestUnknownThenMostWords) {
  const std::vector<ArticleStanding> standings = {{100, 5, 950}, {100, 2, 990}, {300, 5, 950},
                                                  {200, 3, 950}, {100, 2, 990}, {10, 9, 400}};
  EXPECT_EQ(MostReadableFirst(standings), (std::vector<std::size_t>{1, 4, 3, 2, 0, 5}));
}

TEST(ArticlePieces, GiveTheParagraphBackAndMarkEveryWordTheReadingCounts) {
  struct Case {
    const char* paragraph;
    std::vector<std::pair<const char*, bool>> pieces;
  };
  const std::vector<Case> cases = {
      {"The cat sat.",
       {{"The", true}, {" ", false}, {"cat", true}, {" ", false}, {"sat", true}, {".", false}}},
      {"  (Don't) 42 go", {{"  (", false}, {"Don't", true}, {") 42 ", false}, {"go", true}}},
      {"caf\xC3\xA9 ok", {{"caf\xC3\xA9 ", false}, {"ok", true}}},
      {"a-b;c", {{"a", true}, {"-", false}, {"b", true}, {";", false}, {"c", true}}},
      {"a well-known sea-crew",
       {{"a", true},
        {" ", false},
        {"well-known", true},
        {" ", false},
        {"sea", true},
        {"-", false},
        {"crew", true}}},
      {"\xE2\x80\x9C"
       "city\xE2\x80\x99s\xE2\x80\x9D\xE2\x80\x94parents\xE2\x80\x99",
       {{"\xE2\x80\x9C", false},
        {"city\xE2\x80\x99s", true},
        {"\xE2\x80\x9D\xE2\x80\x94", false},
        {"parents", true},
        {"\xE2\x80\x99", false}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const std::vector<TextPiece> pieces = CutIntoPieces(c.paragraph);
    ASSERT_EQ(pieces.size(), c.pieces.size()) << c.paragraph;
    std::string whole;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      EXPECT_EQ(pieces[i].text, c.pieces[i].first) << c.paragraph;
      EXPECT_EQ(pieces[i].word, c.pieces[i].second) << c.paragraph;
      whole += pieces[i].text;
    }
    EXPECT_EQ(whole, c.paragraph);
  }
}

TEST(ArticleWordCounter, FoldsAsTheRunDoesWithoutChangingTheSessionsLists) {
  const std::vector<std::string> mapped{"STUDY", "WALK"};
  const MappingDictionary dictionary{
      {"RAN", "RUN"}, {"WENT", "GO"}, {"SANG", "SING"}, {"HOME", "HOME"}};
  const ArticleWordCounter counter(mapped, dictionary);
  KeptArticle article;
  article.paragraphs = {"She ran and ran. They studies hard.", "He walked home. She ran and ran.",
                        "Numbers 42 stay. Went", "Don't mark this-one.", "Ok. Line sang."};
  const ArticleWords words = counter.Count(
      article, {"She ran and ran.", "They studies hard.",  // STUDIES folds onto mapped STUDY
                "He walked home.", "She ran and ran.",     // the same sentence counts once
                "Numbers 42 stay.", "Went", "Don't mark this-one.", "Hi", "Ok.", "Line\nsang.",
                "Car\rriage."});
  EXPECT_EQ(words.counts, (std::vector<WordCount>{{"AND", 1},
                                                  {"DO", 1},
                                                  {"GO", 1},
                                                  {"HARD", 1},
                                                  {"HE", 1},
                                                  {"HOME", 1},
                                                  {"MARK", 1},
                                                  {"NOT", 1},
                                                  {"NUMBERS", 1},
                                                  {"OK", 1},
                                                  {"ONE", 1},
                                                  {"RUN", 2},
                                                  {"SHE", 1},
                                                  {"STAY", 1},
                                                  {"STUDY", 1},
                                                  {"THEY", 1},
                                                  {"THIS", 1},
                                                  {"WALK", 1}}));
  EXPECT_EQ(words.baseOf.at("RAN"), "RUN");
  EXPECT_EQ(words.baseOf.at("STUDIES"), "STUDY");
  EXPECT_EQ(words.baseOf.at("WALKED"), "WALK");
  EXPECT_FALSE(words.baseOf.contains("NUMBERS"));  // NUMBER is attested nowhere
  EXPECT_FALSE(words.baseOf.contains("HOME"));     // a word mapped onto itself has no base
  EXPECT_EQ(words.baseOf.at("SANG"), "SING");      // in the text, though in no sentence kept
  EXPECT_EQ(CountedWordOf("Ran", words.baseOf), "RUN");
  EXPECT_EQ(CountedWordOf("ship", words.baseOf), "SHIP");
  EXPECT_EQ(CountedWordOf("Don't", words.baseOf), "DO");
  EXPECT_EQ(CountedWordOf("Well-known", words.baseOf), "WELL-KNOWN");
  EXPECT_EQ(dictionary.size(), 4u);
}

}  // namespace
}  // namespace quillmark
