// The built-in English–Japanese dictionary as the program looks words up in it: the committed
// resource, the committed mapping dictionary, through the session's own lookup.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "session/data_files.h"
#include "session/session.h"
#include "study/english_japanese_dictionary.h"
#include "study/vocabulary_level.h"
#include "support/fake_store_files.h"

namespace quillmark {
namespace {

std::string ReadResource(const std::string& name) {
  std::ifstream stream(std::string(QUILLMARK_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  return bytes.str();
}

class BuiltInDictionary : public ::testing::Test {
 protected:
  BuiltInDictionary() {
    files.builtIns["EJDICT"] = ReadResource("EJDICT");
    files.builtIns["MAPPING_DIC"] = ReadResource("MAPPING_DIC");
  }
  testing::FakeStoreFiles files;
  Session session{files};
};

TEST_F(BuiltInDictionary, FindsAWordItsBaseFormOrAnotherSpelling) {
  struct Case {
    const char* word;
    const char* headword;     // empty: not found
    const char* senseBegins;  // the first sense's beginning
  };
  // RAN's own entry only names its base, which the index gives; SANG's base is not in the
  // index, only in its entry ("singの過去"); FOUND and SAW, folded onto FIND and SEE, keep
  // their own entries, which have meanings of their own (to found a firm, a saw);
  // VORTICES's entry names its base after a space ("vortex の複数形"); ACKNOWLEDGEMENT is the
  // second spelling of a line; INTERNET and APPS come from the added meanings; DINING,
  // HARDER, HAPPIER, GENETICALLY, FORECASTERS, ARGUABLY and ANTIHEROES only through the
  // spelling rules; Timor, Los and Conor must not come from time, lo and con (a derived
  // word's base has four letters).
  const Case cases[] = {
      {"internet", "internet", "インターネット"},
      {"Apps", "app", "(スマートフォンなどの)アプリ"},
      {"dining", "dine", "(一日のおもな食事として)正餐"},
      {"harder", "hard", "hardの比較級または派生語"},
      {"happier", "happy", "happyの比較級または派生語"},
      {"genetically", "genetic", "geneticの派生語"},
      {"forecasters", "forecast", "forecastの派生語"},
      {"arguably", "arguable", "arguableの派生語"},
      {"antiheroes", "antihero", "反ヒーロー"},
      {"timor", "", ""},
      {"los", "", ""},
      {"conor", "", ""},
      {"ship", "ship", "(おもに大洋を航行する)船"},
      {"SHIP", "ship", "(おもに大洋を航行する)船"},
      {"RAN", "run", "『走る』,駆ける"},
      {"sang", "sing", "『歌う』;"},
      {"vortices", "vortex", "〈C〉渦,渦巻き;旋風"},
      {"found", "found", "findの過去・過去分詞"},
      {"saw", "saw", "seeの過去"},
      {"acknowledgement", "acknowledgement", "〈U〉(…を)認めること"},
      {"qwzx", "", ""},
  };
  for (const Case& c : cases) {
    const Meaning meaning = session.MeaningOf(c.word);
    EXPECT_EQ(meaning.headword, c.headword) << c.word;
    EXPECT_EQ(meaning.Found(), *c.headword != '\0') << c.word;
    if (meaning.Found()) {
      EXPECT_TRUE(meaning.senses.front().starts_with(c.senseBegins)) << c.word;
    }
  }
  EXPECT_GT(session.EnglishJapanese().EntryCount(), 45000u);
}

TEST_F(BuiltInDictionary, CardsSayWhatTheRunsNamesAndPageLabelsAre) {
  // Sanders is a name whose only meaning would be a sander's, through the plural rule.
  session.AggregateGathered({{"h.example",
                              {"Breakingviews", "BREAKINGVIEWS", "Aid reached Kosovo at last",
                               "Troops left Kosovo as Sanders spoke", "Then Sanders voted"}}});
  const CardMeaning meaningOf = session.RunWordMeanings();
  EXPECT_EQ(meaningOf("kosovo"), Session::kNameMeaning);
  EXPECT_EQ(meaningOf("sanders"), Session::kNameMeaning);
  EXPECT_EQ(meaningOf("breakingviews"), Session::kPageLabelMeaning);
  EXPECT_TRUE(meaningOf("troops").starts_with(session.MeaningText("troop"))) << meaningOf("troops");
  EXPECT_EQ(meaningOf("qwzx"), "");
}

// The search needs every spelling once, in order ignoring ASCII case: a file out of that order
// would lose words silently, so it is refused.
TEST(EnglishJapaneseDictionary, RefusesLinesOutOfTheOrderItSearches) {
  const struct {
    const char* bytes;
    bool refused;
  } cases[] = {{"sea\t海\nShip\t船\n", false},
               {"ship\t船\nsea\t海\n", true},
               {"Ship\t船\nship\t船\n", true}};
  for (const auto& c : cases) {
    bool refused = false;
    try {
      EnglishJapaneseDictionary dictionary{std::string(c.bytes)};
    } catch (const std::runtime_error&) {
      refused = true;
    }
    EXPECT_EQ(refused, c.refused) << c.bytes;
  }
}

}  // namespace
}  // namespace quillmark

namespace quillmark {
namespace {

// The vocabulary check's lists as committed: at least 20,000 ranks read through the program's
// loader, and made-up words that neither the dictionary (any way it reaches a word) nor any
// list knows, and that the fold leaves alone.
TEST_F(BuiltInDictionary, TheMadeUpWordsAreNoWordTheProgramKnows) {
  const FrequencyRanks ranks(ReadResource("FREQUENCY_RANKS"));
  EXPECT_GE(ranks.Size(), 20000);
  EXPECT_EQ(ranks.BaseOf(1), "THE");
  EXPECT_EQ(ranks.RankOf("PRETTIEST"), ranks.RankOf("PRETTY"));  // a comparative shares its line
  const std::vector<std::string> madeUp = WordLines(ReadResource("MADE_UP_WORDS"));
  ASSERT_GE(madeUp.size(), 100u);
  std::string lists;
  for (const char* name : {"NGWORDS", "MAPPEDWORDS", "MAPPING_DIC", "FREQUENCY_RANKS"}) {
    lists += "\n" + ReadResource(name) + "\n";
  }
  std::replace(lists.begin(), lists.end(), '\r', '\n');
  std::replace(lists.begin(), lists.end(), ' ', '\n');
  for (const auto& word : madeUp) {
    EXPECT_EQ(lists.find("\n" + word + "\n"), std::string::npos) << word;
    EXPECT_FALSE(session.MeaningOf(word).Found()) << word;
    EXPECT_EQ(ranks.RankOf(word), 0) << word;
  }
}

}  // namespace
}  // namespace quillmark
