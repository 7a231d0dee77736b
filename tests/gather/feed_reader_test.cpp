// Feeds written as RSS 2.0, RSS 1.0 and Atom (RFC 4287) define them, and the ways
// real ones go wrong: each case is the body, and the items it must give, newest first.
#include "gather/feed_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmark {
namespace {

using ::testing::ElementsAreArray;

constexpr const char* kFeedAddress = "http://feeds.example.com/news/rss.xml";

std::string Rss(const std::string& items, const std::string& declaration = "") {
  return declaration + "<rss version=\"2.0\"><channel><title>News</title>" + items +
         "</channel></rss>";
}

struct FeedCase {
  const char* name;
  std::string body;
  std::size_t keep;
  bool isFeed;
  bool broken;
  // "address | date | title" of each item, newest first.
  std::vector<std::string> items;
};

std::vector<FeedCase> FeedCases() {
  return {
      {"Rss2DatesInRfc822OrderedNewestFirst",
       Rss("<item><title>Old</title><link>http://www.example.com/a</link>"
           "<pubDate>Sun, 06 Dec 2026 23:00:00 GMT</pubDate></item>"
           "<item><title>New</title><link>http://www.example.com/b</link>"
           "<pubDate>Mon, 07 Dec 2026 09:00:00 +0900</pubDate></item>"
           "<item><title>Newest</title><link>http://www.example.com/c</link>"
           "<pubDate>7 Dec 2026 01:00 EST</pubDate></item>"),
       10,
       true,
       false,
       {"http://www.example.com/c | 2026-12-07T06:00:00Z | Newest",
        "http://www.example.com/b | 2026-12-07T00:00:00Z | New",
        "http://www.example.com/a | 2026-12-06T23:00:00Z | Old"}},
      {"UndatedItemsKeepTheFeedOrderAfterTheDatedOnes",
       Rss("<item><link>http://x.example/1</link></item>"
           "<item><link>http://x.example/2</link><pubDate>not a date</pubDate></item>"
           "<item><link>http://x.example/3</link><pubDate>Tue, 01 Dec 26 12:00:00 GMT</pubDate>"
           "</item>"
           "<item><link>http://x.example/4</link></item>"),
       10,
       true,
       false,
       {"http://x.example/3 | 2026-12-01T12:00:00Z | ", "http://x.example/1 |  | ",
        "http://x.example/2 |  | ", "http://x.example/4 |  | "}},
      {"KeepsOnlyTheNewestWhenCapped",
       Rss("<item><link>http://x.example/1</link><pubDate>01 Dec 2026 00:00 GMT</pubDate></item>"
           "<item><link>http://x.example/2</link><pubDate>03 Dec 2026 00:00 GMT</pubDate></item>"
           "<item><link>http://x.example/3</link><pubDate>02 Dec 2026 00:00 GMT</pubDate></item>"
           "<item><link>http://x.example/4</link></item>"),
       2,
       true,
       false,
       {"http://x.example/2 | 2026-12-03T00:00:00Z | ",
        "http://x.example/3 | 2026-12-02T00:00:00Z | "}},
      {"ItemsWithoutLinksAreLeftOutAndAPermanentGuidStandsForTheLink",
       Rss("<item><title>No link</title></item>"
           "<item><guid>http://x.example/guid</guid></item>"
           "<item><guid isPermaLink=\"false\">tag:x,2026:7</guid></item>"
           "<item><link>http://x.example/link</link><guid>http://x.example/g2</guid></item>"
           "<item><title>  Spaced  </title><link>\n  http://x.example/spaced \n</link></item>"),
       10,
       true,
       false,
       {"http://x.example/guid |  | ", "http://x.example/link |  | ",
        "http://x.example/spaced |  | Spaced"}},
      {"NothingOfAnItemReachesTheNext",
       Rss("<item><title>First</title><guid>http://x.example/1</guid>"
           "<pubDate>01 Dec 2026 00:00 GMT</pubDate></item>"
           "<item><title>No address</title></item>"
           "<item><guid>http://x.example/3</guid></item>"),
       10,
       true,
       false,
       {"http://x.example/1 | 2026-12-01T00:00:00Z | First", "http://x.example/3 |  | "}},
      {"NothingOfAnRss1ItemOrAnAtomEntryReachesTheNext",
       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\""
       " xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
       "<item rdf:about=\"http://x.example/one\"><title>One</title>"
       "<dc:date>2026-12-05</dc:date></item><item><title>None</title></item>"
       "<item><link>http://x.example/three</link></item></rdf:RDF>",
       10,
       true,
       false,
       {"http://x.example/one | 2026-12-05T00:00:00Z | One", "http://x.example/three |  | "}},
      {"NothingOfAnAtomEntryReachesTheNext",
       "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><title>A</title>"
       "<link href=\"http://x.example/a\"/><updated>2026-12-07T08:00:00Z</updated></entry>"
       "<entry><link rel=\"edit\" href=\"http://x.example/edit\"/></entry>"
       "<entry><link href=\"http://x.example/c\"/></entry></feed>",
       10,
       true,
       false,
       {"http://x.example/a | 2026-12-07T08:00:00Z | A", "http://x.example/c |  | "}},
      {"EntitiesAndCdata",
       Rss("<item><title>Rock &amp; roll &#8212; &lt;live&gt;</title>"
           "<link>http://x.example/a?b=1&amp;c=2</link></item>"
           "<item><title><![CDATA[Fish & <b>chips</b>]]></title>"
           "<link><![CDATA[http://x.example/fish]]></link></item>"),
       10,
       true,
       false,
       {"http://x.example/a?b=1&c=2 |  | Rock & roll \xE2\x80\x94 <live>",
        "http://x.example/fish |  | Fish & <b>chips</b>"}},
      {"RelativeLinksResolveAgainstTheFeedAndXmlBase",
       "<rss version=\"2.0\"><channel xml:base=\"http://www.example.com/world/\">"
       "<item><link>story-1.html</link></item>"
       "<item xml:base=\"/politics/\"><link>story-2.html</link></item>"
       "<item><link>story-3.html</link></item>"
       "</channel></rss>"
       "",
       10,
       true,
       false,
       {"http://www.example.com/world/story-1.html |  | ",
        "http://www.example.com/politics/story-2.html |  | ",
        "http://www.example.com/world/story-3.html |  | "}},
      {"Rss1RdfWithDublinCoreDates",
       "<?xml version=\"1.0\"?>"
       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\""
       " xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
       "<channel rdf:about=\"http://x.example/\"><title>X</title></channel>"
       "<item rdf:about=\"http://x.example/one\"><title>One</title>"
       "<link>http://x.example/one</link><dc:date>2026-12-05T10:00:00+09:00</dc:date></item>"
       "<item rdf:about=\"http://x.example/two\"><title>Two</title>"
       "<dc:date>2026-12-06</dc:date></item>"
       "</rdf:RDF>",
       10,
       true,
       false,
       {"http://x.example/two | 2026-12-06T00:00:00Z | Two",
        "http://x.example/one | 2026-12-05T01:00:00Z | One"}},
      {"AtomWithAlternateLinksXmlBaseAndUpdatedOrPublished",
       "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"http://www.example.com/\">"
       "<title>X</title><link rel=\"self\" href=\"/feed\"/>"
       "<entry><title type=\"html\">A &amp;amp; B</title>"
       "<link rel=\"edit\" href=\"/edit/1\"/><link rel=\"alternate\" href=\"2026/12/a\"/>"
       "<published>2026-12-01T00:00:00Z</published><updated>2026-12-07T08:30:00.250Z</updated>"
       "</entry>"
       "<entry xml:base=\"http://other.example.com/x/\"><title>Other</title>"
       "<link href=\"b\"/><published>2026-12-07T09:00:00-01:00</published></entry>"
       "<entry><title>No link</title><updated>2026-12-07T12:00:00Z</updated></entry>"
       "</feed>",
       10,
       true,
       false,
       {"http://other.example.com/x/b | 2026-12-07T10:00:00Z | Other",
        "http://www.example.com/2026/12/a | 2026-12-07T08:30:00Z | A &amp; B"}},
      {"ACutFeedGivesTheItemsBeforeTheBreak",
       Rss("<item><link>http://x.example/1</link></item>"
           "<item><link>http://x.example/2</link></item>"
           "<item><link>http://x.example/3</li"),
       10,
       true,
       true,
       {"http://x.example/1 |  | ", "http://x.example/2 |  | "}},
      {"AnUndefinedEntityBreaksTheFeedThere",
       Rss("<item><link>http://x.example/1</link></item>"
           "<item><title>A&nbsp;B</title><link>http://x.example/2</link></item>"),
       10,
       true,
       true,
       {"http://x.example/1 |  | "}},
      {"Iso88591",
       Rss("<item><title>Caf\xE9 au lait</title><link>http://x.example/caf\xE9</link></item>",
           "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
       10,
       true,
       false,
       {"http://x.example/caf\xC3\xA9 |  | Caf\xC3\xA9 au lait"}},
      {"ShiftJis",
       // "日本の記事" and a half-width katakana "ｱ" in Shift_JIS.
       Rss("<item><title>\x93\xFA\x96\x7B\x82\xCC\x8B\x4C\x8E\x96 \xB1</title>"
           "<link>http://x.example/jp</link></item>",
           "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"),
       10,
       true,
       false,
       {"http://x.example/jp |  | "
        "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE8\xA8\x98\xE4\xBA\x8B \xEF\xBD\xB1"}},
      {"EucJp",
       Rss("<item><title>\xC6\xFC\xCB\xDC</title><link>http://x.example/euc</link></item>",
           "<?xml version=\"1.0\" encoding=\"EUC-JP\"?>"),
       10,
       true,
       false,
       {"http://x.example/euc |  | \xE6\x97\xA5\xE6\x9C\xAC"}},
      {"Utf16ByItsByteOrderMark",
       [] {
         const std::string text =
             Rss("<item><title>Utf16</title><link>http://x.example/u</link></item>");
         std::string body = "\xFF\xFE";  // little-endian
         for (const char c : text) body += std::string{c, '\0'};
         return body;
       }(),
       10,
       true,
       false,
       {"http://x.example/u |  | Utf16"}},
      {"AnHtmlPageIsNoFeed",
       "<!DOCTYPE html><html><head><title>News</title></head><body>"
       "<a href=\"/a\">A</a></body></html>",
       10,
       false,
       false,
       {}},
      {"AnHtmlPageThatIsNotXmlIsNoFeed",
       "<!doctype html>\n<html lang=en><head><meta charset=utf-8><link rel=alternate></head>",
       10,
       false,
       false,
       {}},
      {"ARootOfTheWrongNamespaceIsNoFeed",
       "<feed xmlns=\"http://example.com/not-atom\"><entry><link href=\"http://x/\"/></entry>"
       "</feed>",
       10,
       false,
       false,
       {}},
      {"EmptyBodyIsNoFeed", "", 10, false, false, {}},
  };
}

class FeedReaderTest : public ::testing::TestWithParam<FeedCase> {};

TEST_P(FeedReaderTest, GivesTheItemsNewestFirst) {
  const FeedCase& c = GetParam();
  const std::optional<Feed> feed = ReadFeed(c.body, kFeedAddress, c.keep);
  ASSERT_EQ(feed.has_value(), c.isFeed);
  if (!feed) return;
  std::vector<std::string> items;
  for (const FeedItem& item : feed->items) {
    items.push_back(item.address + " | " + item.date + " | " + item.title);
  }
  EXPECT_THAT(items, ElementsAreArray(c.items));
  EXPECT_EQ(feed->broken, c.broken);
}

INSTANTIATE_TEST_SUITE_P(Cases, FeedReaderTest, ::testing::ValuesIn(FeedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FeedReaderTest, AHundredThousandItemsKeepTheNewestWithinTheCap) {
  std::string items;
  for (int i = 0; i < 100000; ++i) {
    // Minutes of the day in a scrambled order; many items share the last minute.
    const int minute = (i * 7) % 100003 % 1440;
    items += "<item><link>http://x.example/" + std::to_string(i) + "</link><dc:date>2026-12-07T" +
             (minute / 60 < 10 ? "0" : "") + std::to_string(minute / 60) + ":" +
             (minute % 60 < 10 ? "0" : "") + std::to_string(minute % 60) + ":00Z</dc:date></item>";
  }
  const std::string body =
      "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel>" + items +
      "</channel></rss>";
  const std::optional<Feed> feed = ReadFeed(body, kFeedAddress, 3);
  ASSERT_TRUE(feed.has_value());
  ASSERT_EQ(feed->items.size(), 3u);
  for (const FeedItem& item : feed->items) EXPECT_EQ(item.date, "2026-12-07T23:59:00Z");
}

struct DateCase {
  const char* text;
  const char* iso;  // "" when it does not read
};

TEST(FeedDateTest, ReadsRfc822AndRfc3339) {
  const DateCase cases[] = {
      {"Mon, 07 Dec 2026 10:00:00 +0900", "2026-12-07T01:00:00Z"},
      {"07 Dec 2026 10:00 GMT", "2026-12-07T10:00:00Z"},
      {"Mon, 7 Dec 26 10:00:00 PDT", "2026-12-07T17:00:00Z"},
      {"1 Jan 50 00:00 GMT", "1950-01-01T00:00:00Z"},  // two digits: 50 and on are the 1900s
      {"Sat, 29 Feb 2020 23:59:59 -0130", "2020-03-01T01:29:59Z"},
      {"Thu, 01 Jan 1970 00:00:00 Z", "1970-01-01T00:00:00Z"},
      {"2026-12-07T10:00:00Z", "2026-12-07T10:00:00Z"},
      {"2026-12-07t10:00:00.123456+05:30", "2026-12-07T04:30:00Z"},
      {"2026-12-07", "2026-12-07T00:00:00Z"},
      {"1969-12-31T23:00:00Z", "1969-12-31T23:00:00Z"},
      {"2016-12-31T23:59:60Z", "2017-01-01T00:00:00Z"},  // a leap second
      // Every zone RFC 822 names; a military letter reads as UTC, as RFC 2822 says.
      {"07 Dec 2026 10:00 UT", "2026-12-07T10:00:00Z"},
      {"07 Dec 2026 10:00 EST", "2026-12-07T15:00:00Z"},
      {"07 Dec 2026 10:00 EDT", "2026-12-07T14:00:00Z"},
      {"07 Dec 2026 10:00 CST", "2026-12-07T16:00:00Z"},
      {"07 Dec 2026 10:00 CDT", "2026-12-07T15:00:00Z"},
      {"07 Dec 2026 10:00 MST", "2026-12-07T17:00:00Z"},
      {"07 Dec 2026 10:00 MDT", "2026-12-07T16:00:00Z"},
      {"07 Dec 2026 10:00 PST", "2026-12-07T18:00:00Z"},
      {"07 Dec 2026 10:00 A", "2026-12-07T10:00:00Z"},
      {"2026-13-07T10:00:00Z", ""},
      // Each field of RFC 3339, and the day, year and hour of RFC 822, have their number
      // of digits, no more and no fewer (what follows RFC 822's minutes is read leniently).
      {"007 Dec 2026 10:00 GMT", ""},
      {"07 Dec 02026 10:00 GMT", ""},
      {"07 Dec 2026 010:00 GMT", ""},
      {"2026-012-07", ""},
      {"2026-12-007", ""},
      {"2026-12-7", ""},
      {"2026-12-07T010:00:00Z", ""},
      {"2026-12-07T10:000:00Z", ""},
      {"2026-12-07T10:00:000Z", ""},
      {"2026-12-07T10:00:00+009:00", ""},
      {"2026-12-07T10:00:00+09:000", ""},
      {"2026-12-07T10:00:00", ""},
      {"Mon, 07 Foo 2026 10:00:00 GMT", ""},
      {"yesterday", ""},
      {"", ""},
      // Zones reach +14:00 and -14:00 and no further; days are the month's; a fraction has
      // at most nine digits.
      {"2026-12-07T10:00:00+14:00", "2026-12-06T20:00:00Z"},
      {"2026-12-07T10:00:00-14:00", "2026-12-08T00:00:00Z"},
      {"2026-12-07T10:00:00+14:01", ""},
      {"2026-12-07T10:00:00+99:99", ""},
      {"2026-12-07T10:00:00+05:60", ""},
      {"Mon, 07 Dec 2026 10:00:00 +1400", "2026-12-06T20:00:00Z"},
      {"Mon, 07 Dec 2026 10:00:00 -1401", ""},
      {"Mon, 07 Dec 2026 10:00:00 +9999", ""},
      {"2026-02-31T10:00:00Z", ""},
      {"31 Feb 2026 10:00 GMT", ""},
      {"2026-04-31", ""},
      {"2026-04-30", "2026-04-30T00:00:00Z"},
      {"2024-02-29", "2024-02-29T00:00:00Z"},
      {"2100-02-29", ""},
      {"2000-02-29", "2000-02-29T00:00:00Z"},
      {"2026-12-07T10:00:00.123456789Z", "2026-12-07T10:00:00Z"},
      {"2026-12-07T10:00:00.1234567890Z", ""},
      {"2026-12-07T10:00:00.1234567890123456789012345678901234567890Z", ""},
  };
  for (const DateCase& c : cases) {
    const std::optional<std::int64_t> seconds = FeedDateSeconds(c.text);
    EXPECT_EQ(seconds ? IsoDateOf(*seconds) : "", c.iso) << c.text;
  }
  // Every month RFC 822 names, in either case.
  const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "DEC"};
  for (int month = 1; month <= 12; ++month) {
    const std::optional<std::int64_t> seconds =
        FeedDateSeconds(std::string("1 ") + months[month - 1] + " 2026 00:00 GMT");
    EXPECT_EQ(seconds ? IsoDateOf(*seconds) : "", std::string("2026-") + (month < 10 ? "0" : "") +
                                                      std::to_string(month) + "-01T00:00:00Z");
  }
}

}  // namespace
}  // namespace quillmark
