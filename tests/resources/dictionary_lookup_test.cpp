// The built-in English–Japanese dictionary as the program looks words up in it: the committed
// resource, the committed mapping dictionary, through the session's own lookup.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "session/data_files.h"
#include "session/session.h"
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
  // ACKNOWLEDGEMENT is the second spelling of a line; INTERNET and APPS come from the added
  // meanings; DINING, HARDER, GENETICALLY and FORECASTERS only through the spelling rules;
  // Timor and Los must not come from time and lo.
  const Case cases[] = {
      {"internet", "internet", "インターネット"},
      {"Apps", "app", "(スマートフォンなどの)アプリ"},
      {"dining", "dine", "(一日のおもな食事として)正餐"},
      {"harder", "hard", "hardの比較級または派生語"},
      {"genetically", "genetic", "geneticの派生語"},
      {"forecasters", "forecast", "forecastの派生語"},
      {"timor", "", ""},
      {"los", "", ""},
      {"ship", "ship", "(おもに大洋を航行する)船"},
      {"SHIP", "ship", "(おもに大洋を航行する)船"},
      {"RAN", "run", "『走る』,駆ける"},
      {"sang", "sing", "『歌う』;"},
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

}  // namespace
}  // namespace quillmark
