// The structured data's strings: escapes as JSON writes them (RFC 8259, section 7), and the
// hand-written mistakes of real pages, each a table row with the text on both sides of it.
#include <gtest/gtest.h>

#include <string>

#include "article/json_ld.h"

namespace quillmark {
namespace {

struct StringCase {
  const char* document;
  const char* wanted;
};

TEST(JsonLdString, DecodesEscapesAndRepairsTheBadOnes) {
  const StringCase cases[] = {
      {R"({"articleBody":"a\"b\\c\/d\ne\tf"})", "a\"b\\c/d\ne\tf"},
      {R"({"articleBody":"caf\u00e9 \u20AC"})", "caf\xC3\xA9 \xE2\x82\xAC"},
      {R"({"articleBody":"\u00a9 \u00AF"})", "\xC2\xA9 \xC2\xAF"},  // every hex digit's case
      // A pair is one character; either half alone is U+FFFD, and so is every other bad escape.
      {R"({"articleBody":"a\ud83d\ude00b"})",
       "a\xF0\x9F\x98\x80"
       "b"},
      {R"({"articleBody":"a\ud800b"})",
       "a\xEF\xBF\xBD"
       "b"},
      {R"({"articleBody":"a\ude00\ud83db"})",
       "a\xEF\xBF\xBD\xEF\xBF\xBD"
       "b"},
      {R"({"articleBody":"x\uZZZZy"})", "x\xEF\xBF\xBDZZZZy"},
      {R"({"articleBody":"C:\users\x"})", "C:\xEF\xBF\xBDsers\xEF\xBF\xBD"},
      {R"({"articleBody":"\u-x1z and more"})", "\xEF\xBF\xBD-x1z and more"},
      {R"({"articleBody":"cut \u12"})",
       "cut \xEF\xBF\xBD"
       "12"},
      // Raw line breaks inside a string, as hand-made pages write them.
      {"{\"articleBody\":\"one\ntwo\"}", "one\ntwo"},
      // The first string of the key at any depth, in document order; other values pass by.
      {R"({"@graph":[{"articleBody":7},{"b":{"articleBody":"first"}},{"articleBody":"second"}]})",
       "first"},
      {R"({"headline":"articleBody","x":"y"})", ""},
      // No JSON: nothing, not a guess.
      {R"({"articleBody":"unterminated)", ""},
      {R"({"articleBody":"ok"} trailing)", ""},
      {"", ""},
  };
  for (const StringCase& c : cases) {
    SCOPED_TRACE(c.document);
    EXPECT_EQ(JsonLdString(c.document, "articleBody"), c.wanted);
  }
}

// Deep nesting is read without recursion, and a page of nothing but brackets is no JSON.
TEST(JsonLdString, DeepDocumentsNeitherCrashNorGiveAnything) {
  const std::string deep = std::string(200000, '[') + "\"x\"" + std::string(200000, ']');
  EXPECT_EQ(JsonLdString(deep, "articleBody"), "");
  EXPECT_EQ(JsonLdString(std::string(200000, '{'), "articleBody"), "");
}

}  // namespace
}  // namespace quillmark
