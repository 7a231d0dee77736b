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

TEST(BuiltInDictionary, FindsAWordItsBaseFormOrAnotherSpelling) {
  testing::FakeStoreFiles files;
  files.builtIns["EJDICT"] = ReadResource("EJDICT");
  files.builtIns["MAPPING_DIC"] = ReadResource("MAPPING_DIC");
  Session session(files);
  LoadMappingDictionary(session.Stores(), files);

  struct Case {
    const char* word;
    const char* headword;     // empty: not found
    const char* senseBegins;  // the first sense's beginning
  };
  // RAN's own entry only names its base, which the index gives; SANG's base is not in the
  // index, only in its entry ("singの過去"); ACKNOWLEDGEMENT is the second spelling of a line.
  const Case cases[] = {
      {"ship", "ship", "(おもに大洋を航行する)船"},
      {"SHIP", "ship", "(おもに大洋を航行する)船"},
      {"RAN", "run", "『走る』,駆ける"},
      {"sang", "sing", "『歌う』;"},
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

}  // namespace
}  // namespace quillmark
