// An article's date as the pages and feeds of the corpus write it, read into one instant; a
// template's placeholder and a date in the future are no date; a home page is no article.
#include "gather/article_date.h"

#include <gtest/gtest.h>

#include "gather/feed_reader.h"
#include "gather/site_articles.h"

namespace quillmark {
namespace {

struct DateCase {
  const char* text;
  const char* utc;  // IsoDateOf of the instant; nullptr: no date
  bool dateOnly;
};

TEST(ReadArticleDateTest, ReadsTheFormsOfFeedsAndPagesIntoOneInstant) {
  const DateCase cases[] = {
      // The feed reader's forms.
      {"Tue, 19 Nov 2019 19:47:00 -0500", "2019-11-20T00:47:00Z", false},
      {"2019-11-20T00:47:00.123Z", "2019-11-20T00:47:00Z", false},
      {"2019-11-20T09:47:00+09:00", "2019-11-20T00:47:00Z", false},
      {"2026-12-07", "2026-12-07T00:00:00Z", true},
      // ISO 8601 as pages write it: no zone (UTC), no seconds, a zone without its colon.
      {"2019-11-20T00:47:00", "2019-11-20T00:47:00Z", false},
      {"2019-11-20 00:47", "2019-11-20T00:47:00Z", false},
      {"2019-11-20T09:47:00.000+0900", "2019-11-20T00:47:00Z", false},
      {"2019-11-20T09:47+09:00", "2019-11-20T00:47:00Z", false},
      // In words, as bylines print them.
      {"November 19, 2019, 07:47 PM EST", "2019-11-20T00:47:00Z", false},
      {"Updated: Nov. 19, 2019 at 12:05 am GMT", "2019-11-19T00:05:00Z", false},
      {"Tuesday 19 November 2019 19:47 +0100", "2019-11-19T18:47:00Z", false},
      {"Sept 3, 2021", "2021-09-03T00:00:00Z", true},
      {"  3 May 2021  ", "2021-05-03T00:00:00Z", true},
      // No date: a template's placeholder, before 1990, what is no date at all.
      {"0001-01-01T00:00:00Z", nullptr, false},
      {"0001-01-01", nullptr, false},
      {"December 31, 1989", nullptr, false},
      {"1990-01-01T00:00:00Z", "1990-01-01T00:00:00Z", false},
      {"", nullptr, false},
      {"yesterday", nullptr, false},
      {"2019-13-40", nullptr, false},
      {"11/20/2019", nullptr, false},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<ArticleDate> date = ReadArticleDate(c.text);
    if (c.utc == nullptr) {
      EXPECT_FALSE(date.has_value());
      continue;
    }
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(IsoDateOf(date->seconds), c.utc);
    EXPECT_EQ(date->dateOnly, c.dateOnly);
  }
}

TEST(ReadArticleDateTest, ADateInTheFutureIsNoDate) {
  const std::int64_t now = *FeedDateSeconds("2026-12-07T09:30:00Z");
  EXPECT_TRUE(ReadArticleDate("2026-12-07T09:30:00Z", now).has_value());
  EXPECT_TRUE(ReadArticleDate("2026-12-08T09:30:00Z", now).has_value());  // a day's slack
  EXPECT_FALSE(ReadArticleDate("2026-12-08T09:30:01Z", now).has_value());
  EXPECT_FALSE(ReadArticleDate("9999-12-31", now).has_value());
}

TEST(IsHomePageAddressTest, TheRootAndItsIndexAreHomePages) {
  for (const char* home :
       {"http://a.example", "http://a.example/", "https://a.example/?ref=rss",
        "http://a.example/#top", "http://a.example/index.html", "http://a.example/default.aspx"})
    EXPECT_TRUE(IsHomePageAddress(home)) << home;
  for (const char* article :
       {"http://a.example/2026/12/07/rain", "http://a.example/index/rain-returns-to-the-valley",
        "http://a.example/world/", "not an address"})
    EXPECT_FALSE(IsHomePageAddress(article)) << article;
}

}  // namespace
}  // namespace quillmark
