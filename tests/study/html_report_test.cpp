#include "study/html_report.h"

#include <gtest/gtest.h>

#include "study/web_dictionary.h"
#include "text/shift_jis.h"

namespace quillmark {
namespace {

const std::set<std::string> kNgWords{"", "THE"};

// The words of the report's rows, in the order written.
std::vector<std::string> RowWords(const std::string& report) {
  std::vector<std::string> words;
  const std::string start = "<tr><td>";
  for (auto at = report.find(start); at != std::string::npos; at = report.find(start, at + 1)) {
    const auto begin = at + start.size();
    words.push_back(report.substr(begin, report.find("</td>", begin) - begin));
  }
  return words;
}

std::string Sjis(std::string_view utf8) { return Utf8ToShiftJis(utf8); }

TEST(WriteHtmlReport, TheWorkedExampleByteForByte) {
  const std::string p = "http://dic.lycos.co.jp/pej/list.html?query=";
  const std::string a = "http://news.example/";
  const std::string link = "\">" + Sjis("webライコスディクショナリ") + "</a></td>";
  const std::pair<int, std::string> lines[] = {
      {0, "<html>"},
      {1, "<head>"},
      {2, "<title>"},
      {3, "Quillmark"},
      {2, "</title>"},
      {2, ""},
      {1, "</head>"},
      {1, "<body>"},
      {2, "<table border=1>"},
      {3, Sjis("集計対象データ:1234バイト<br>集計対象語数:56語<br>集計後語数:7語<br>") +
              "<tr><td>SHIP</td><td>9</td><td><a href=\"" + p + "SHIP&encoding=shift-jis" + link},
      {0, ""},
      {3, "</tr><tr><td>NEWS</td><td>5</td><td><a href=\"" + p + "NEWS&encoding=shift-jis" + link},
      {0, ""},
      {3, "</tr>"},
      {2, "</table>"},
      {2, Sjis("探索対象サイト<br>")},
      {2, "<a href=\"" + a + "\">"},
      {3, a},
      {2, "</a>"},
      {2, "<br>"},
      {2, "<br>"},
      {1, "</body>"},
      {1, ""},
      {0, "</html>"},
  };
  std::string expected;
  for (const auto& [tabs, text] : lines) expected += std::string(tabs, '\t') + text + "\r\n";

  EXPECT_EQ(WriteHtmlReport({1234, 56, 7}, {{"THE", 2}, {"", 4}, {"NEWS", 5}, {"SHIP", 9}},
                            kNgWords, 30, {a}),
            expected);
}

// The articles read from a site follow its link; a site the run read none from, or that is
// not in the counts at all, keeps the designed line.
TEST(WriteHtmlReport, TheArticlesReadFollowTheirSitesLink) {
  const std::string report =
      WriteHtmlReport({}, {}, kNgWords, 30, {"http://a/", "http://b/", "http://c/"},
                      {{"http://b/", 3}, {"http://c/", 0}, {"http://gone/", 5}});
  const std::string site = "\t\t<a href=\"http://X/\">\r\n\t\t\thttp://X/\r\n\t\t</a>\r\n\t\t";
  const auto line = [&site](char host, const std::string& after) {
    std::string text = site;
    for (char& c : text) c = c == 'X' ? host : c;
    return text + after + "<br>\r\n";
  };
  EXPECT_NE(report.find(line('a', "")), std::string::npos) << report;
  EXPECT_NE(report.find(line('b', Sjis(" 記事3件"))), std::string::npos) << report;
  EXPECT_NE(report.find(line('c', Sjis(" 記事0件"))), std::string::npos) << report;
  EXPECT_EQ(report.find("gone"), std::string::npos);
}

TEST(WriteHtmlReport, RowsFromTheEndSkippingNgWordsUpToTwiceTheCountPlusOne) {
  RankedWordList twenty;
  for (int i = 20; i >= 1; --i) twenty.push_back({"W" + std::to_string(i), 21 - i});
  const RankedWordList withNgWords{{"C", 1}, {"THE", 2}, {"B", 3}, {"", 4}, {"A", 5}};
  struct Case {
    RankedWordList ranking;
    std::int32_t itemViewCount;
    std::size_t rows;
  } const cases[] = {
      {twenty, 5, 11},     {twenty, 0, 1},
      {twenty, -1, 0},     {twenty, 2000000000, 20},  // twice the count does not overflow
      {withNgWords, 1, 3},                            // THE and the empty word take no place
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.itemViewCount);
    EXPECT_EQ(RowWords(WriteHtmlReport({}, c.ranking, kNgWords, c.itemViewCount, {})).size(),
              c.rows);
  }
  EXPECT_EQ(RowWords(WriteHtmlReport({}, withNgWords, kNgWords, 30, {})),
            (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(RowWords(WriteHtmlReport({}, twenty, kNgWords, 1, {})),
            (std::vector<std::string>{"W1", "W2", "W3"}));
}

TEST(WriteHtmlReport, TheSitePartWithoutSitesAndAddressesUnescaped) {
  const std::string empty = WriteHtmlReport({3000000000u, -1, 0}, {}, kNgWords, 30, {});
  EXPECT_NE(
      empty.find("</table>\r\n\t\t" + Sjis("探索対象サイト<br>") + "\r\n\t\t<br>\r\n\t</body>"),
      std::string::npos);
  // The data size is the unsigned figure.
  EXPECT_NE(empty.find(Sjis("データ:3000000000バイト<br>集計対象語数:-1語")), std::string::npos);

  const std::string site = "http://a.example/?x=1&y=<2>";
  const std::string report = WriteHtmlReport({}, {}, kNgWords, 30, {site});
  EXPECT_NE(report.find("\t\t<a href=\"" + site + "\">\r\n\t\t\t" + site + "\r\n\t\t</a>\r\n"),
            std::string::npos);
}

TEST(WithCrLfLines, ALoneCrEndsALineAndTheLastLineNeedsNoBreak) {
  EXPECT_EQ(WithCrLfLines("a\rb\n\nc"), "a\r\nb\r\n\r\nc\r\n");
  EXPECT_EQ(WithCrLfLines(""), "");
}

TEST(WebDictionaryAddress, EachServiceWrapsTheWordUnchanged) {
  const std::pair<WebDictionary, std::string> cases[] = {
      {WebDictionary::kGoo, "http://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?MT=ship&sw=0"},
      {WebDictionary::kLycos, "http://dic.lycos.co.jp/pej/list.html?query=ship&encoding=shift-jis"},
      {WebDictionary::kRnn, "http://www.rnnnews.jp/search/rnnseek.php?IDv1=ship&IDn1=keys1"},
      {WebDictionary::kWeblio, "https://ejje.weblio.jp/content/ship"},
  };
  for (const auto& [dictionary, address] : cases)
    EXPECT_EQ(WebDictionaryAddress(dictionary, "ship"), address);
}

}  // namespace
}  // namespace quillmark
