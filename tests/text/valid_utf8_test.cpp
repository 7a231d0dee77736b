#include "text/valid_utf8.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using namespace std::string_literals;

struct Utf8Case {
  const char* what;
  std::string bytes;
  std::string valid;
};

// Byte sequences that are no UTF-8, as the Unicode standard counts their pieces.
const Utf8Case kIllFormed[] = {
    {"stray continuation", "a\x80z", "a\uFFFDz"},
    {"cut-off sequence is one piece", "\xe3\x81z\xff", "\uFFFDz\uFFFD"},
    {"overlong", "\xc0\xaf\xe0\x80\xaf", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"surrogate", "\xed\xa0\x80", "\uFFFD\uFFFD\uFFFD"},
    {"above U+10FFFF", "\xf4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"well-formed stays", "caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80",
     "caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80"},
};

TEST(ValidUtf8, ReplacesEachIllFormedPieceOnce) {
  for (const auto& c : kIllFormed) EXPECT_EQ(ReplaceInvalidUtf8(c.bytes), c.valid) << c.what;
}

TEST(ValidUtf8, KeepsUtf8ConvertsShiftJisAndReplacesTheRest) {
  EXPECT_EQ(ValidUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
  EXPECT_EQ(ValidUtf8("\x83\x5c\x83\x74\x83\x67 ok"), "ソフト ok");
  EXPECT_EQ(ValidUtf8("caf\xe9"), "caf\uFFFD");  // neither: a lead byte cut off
}

TEST(EscapeControlBytes, ShowsC0DelAndC1AsHexAndKeepsTabAndText) {
  EXPECT_EQ(EscapeControlBytes("\x1b]0;t\x07\x1b[2J\tx\x7f\x00y"
                               "\xc2\x9b"
                               "1m\xc2\xa0\xe6\x97\xa5"s),
            "\\x1b]0;t\\x07\\x1b[2J\tx\\x7f\\x00y\\xc2\\x9b1m\xc2\xa0\xe6\x97\xa5");
}

}  // namespace
}  // namespace quillmark
