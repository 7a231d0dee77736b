#include "session/run_aggregation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/hidden_words.h"

namespace quillmark {
namespace {

using Words = std::vector<std::string>;

// The main window's items that a run reads and changes.
struct MainItems {
  SentenceStore sentences;
  Words mappedWords;
  MappingDictionary dictionary;
  InflectionIndex index;
  RankedWordList ranking;
  RunFigures figures;

  void Run(SentenceStore store) {
    sentences = std::move(store);
    figures = RunFigures{};  // the gathering run resets the figures first
    AggregateRun(sentences, mappedWords, dictionary, index, ranking, figures);
  }
};

// Sentences of exactly `total` bytes in all, under one host.
SentenceStore SentencesOfSize(std::size_t total) {
  SentenceStore store;
  for (int i = 0; total > 0; ++i) {
    const std::size_t length = std::min<std::size_t>(total, 100);
    std::string sentence(length, 'a');
    sentence[0] = static_cast<char>('a' + i % 26);  // keep the sentences distinct
    sentence[1] = static_cast<char>('a' + i / 26);
    store["www.example.com"].insert(sentence);
    total -= length;
  }
  return store;
}

TEST(AggregateRun, DataSizeIsTheBytesOfAllSentences) {
  MainItems items;
  items.Run(SentencesOfSize(1023));
  EXPECT_EQ(items.figures.dataSize, 1023u);
  EXPECT_EQ(items.figures.dataSize / 1024, 0u);  // shown as 0 KB
  items.Run(SentencesOfSize(2048));
  EXPECT_EQ(items.figures.dataSize, 2048u);
  EXPECT_EQ(items.figures.dataSize / 1024, 2u);
}

TEST(AggregateRun, WordFiguresCountEmptyTokensBeforeAndRankedPairsAfter) {
  MainItems items;
  items.Run({{"www.example.com", {"Hello, world", "Worlds apart"}}});
  // HELLO '' WORLD | WORLDS APART; WORLDS folds into WORLD.
  EXPECT_EQ(items.figures.wordsBeforeAggregation, 5);
  EXPECT_EQ(items.ranking, (RankedWordList{{"HELLO", 1}, {"APART", 1}, {"", 1}, {"WORLD", 2}}));
  EXPECT_EQ(items.figures.wordsAfterAggregation, 4);
}

TEST(AggregateRun, SentenceUnderTwoHostsCountsTwice) {
  MainItems items;
  items.Run({{"a.example.com", {"Dogs bark"}}, {"b.example.com", {"Dogs bark"}}});
  EXPECT_EQ(items.ranking, (RankedWordList{{"DOGS", 2}, {"BARK", 2}}));
  EXPECT_EQ(items.figures.wordsBeforeAggregation, 4);
  EXPECT_EQ(items.figures.dataSize, 18u);
}

TEST(AggregateRun, MappedWordsAttestBaseFormsButAreNotRankedWithCountZero) {
  MainItems items;
  items.mappedWords = {"CAR", "ZEBRA", "CAR"};
  items.Run({{"History", {"Cars cars cars"}}});
  EXPECT_EQ(items.ranking, (RankedWordList{{"CAR", 3}}));
  EXPECT_EQ(items.figures.wordsAfterAggregation, 1);
  // The learned base form is appended although it is already on the list.
  EXPECT_EQ(items.mappedWords, (Words{"CAR", "ZEBRA", "CAR", "CAR"}));
  EXPECT_EQ(items.dictionary.at("CARS"), "CAR");
}

TEST(AggregateRun, NewBaseFormsAreAppendedInByteOrder) {
  MainItems items;
  items.mappedWords = {"ZOO"};
  items.Run({{"www.example.com", {"walked walk, cars car, hoped hope"}}});
  EXPECT_EQ(items.mappedWords, (Words{"ZOO", "CAR", "HOPE", "WALK"}));
}

TEST(AggregateRun, IndexListsEveryDictionaryFormOfARankedWord) {
  MainItems items;
  items.dictionary = {{"RAN", "RUN"}, {"RUNS", "RUN"}, {"MICE", "MOUSE"}};
  items.mappedWords = {"RUN"};
  items.Run({{"www.example.com", {"Running ran"}}});
  EXPECT_EQ(items.ranking, (RankedWordList{{"RUN", 2}}));
  // RUNNING was learned in this run; MOUSE is not ranked, so MICE is not indexed.
  EXPECT_EQ(items.index, (InflectionIndex{{"RUN", {"RAN", "RUNNING", "RUNS"}}}));
}

TEST(AggregateRun, SecondRunReplacesRankingButKeepsWhatTheFirstLearned) {
  MainItems items;
  items.dictionary = {{"GEESE", "GOOSE"}};
  items.Run({{"www.example.com", {"Cars car geese"}}});
  ASSERT_EQ(items.index, (InflectionIndex{{"CAR", {"CARS"}}, {"GOOSE", {"GEESE"}}}));

  items.Run({{"www.example.com", {"Two cars"}}});  // CAR itself is not attested now
  EXPECT_EQ(items.ranking, (RankedWordList{{"TWO", 1}, {"CAR", 1}}));
  EXPECT_EQ(items.figures.wordsBeforeAggregation, 2);
  EXPECT_EQ(items.index, (InflectionIndex{{"CAR", {"CARS"}}, {"GOOSE", {"GEESE"}}}));
  EXPECT_EQ(items.mappedWords, (Words{"CAR"}));
}

TEST(AggregateRun, IndexEntriesGrowAndNewBaseFormsJoinAroundThem) {
  MainItems items;
  items.dictionary = {{"GEESE", "GOOSE"}, {"ZEBRAS", "ZEBRA"}};
  items.Run({{"www.example.com", {"Geese and zebras"}}});
  ASSERT_EQ(items.index, (InflectionIndex{{"GOOSE", {"GEESE"}}, {"ZEBRA", {"ZEBRAS"}}}));

  items.Run({{"www.example.com", {"Cars car, goose goosed zebras"}}});
  EXPECT_EQ(
      items.index,
      (InflectionIndex{{"CAR", {"CARS"}}, {"GOOSE", {"GEESE", "GOOSED"}}, {"ZEBRA", {"ZEBRAS"}}}));
}

TEST(AggregateRun, ARunReadAsArticlesCountsTheWordsOfTodaysTypography) {
  const SentenceStore store{
      {"a.example", {"Trump\xE2\x80\x99s \xE2\x80\x9Cwell-known\xE2\x80\x9D plan", "don't go"}}};
  MainItems designed, article;
  designed.Run(store);
  article.sentences = store;
  AggregateRun(article.sentences, article.mappedWords, article.dictionary, article.index,
               article.ranking, article.figures, WordReading::kArticle);
  EXPECT_EQ(designed.ranking, (RankedWordList{{"PLAN", 1}, {"GO", 1}}));
  EXPECT_EQ(article.ranking,
            (RankedWordList{
                {"WELL-KNOWN", 1}, {"TRUMP", 1}, {"PLAN", 1}, {"NOT", 1}, {"GO", 1}, {"DO", 1}}));
}

TEST(AggregateRun, EmptyStoreGivesEmptyRankingAndZeroFigures) {
  MainItems items;
  items.mappedWords = {"CAR"};
  items.ranking = {{"OLD", 1}};
  items.Run({});
  EXPECT_TRUE(items.ranking.empty());
  EXPECT_EQ(items.figures.dataSize, 0u);
  EXPECT_EQ(items.figures.wordsBeforeAggregation, 0);
  EXPECT_EQ(items.figures.wordsAfterAggregation, 0);
  EXPECT_TRUE(items.index.empty());
  EXPECT_EQ(items.mappedWords, (Words{"CAR"}));
}

}  // namespace
}  // namespace quillmark

namespace quillmark {
namespace {

TEST(WordsNotShown, AddTheRunsNamesAndPageLabelsToTheNgWordsOnlyWhenAsked) {
  MainStores stores;
  stores.ngWords = {"", "THE"};
  stores.sentences = {{"h.example",
                       {"RELATED", "Related", "Troops left Kosovo on Friday",
                        "Aid reached Kosovo at last", "The vote was held in the spring"}}};
  AggregateRun(stores.sentences, stores.mappedWords, stores.dictionary, stores.inflectionIndex,
               stores.ranking, stores.figures);
  EXPECT_EQ(HiddenRowWords(stores, false), std::set<std::string>{});
  EXPECT_EQ(HiddenRowWords(stores, true), (std::set<std::string>{"KOSOVO", "RELATED"}));
  EXPECT_EQ(WordsNotShown(stores, true), (std::set<std::string>{"", "KOSOVO", "RELATED", "THE"}));
}

}  // namespace
}  // namespace quillmark
