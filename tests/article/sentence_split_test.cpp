#include "article/sentence_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmark {
namespace {

using Sentences = std::vector<std::string>;

TEST(SplitSentences, EndsWhereAReaderWould) {
  const struct {
    const char* paragraph;
    Sentences sentences;
  } cases[] = {
      {"One ship sank. Two crews swam!  Why? Nobody knows",
       {"One ship sank.", "Two crews swam!", "Why?", "Nobody knows"}},
      {"Mr. Smith met Dr. Jones on Jan. 5 at No. 10.",
       {"Mr. Smith met Dr. Jones on Jan. 5 at No. 10."}},
      {"Acme Inc. grew. It hired.", {"Acme Inc. grew.", "It hired."}},
      {"The U.S. Senate voted. Then it rose.", {"The U.S. Senate voted.", "Then it rose."}},
      {"J. K. Rowling wrote it. She did.", {"J. K. Rowling wrote it.", "She did."}},
      {"Growth was 3.5 per cent. Rates held.", {"Growth was 3.5 per cent.", "Rates held."}},
      {"It starts at 4.30 p.m. on Monday. Come.", {"It starts at 4.30 p.m. on Monday.", "Come."}},
      {"He said \"stop.\" She left.", {"He said \"stop.\"", "She left."}},
      {"He left (\"stop.\") She stayed.", {"He left (\"stop.\")", "She stayed."}},
      {"It ended. \xE2\x80\x9CGo,\xE2\x80\x9D she said.",
       {"It ended.", "\xE2\x80\x9CGo,\xE2\x80\x9D she said."}},
      {"They met (Dr. Jones) there. It went well.",
       {"They met (Dr. Jones) there.", "It went well."}},
      {"He took vitamin a. Then he slept.", {"He took vitamin a.", "Then he slept."}},
      {"Did you mean No? Yes.", {"Did you mean No?", "Yes."}},
      {"He said \xE2\x80\x9Cstop.\xE2\x80\x9D She left.",
       {"He said \xE2\x80\x9Cstop.\xE2\x80\x9D", "She left."}},
      {"It rose (sharply.) Then fell.", {"It rose (sharply.)", "Then fell."}},
      {"Wait... what happened? Well... Nothing.",
       {"Wait... what happened?", "Well...", "Nothing."}},
      {"Costs rose\xE2\x80\xA6 Then fell.", {"Costs rose\xE2\x80\xA6", "Then fell."}},
      {"A full stop before lower case. is no end", {"A full stop before lower case. is no end"}},
      {"Prices fell. 2024 was worse.", {"Prices fell.", "2024 was worse."}},
      {"  spaced \t out\n text.  ", {"spaced out text."}},
      {"Self-driving cars don't \xE2\x80\x94 yet \xE2\x80\x94 drive.",
       {"Self-driving cars don't \xE2\x80\x94 yet \xE2\x80\x94 drive."}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitSentences(c.paragraph), c.sentences) << c.paragraph;
}

TEST(SplitSentences, EveryParagraphEndsItsLastSentence) {
  EXPECT_EQ(SentencesOf({"No stop here", "Two. Three"}),
            (Sentences{"No stop here", "Two.", "Three"}));
}

TEST(CollapseWhiteSpace, OneSpaceForEveryRunAndNoneAtTheEnds) {
  EXPECT_EQ(CollapseWhiteSpace(" a \t\r\n b\xC2\xA0\xC2\xA0"
                               "c "),
            "a b c");
}

}  // namespace
}  // namespace quillmark
