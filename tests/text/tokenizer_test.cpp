#include "text/tokenizer.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using Tokens = TokenList;

TEST(SplitText, EverySeparatorEndsATokenButTheLastEmptyOneIsDropped) {
  EXPECT_EQ(SplitText("a..b", "."), (Tokens{"a", "", "b"}));
  EXPECT_EQ(SplitText("a.", "."), (Tokens{"a"}));
  EXPECT_EQ(SplitText(".", "."), (Tokens{""}));
  EXPECT_EQ(SplitText("", "."), (Tokens{}));
  EXPECT_EQ(SplitText(".a", "."), (Tokens{"", "a"}));
}

TEST(TrimBlanks, RemovesOnlySpaces) {
  EXPECT_EQ(TrimBlanks("  AB  "), "AB");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks(""), "");
  EXPECT_EQ(TrimBlanks("\tA "), "\tA");
}

TEST(UpperCaseAscii, ChangesOnlyLowerCaseAsciiLetters) {
  EXPECT_EQ(UpperCaseAscii("aZ9-\x81\xe0q"), "AZ9-\x81\xe0Q");
}

}  // namespace
}  // namespace quillmark
