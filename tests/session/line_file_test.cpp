#include "session/line_file.h"

#include <gtest/gtest.h>

#include "session/site_list.h"

namespace quillmark {
namespace {

using Lines = LineList;

TEST(ReadLineFile, CrLfAndCrLfAllEndALine) {
  EXPECT_EQ(ReadLineFile("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  // CR CR LF: the first CR ends a line by itself, CR LF ends the next (empty) one.
  EXPECT_EQ(ReadLineFile("a\r\r\nb"), (Lines{"a", "", "b"}));
  // LF CR is two line ends.
  EXPECT_EQ(ReadLineFile("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(ReadLineFile, FinalLineBreakAddsNoEntryButMiddleEmptyLinesDo) {
  EXPECT_EQ(ReadLineFile("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(ReadLineFile("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(ReadLineFile("\r\nA\r\n"), (Lines{"", "A"}));
  EXPECT_EQ(ReadLineFile(""), (Lines{}));
  EXPECT_EQ(ReadLineFile("\n"), (Lines{""}));
}

TEST(ReadLineFile, TextEndsAtTheFirstNulByte) {
  using namespace std::string_literals;
  EXPECT_EQ(ReadLineFile("ab\r\ncd\0ef\r\ngh"s), (Lines{"ab", "cd"}));
  EXPECT_EQ(ReadLineFile("\0abc"s), (Lines{}));
}

TEST(ReadLineFile, KeepsBytesAsTheyAre) {
  EXPECT_EQ(ReadLineFile("\x82\xa0 x\t\r\n"), (Lines{"\x82\xa0 x\t"}));
}

TEST(WriteLineFile, PutsCrLfAfterEveryEntry) {
  EXPECT_EQ(WriteLineFile({"", "A", "b"}), "\r\nA\r\nb\r\n");
  EXPECT_EQ(WriteLineFile({}), "");
  const Lines lines{"x", "", "y"};
  EXPECT_EQ(ReadLineFile(WriteLineFile(lines)), lines);
}

TEST(UpperCaseShiftJis, RaisesAsciiLettersButNotTrailBytes) {
  // 0x83 0x61 is one katakana character whose trail byte looks like 'a'.
  EXPECT_EQ(UpperCaseShiftJis("ab\x83\x61z"), "AB\x83\x61Z");
  EXPECT_EQ(UpperCaseShiftJis("news1"), "NEWS1");
}

TEST(SiteList, KeepsCaseInsensitiveOrderAndRefusesEqualEntries) {
  SiteList sites;
  EXPECT_TRUE(sites.Add("http://b.example/"));
  EXPECT_TRUE(sites.Add("HTTP://A.example/"));
  EXPECT_TRUE(sites.Add("http://c.example/"));
  EXPECT_FALSE(sites.Add("http://B.EXAMPLE/"));
  EXPECT_TRUE(sites.Add(""));
  EXPECT_EQ(sites.Addresses(),
            (std::vector<std::string>{"", "HTTP://A.example/", "http://b.example/",
                                      "http://c.example/"}));
}

TEST(SiteList, AddAllKeepsWhatOneAddAfterTheOtherKeeps) {
  const struct {
    Lines before, added;
  } cases[] = {
      {{}, {"http://b/", "http://A/", "HTTP://a/", "", "http://B/", "http://c/", ""}},
      {{"http://a/", "http://C/"}, {"http://c/", "HTTP://A/", "http://b/", "http://B/"}},
      {{"x"}, {}},
      {{}, {"\x82\xa0", "a", "A", "\xe9", "_", "["}},
  };
  for (const auto& c : cases) {
    SiteList one, all;
    for (const auto& address : c.before) one.Add(address), all.Add(address);
    for (const auto& address : c.added) one.Add(address);
    all.AddAll(c.added);
    EXPECT_EQ(all.Addresses(), one.Addresses());
  }
}

}  // namespace
}  // namespace quillmark
