#include "study/sentence_finder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

const InflectionIndex kNoIndex;

TEST(FindSentences, InflectedFormsFromTheIndexAreFoundToo) {
  const SentenceStore store{{"History", {"The ship sank", "Two ships left"}}};
  const InflectionIndex index{{"SHIP", {"SHIPS"}}};
  EXPECT_EQ(FindSentences(store, "ship", index),
            "[from History]\r\nThe ship sank...\r\nTwo ships left...\r\n\r\n");
  EXPECT_EQ(FindSentences(store, "ship", kNoIndex), "[from History]\r\nThe ship sank...\r\n\r\n");
  // The index is looked up under the upper-case word only.
  EXPECT_EQ(FindSentences(store, "ships", index), "[from History]\r\nTwo ships left...\r\n\r\n");
}

TEST(FindSentences, MatchesWholeWordsCutOnlyAtTheSentenceSeparators) {
  const SentenceStore store{{"h", {"Don't go", "Go's way", "Gone fishing", "Well,go!now"}}};
  EXPECT_EQ(FindSentences(store, "go", kNoIndex),
            "[from h]\r\nDon't go...\r\nWell,go!now...\r\n\r\n");
  EXPECT_EQ(FindSentences(store, "don't", kNoIndex), "[from h]\r\nDon't go...\r\n\r\n");
  EXPECT_EQ(FindSentences({{"h", {"It costs $five, ok"}}}, "FIVE", kNoIndex),
            "[from h]\r\nIt costs $five, ok...\r\n\r\n");
}

TEST(FindSentences, HostsInByteOrderEachWithItsSentencesInByteOrderAndAnEmptyLine) {
  const SentenceStore store{{"b.example", {"the cat sat", "A cat ran"}},
                            {"a.example", {"no match here", "cat and dog"}},
                            {"B.example", {"Cat"}}};
  EXPECT_EQ(FindSentences(store, "cat", kNoIndex),
            "[from B.example]\r\nCat...\r\n\r\n"
            "[from a.example]\r\ncat and dog...\r\n\r\n"
            "[from b.example]\r\nA cat ran...\r\nthe cat sat...\r\n\r\n");
}

TEST(FindSentences, TheSameSentenceOnTwoHostsIsShownUnderEach) {
  const SentenceStore store{{"a.example", {"Same words here"}}, {"b.example", {"Same words here"}}};
  EXPECT_EQ(FindSentences(store, "words", kNoIndex),
            "[from a.example]\r\nSame words here...\r\n\r\n"
            "[from b.example]\r\nSame words here...\r\n\r\n");
}

TEST(FindSentences, NothingFoundGivesTheFixedTextWithoutLineBreak) {
  EXPECT_EQ(FindSentences({}, "word", kNoIndex), "Sentence NOT Found.");
  EXPECT_EQ(FindSentences({{"History", {}}}, "word", kNoIndex), "Sentence NOT Found.");
  EXPECT_EQ(FindSentences({{"h", {"Other words"}}}, "word", kNoIndex), "Sentence NOT Found.");
}

TEST(FindSentences, AnEmptyWordOrFormNeverMatchesTheGapBetweenTwoSeparators) {
  const SentenceStore store{{"h", {"Yes, sir", "No  way"}}};
  EXPECT_EQ(FindSentences(store, "", kNoIndex), "Sentence NOT Found.");
  const InflectionIndex emptyForm{{"CAT", {"", "CATS"}}};
  EXPECT_EQ(FindSentences(store, "cat", emptyForm), "Sentence NOT Found.");
}

}  // namespace
}  // namespace quillmark
