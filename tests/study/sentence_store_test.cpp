#include "study/sentence_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "support/memory_ceiling.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

using Sentences = std::set<std::string>;

SentenceStore AfterPage(std::string_view pageText) {
  SentenceStore store;
  AddPageSentences("news.example", pageText, store);
  return store;
}

TEST(AddPageSentences, EveryFullStopEndsAPieceAndTheLastNeedsNone) {
  EXPECT_EQ(AfterPage("Hello world. This is a test"),
            (SentenceStore{{"news.example", {"Hello world", "This is a test"}}}));
}

TEST(AddPageSentences, PiecesAreTrimmedOfSpacesOnlyAndMustKeepThreeBytes) {
  EXPECT_EQ(AfterPage("Ok. Yes."), (SentenceStore{{"news.example", {"Yes"}}}));
  EXPECT_EQ(AfterPage("  Why not?  ."), (SentenceStore{{"news.example", {"Why not?"}}}));
  EXPECT_EQ(AfterPage(" Go! . No ."), (SentenceStore{{"news.example", {"Go!"}}}));
  // The empty piece between two full stops is no sentence.
  EXPECT_EQ(AfterPage("abc..def"), (SentenceStore{{"news.example", {"abc", "def"}}}));
}

TEST(AddPageSentences, OneByteOutsideTheSentenceCharactersDropsThePieceWhole) {
  EXPECT_TRUE(AfterPage("It costs $5.").empty());
  EXPECT_EQ(AfterPage("It costs $ five."), (SentenceStore{{"news.example", {"It costs $ five"}}}));
  EXPECT_TRUE(AfterPage("one\r\ntwo.").empty());
  EXPECT_TRUE(AfterPage("e-mail me. \"Quoted\" text. a:b c. tab\there. caf\xe9 ok.").empty());
  EXPECT_EQ(AfterPage("Don't `quote`, ok?"),
            (SentenceStore{{"news.example", {"Don't `quote`, ok?"}}}));
}

TEST(AddPageSentences, APageWithoutSentencesCreatesNoHostEntry) {
  SentenceStore store{{"other.example", {"Kept one"}}};
  AddPageSentences("news.example", "..Hi. 1999. \x82\xa0\x82\xa2.", store);
  EXPECT_EQ(store, (SentenceStore{{"other.example", {"Kept one"}}}));
}

TEST(AddPageSentences, ASentenceIsHeldOncePerHostButOnEveryHostThatShowsIt) {
  SentenceStore store;
  AddPageSentences("a.example", "Same words here. Same words here.", store);
  AddPageSentences("a.example", "Same words here. New one", store);
  AddPageSentences("b.example", "Same words here", store);
  EXPECT_EQ(store, (SentenceStore{{"a.example", {"New one", "Same words here"}},
                                  {"b.example", {"Same words here"}}}));
}

// The pieces are walked in place; the plain way cuts them with SplitText and TrimBlanks. The
// two agree on dense random texts of full stops, spaces, letters and a digit.
TEST(AddPageSentences, AgreesWithCuttingThePageWithSplitText) {
  std::mt19937 random(24);
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 24, ' ');
    for (char& c : text) c = ". ab1"[random() % 5];
    SentenceStore plain;
    for (const std::string& piece : SplitText(text, ".")) {
      if (const std::string trimmed = TrimBlanks(piece); IsSentence(trimmed))
        plain["h"].insert(trimmed);
    }
    SentenceStore walked;
    AddPageSentences("h", text, walked);
    ASSERT_EQ(walked, plain) << '"' << text << '"';
  }
}

// A page of 64 MiB of full stops, then one sentence, with 256 MiB of address space to spare:
// the pieces are walked, not materialised (32 bytes of empty string each would need 2 GiB).
TEST(AddPageSentences, APageOfFullStopsNeedsNoMemoryBeyondThePage) {
  if (!testing::kAddressSpaceCanBeCapped) GTEST_SKIP() << "no address-space ceiling here";
  const std::string page = std::string(64 << 20, '.') + " Last one here .";
  EXPECT_EXIT(
      {
        if (!testing::CapAddressSpaceGrowth(256 << 20)) std::_Exit(2);
        SentenceStore store;
        AddPageSentences("news.example", page, store);
        std::_Exit(store == SentenceStore{{"news.example", {"Last one here"}}} ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(IsSentence, AcceptsExactlyTheSixtySentenceCharacters) {
  int accepted = 0;
  for (int byte = 0; byte < 256; ++byte) {
    if (IsSentence(std::string(3, static_cast<char>(byte)))) ++accepted;
  }
  EXPECT_EQ(accepted, 60);
  EXPECT_FALSE(IsSentence("ab"));
}

}  // namespace
}  // namespace quillmark
