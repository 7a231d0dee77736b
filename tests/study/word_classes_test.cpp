#include "study/word_classes.h"

#include <gtest/gtest.h>

#include "study/shown_words.h"

namespace quillmark {
namespace {

TEST(ClassifyWords, NamesAndPageLabelsFromTheCaseAndLengthOfTheirSentences) {
  const struct Case {
    const char* what;
    std::string word;
    std::set<std::string> sentences;
    WordClass expected;
  } cases[] = {
      {"capitalised mid-sentence every time",
       "KOSOVO",
       {"Troops left Kosovo on Friday", "Aid reached Kosovo late", "They flew to Kosovo again"},
       WordClass::kName},
      {"capitalised only where a sentence starts",
       "KOSOVO",
       {"Kosovo is quiet again today", "Kosovo voted for a new mayor", "Why? Kosovo waits for it",
        "The long road to kosovo"},
       WordClass::kWord},
      {"too few mid-sentence occurrences to judge",
       "KOSOVO",
       {"Troops left Kosovo today", "Kosovo is quiet again today"},
       WordClass::kWord},
      {"capitalised after '?' (a sentence start) and once mid-sentence",
       "KOSOVO",
       {"Why? Kosovo waits for it", "And now? Kosovo votes again", "Troops left Kosovo today"},
       WordClass::kWord},
      {"an ordinary word capitalised once in a title",
       "ELECTION",
       {"The Election of the year", "an election was held today", "the election went well",
        "after the election they met"},
       WordClass::kWord},
      {"capitals in shouted headings are no evidence",
       "ELECTION",
       {"WE WANT ELECTION NEWS NOW", "THE ELECTION IS OVER", "VOTE IN THE ELECTION TODAY"},
       WordClass::kWord},
      {"mostly in lines of three words or fewer",
       "RELATED",
       {"Related sites", "Related stories here", "RELATED", "stories related to the vote"},
       WordClass::kPageLabel},
      {"a menu's words are capitalised too: a label before a name",
       "STORIES",
       {"Top Stories", "More Stories", "Local Stories"},
       WordClass::kPageLabel},
      {"in short lines only half the time",
       "RELATED",
       {"Related sites", "stories related to the vote", "Related", "events related to it all"},
       WordClass::kWord},
  };
  for (const Case& c : cases) {
    const SentenceStore store{{"example.com", c.sentences}};
    const RankedWordList ranking{{c.word, 4}};
    EXPECT_EQ(ClassifyWords(ranking, {}, store, {}).at(c.word), c.expected) << c.what;
  }
}

TEST(ClassifyWords, CountsTheFoldedFormsAndLeavesOutNgWords) {
  // RELATES alone would not make RELATE a label; with the index its short lines count.
  const SentenceStore store{
      {"a.example", {"Relates", "See relates", "it relates to nothing at all"}}};
  const RankedWordList ranking{{"THE", 2}, {"RELATE", 3}};
  const InflectionIndex index{{"RELATE", {"RELATES"}}};
  const WordClasses classes = ClassifyWords(ranking, {"THE"}, store, index);
  EXPECT_EQ(classes, (WordClasses{{"RELATE", WordClass::kPageLabel}}));
  EXPECT_EQ(ClassifyWords(ranking, {"THE"}, store, {}).at("RELATE"), WordClass::kWord);
}

TEST(SelectShownWords, HidesNamesAndPageLabelsOnlyWhenAsked) {
  const RankedWordList ranking{{"VOTE", 3}, {"STORY", 4}, {"KOSOVO", 5}, {"THE", 9}};
  const WordClasses classes{
      {"VOTE", WordClass::kWord}, {"STORY", WordClass::kPageLabel}, {"KOSOVO", WordClass::kName}};
  const std::set<std::string> ng{"THE"};
  std::vector<std::string> shown;
  for (const auto& row : SelectShownWords(ranking, ng, {}, 30)) shown.push_back(row.caption);
  EXPECT_EQ(shown, (std::vector<std::string>{"kosovo", "story", "vote"}));
  shown.clear();
  for (const auto& row : SelectShownWords(ranking, ng, NamesAndPageLabels(classes), 30))
    shown.push_back(row.caption);
  EXPECT_EQ(shown, (std::vector<std::string>{"vote"}));
}

}  // namespace
}  // namespace quillmark
