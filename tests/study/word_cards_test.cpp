#include "study/word_cards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace quillmark {
namespace {

// Read from the end: the empty word, SHIP, THE, CAT, RUN, ZEBRA.
const RankedWordList kRanking{{"ZEBRA", 1}, {"RUN", 1},  {"CAT", 2},
                              {"THE", 3},   {"SHIP", 4}, {"", 50}};
const std::set<std::string> kNgWords{"", "THE"};
const InflectionIndex kIndex{{"SHIP", {"SHIPS"}}};
const SentenceStore kSentences{
    {"a.example", {"A ship", "A ship sailed into the harbour today", "My cat ran", "Zebra one"}},
    {"b.example", {"A cat \tno", "Ships, shipyards & ship <news> now", "Zebra two"}},
};
// A meaning for SHIP only, with bytes that must be escaped or would cut the line.
const CardMeaning kMeaningOf = [](const std::string& word) {
  return word == "ship" ? std::string("<船> & 艦\tふね") : std::string();
};

TEST(WriteWordCards, TheShownWordsWithTheirBestExampleHostAndDictionaryAddress) {
  // SHIP: the shortest sentence of five words or more, though a shorter fragment holds it;
  // its inflected form is bold too, a longer word that begins with it is not. CAT: only
  // fragments, so the shortest; the tab in it would cut the line.
  // The meaning last, escaped as the sentence is; none leaves the field empty.
  EXPECT_EQ(WriteWordCards(kRanking, kNgWords, 1, CardWords::kShown, kSentences, kIndex,
                           WebDictionary::kRnn, kMeaningOf),
            std::string(kWordCardsHeader) +
                "ship\t4\t<b>Ships</b>, shipyards &amp; <b>ship</b> &lt;news&gt; now\tb.example\t"
                "http://www.rnnnews.jp/search/rnnseek.php?IDv1=ship&IDn1=keys1\t"
                "&lt;船&gt; &amp; 艦 ふね\n"
                "cat\t2\tA <b>cat</b>  no\tb.example\t"
                "http://www.rnnnews.jp/search/rnnseek.php?IDv1=cat&IDn1=keys1\t\n");
  EXPECT_EQ(std::string(kWordCardsHeader),
            "#separator:tab\n#html:true\n#columns:word\tcount\texample\thost\taddress\tmeaning\n");
}

TEST(WriteWordCards, AllRankedWordsPastTheLimitAndAWordNoSentenceHolds) {
  const std::string cards = WriteWordCards(kRanking, kNgWords, 0, CardWords::kAllRanked, kSentences,
                                           kIndex, WebDictionary::kGoo, kMeaningOf);
  // Two examples equally short: the first host's.
  const std::string tail =
      "run\t1\t\t\thttp://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?MT=run&sw=0\t\n"
      "zebra\t1\t<b>Zebra</b> one\ta.example\t"
      "http://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?MT=zebra&sw=0\t\n";
  ASSERT_GE(cards.size(), tail.size());
  EXPECT_TRUE(cards.starts_with(std::string(kWordCardsHeader) + "ship\t4\t")) << cards;
  EXPECT_EQ(cards.substr(cards.size() - tail.size()), tail) << cards;
  EXPECT_EQ(std::count(cards.begin(), cards.end(), '\n'), 3 + 4);

  EXPECT_EQ(WriteWordCards({}, kNgWords, 30, CardWords::kShown, kSentences, kIndex,
                           WebDictionary::kLycos, kMeaningOf),
            kWordCardsHeader);
}

TEST(WriteWordCards, AWholeSentenceBeforeOneCutAtAnAbbreviationOrBegunInLowerCase) {
  const RankedWordList ranking{{"BUSH", 5}};
  const auto example = [&](std::set<std::string> sentences) {
    const std::string card =
        WriteWordCards(ranking, {}, 30, CardWords::kShown, {{"h.example", sentences}}, {},
                       WebDictionary::kGoo, kMeaningOf)
            .substr(std::strlen(kWordCardsHeader));
    return card.substr(7, card.find("\th.example") - 7);  // after "bush\t5\t"
  };
  EXPECT_EQ(example({"Bush reacts to the U", "Talks with Bush and Mr", "bush fires spread again",
                     "The ruling in Bush v", "Bush met the leaders of both parties"}),
            "<b>Bush</b> met the leaders of both parties");
  // Without a whole sentence, the shortest of five words or more, as before.
  EXPECT_EQ(example({"Bush reacts to the U", "Bush", "bush fires spread across it"}),
            "<b>Bush</b> reacts to the U");
}

}  // namespace
}  // namespace quillmark
