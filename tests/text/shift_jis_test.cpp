#include "text/shift_jis.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

struct ConversionCase {
  const char* what;
  std::string shiftJis;
  std::string utf8;
};

// Both directions; "ソ" (0x83 0x5C) has a trail byte that is ASCII '\'.
const ConversionCase kBothWays[] = {
    {"ascii", "News, 2 days.", "News, 2 days."},
    {"kana and kanji", "\x83\x5c\x83\x74\x83\x67\x93\xfa", "ソフト日"},
    {"full-width letters", "\x82\x6c\x82\x72", "ＭＳ"},
    {"cp932 extension (numbered circle)", "\x87\x40", "①"},
    {"half-width katakana", "\xb1", "ｱ"},
    {"empty", "", ""},
};

TEST(ShiftJis, ConvertsBothWays) {
  for (const auto& c : kBothWays) {
    EXPECT_EQ(ShiftJisToUtf8(c.shiftJis), c.utf8) << c.what;
    EXPECT_EQ(Utf8ToShiftJis(c.utf8), c.shiftJis) << c.what;
  }
}

TEST(ShiftJis, BadBytesBecomeOneReplacementEachAndTheRestIsKept) {
  EXPECT_EQ(ShiftJisToUtf8("a\x80z"), "a\uFFFDz");
  EXPECT_EQ(ShiftJisToUtf8("a\x85\x40z"), "a\uFFFDz");  // a lead byte of an empty row
  EXPECT_EQ(ShiftJisToUtf8("ab\x83"), "ab\uFFFD");      // a pair cut off at the end
  EXPECT_EQ(Utf8ToShiftJis("a\xff"
                           "b"),
            "a?b");
  EXPECT_EQ(Utf8ToShiftJis("x\U0001F600y"), "x?y");  // no CP932 character: one '?'
  const std::string longText(10000, 'q');
  EXPECT_EQ(ShiftJisToUtf8(longText + "\x82\xa0"), longText + "あ");
}

}  // namespace
}  // namespace quillmark
