#include "study/sentence_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "text/tokenizer.h"

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

// An article's sentences hold quotes and brackets, where the tokenizer cut the words it
// counted, and end as written: only the question mark keeps the dots the scanner's pieces get.
TEST(FindSentences, AnArticlesSentenceIsFoundWhereItsWordWasCountedAndEndsAsWritten) {
  const SentenceStore store{{"h",
                             {"He said \"go.\"", "They (go) now.", "Go? Yes", "Why go?",
                              "He said \xE2\x80\x9Cgo\xE2\x80\x9D.", "Crews go (as ever)",
                              "They go to the Smiths\xE2\x80\x99"}}};
  EXPECT_EQ(FindSentences(store, "go", kNoIndex),
            "[from h]\r\nCrews go (as ever)\r\nGo? Yes...\r\nHe said \"go.\"\r\nThey (go) "
            "now.\r\nThey go to the Smiths\xE2\x80\x99\r\nWhy go?...\r\n\r\n");
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

// The finder cuts sentences without building the upper-cased copy and its token list, after a
// quick test that lets most sentences go early; it must agree with cutting
// UpperCaseAscii(sentence) with SplitText at the sentence separators.
TEST(FindSentences, AgreesWithSplittingTheUpperCasedSentence) {
  std::mt19937 random(5);
  const std::string alphabet = "aAbB'` ,$!?.";
  auto randomText = [&](std::size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string sentence = randomText(40);  // several steps of each width
    std::string word;
    while (word.empty() || word.find_first_of(SentenceWordSeparators) != std::string::npos) {
      word = randomText(3);
    }
    std::set<std::string> inflected;
    for (int f = random() % 3; f > 0; --f) inflected.insert(UpperCaseAscii(randomText(5)));
    const InflectionIndex index{{UpperCaseAscii(word), inflected}};

    std::vector<std::string> forms(inflected.begin(), inflected.end());
    forms.push_back(UpperCaseAscii(word));
    const TokenList tokens = SplitText(UpperCaseAscii(sentence), SentenceWordSeparators);
    const bool expected = std::any_of(tokens.begin(), tokens.end(), [&](const std::string& t) {
      return !t.empty() && std::find(forms.begin(), forms.end(), t) != forms.end();
    });
    ASSERT_EQ(FindSentences({{"h", {sentence}}}, word, index) != kNoSentenceFound, expected)
        << "'" << sentence << "' word '" << word << "'";
  }
}

}  // namespace
}  // namespace quillmark
