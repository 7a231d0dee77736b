// The crawl with each site's articles of the day: which addresses it fetches after a site's
// address, in which order, and what it says. A table over scripted endings, then one run
// against the loopback server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "gather/gathering_crawl.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using testing::Exchange;
using ::testing::Not;
using testing::ScriptedServer;

struct FakeShell : FetchControl, CrawlView {
  const std::string& Host() const override { return host; }
  void Disconnect() override {}
  void SetProxy(const std::string&, std::uint32_t) override {}
  void SetFetchHttps(bool) override {}
  void SetHttpsProxy(const std::string&, std::uint32_t) override {}
  void SetLabel(const std::string&) override {}
  void AddStatusLine(const std::string& text) override { lines.push_back(text); }
  std::string host = "h";
  std::vector<std::string> lines;
};

FetchEnding Ok(const std::string& host, const std::string& body) {
  return {FetchEndingKind::kSuccess, host, body, "", "", 200};
}
FetchEnding Status(int status) { return {FetchEndingKind::kFailure, "h", "", "", "", status}; }
FetchEnding Thrown() { return {FetchEndingKind::kClientError, "h", "", "Connection reset", "", 0}; }

std::string Rss(const std::vector<std::pair<std::string, std::string>>& itemsWithDates) {
  std::string items;
  for (const auto& [link, date] : itemsWithDates) {
    items += "<item><title>T</title><link>" + link + "</link>" +
             (date.empty() ? "" : "<pubDate>" + date + "</pubDate>") + "</item>";
  }
  return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>" + items + "</channel></rss>";
}

PageLink FeedLink(const char* href) {
  return {PageLinkElement::kLink, href, "alternate", "application/rss+xml", ""};
}
PageLink Headline(const char* href) {
  return {PageLinkElement::kAnchor, href, "", "", "Rain returns to the valley"};
}

struct ArticleCase {
  const char* name;
  LinkOptions options;
  std::vector<std::string> sites;
  std::map<std::string, FetchEnding> answers;  // a missing address fails with a 404
  std::map<std::string, PageLinks> linksOfBody;
  std::vector<std::string> fetched;
  std::vector<std::int32_t> readPerSite;
  std::vector<std::string> linesWanted;
  std::vector<std::string> linesNotWanted = {};
};

constexpr LinkOptions kArticles{.FollowArticles = true, .ArticlesPerSite = 10};

std::vector<ArticleCase> ArticleCases() {
  const std::string home = "<p>Home page.</p>";
  return {
      {"OffTheCrawlIsTheDesignedOne",
       {},
       {"http://a/"},
       {{"http://a/", Ok("a", Rss({{"http://a/1", ""}}))}},
       {},
       {"http://a/"},
       {},
       {},
       {"http://a/の記事を0件取得"}},
      {"AnAddressThatIsAFeedGivesItsNewestItemsAndRobotsFirst",
       {.FollowArticles = true, .ArticlesPerSite = 2},
       {"http://a/rss", "http://b/"},
       {{"http://a/rss", Ok("a", Rss({{"http://a/old", "01 Dec 2026 00:00 GMT"},
                                      {"http://a/new", "03 Dec 2026 00:00 GMT"},
                                      {"http://a/mid", "02 Dec 2026 00:00 GMT"}}))},
        {"http://a/robots.txt", Ok("a", "User-agent: *\nDisallow: /private\n")},
        {"http://a/new", Ok("a", "<p>The new article.</p>")},
        {"http://a/mid", Ok("a", "<p>The middle article.</p>")},
        {"http://b/", Ok("b", home)}},
       {},
       {"http://a/rss", "http://a/robots.txt", "http://a/new", "http://a/mid", "http://b/"},
       {2, 0},
       {"記事 1/2 http://a/new", "記事 2/2 http://a/mid", "http://a/rssの記事を2件取得",
        "http://b/の記事を0件取得"}},
      {"TheFirstNamedFeedThatParsesAndItsItemsOnAnotherHost",
       kArticles,
       {"http://www.x/"},
       {{"http://www.x/", Ok("www.x", "home")},
        {"http://www.x/broken.xml", Ok("www.x", "<html><body>Not a feed</body></html>")},
        {"http://feeds.x/rss", Ok("feeds.x", Rss({{"http://www.x/2026/12/07/a", ""}}))},
        {"http://www.x/robots.txt", Thrown()},
        {"http://www.x/2026/12/07/a", Ok("www.x", "<p>Article from the feed.</p>")}},
       {{"home",
         {"",
          {FeedLink("/broken.xml"), FeedLink("http://feeds.x/rss"), FeedLink("/never.xml"),
           Headline("/2026/12/07/from-the-page")}}}},
       {"http://www.x/", "http://www.x/broken.xml", "http://feeds.x/rss", "http://www.x/robots.txt",
        "http://www.x/2026/12/07/a"},
       {1},
       {"http://www.x/broken.xmlのフィードを取得", "http://feeds.x/rssのフィードを取得",
        "記事 1/1 http://www.x/2026/12/07/a", "http://www.x/の記事を1件取得"},
       {"http://www.x/robots.txtからのドキュメント取得失敗"}},  // robots.txt fails silently
      {"NoFeedParsesSoThePagesArticleLinksInPageOrderEachOnce",
       kArticles,
       {"http://a/"},
       {{"http://a/", Ok("a", "home")},
        {"http://a/robots.txt", Status(404)},
        {"http://a/2026/12/07/one", Ok("a", "<p>Article one here.</p>")},
        {"http://a/world/two-rivers-meet", Thrown()}},
       {{"home",
         {"",
          {FeedLink("/gone.xml"), Headline("/2026/12/07/one"), Headline("/world/two-rivers-meet"),
           Headline("/2026/12/07/one#more"), Headline("http://elsewhere/2026/12/07/x")}}}},
       {"http://a/", "http://a/gone.xml", "http://a/robots.txt", "http://a/2026/12/07/one",
        "http://a/world/two-rivers-meet"},
       {1},
       {"記事 2/2 http://a/world/two-rivers-meet",
        "http://a/world/two-rivers-meetからのドキュメント取得失敗", "http://a/の記事を1件取得"}},
      {"RobotsDisallowingEverythingAsksForNoArticle",
       kArticles,
       {"http://a/"},
       {{"http://a/", Ok("a", Rss({{"http://a/1", ""}, {"http://a/2", ""}}))},
        {"http://a/robots.txt", Ok("a", "User-agent: quillmark\nDisallow: /\n")}},
       {},
       {"http://a/", "http://a/robots.txt"},
       {0},
       {"http://a/1はrobots.txtにより取得しません", "http://a/2はrobots.txtにより取得しません",
        "http://a/の記事を0件取得"}},
      {"AnArticleRobotsRefusesGivesWayToTheNextOne",
       {.FollowArticles = true, .ArticlesPerSite = 2},
       {"http://a/"},
       {{"http://a/", Ok("a", Rss({{"http://a/private/1", ""},
                                   {"http://a/2", ""},
                                   {"http://a/private/3", ""},
                                   {"http://a/4", ""},
                                   {"http://a/5", ""}}))},
        {"http://a/robots.txt", Ok("a", "User-agent: *\nDisallow: /private\n")},
        {"http://a/2", Ok("a", "<p>The second article.</p>")},
        {"http://a/4", Ok("a", "<p>The fourth article.</p>")}},
       {},
       {"http://a/", "http://a/robots.txt", "http://a/2", "http://a/4"},
       {2},
       {"http://a/private/1はrobots.txtにより取得しません", "記事 1/2 http://a/2",
        "http://a/private/3はrobots.txtにより取得しません", "記事 2/2 http://a/4",
        "http://a/の記事を2件取得"},
       {"記事 3/2 http://a/5"}},
      {"ARobotsServerErrorSkipsThatHostsArticlesOnly",
       kArticles,
       {"http://a/"},
       {{"http://a/", Ok("a", Rss({{"http://a/1", ""}, {"http://b/1", ""}, {"http://c/1", ""}}))},
        {"http://a/robots.txt", Status(503)},
        {"http://b/robots.txt", Status(404)},
        {"http://b/1", Ok("b", "<p>The article on b.</p>")},
        {"http://c/robots.txt", Status(500)}},
       {},
       {"http://a/", "http://a/robots.txt", "http://b/robots.txt", "http://b/1",
        "http://c/robots.txt"},
       {1},
       {"aのrobots.txtが応答しないため記事の取得を省略",
        "cのrobots.txtが応答しないため記事の取得を省略", "http://a/の記事を1件取得"}},
      {"RobotsTxtIsAskedOncePerHostAndThePagesLinksStopAtArticlesPerSite",
       {.FollowArticles = true, .ArticlesPerSite = 1},
       {"http://a/", "http://b/", "http://c/"},
       {{"http://a/", Ok("a", Rss({{"http://a/1", ""}}))},
        {"http://b/", Ok("b", Rss({{"http://a/2", ""}}))},
        {"http://c/", Ok("c", "home")}},
       {{"home", {"", {Headline("/2026/12/07/one"), Headline("/2026/12/07/two")}}}},
       {"http://a/", "http://a/robots.txt", "http://a/1", "http://b/", "http://a/2", "http://c/",
        "http://c/robots.txt", "http://c/2026/12/07/one"},
       {0, 0, 0},
       {"記事 1/1 http://c/2026/12/07/one"}},
      {"APublicSitesFeedAndPageNeverReachInwardNorPastTheWeb",
       kArticles,
       {"http://news.example/", "http://www.example/"},
       {{"http://news.example/",
         Ok("news.example", Rss({{"file:///etc/passwd", ""},
                                 {"ftp://news.example/a", ""},
                                 {"http://127.0.0.1:9/", ""},
                                 {"http://10.0.0.1/", ""},
                                 {"http://169.254.169.254/latest", ""},
                                 {"http://192.168.1.1/", ""},
                                 {"http://localhost/internal/secret", ""},
                                 {"http://2130706433/", ""},
                                 {"http://0x7f.1/", ""},
                                 {"http://news.example/2026/12/07/ok", ""}}))},
        {"http://news.example/robots.txt", Status(404)},
        {"http://news.example/2026/12/07/ok", Ok("news.example", "<p>Outside.</p>")},
        {"http://www.example/", Ok("www.example", "home")}},
       {{"home", {"", {FeedLink("http://[::1]/feed"), FeedLink("gopher://www.example/feed")}}}},
       {"http://news.example/", "http://news.example/robots.txt",
        "http://news.example/2026/12/07/ok", "http://www.example/"},
       {1, 0},
       {"file:///etc/passwdはhttp/httpsのアドレスではないため取得しません",
        "ftp://news.example/aはhttp/httpsのアドレスではないため取得しません",
        "http://127.0.0.1:9/は内部のアドレスのため取得しません",
        "http://10.0.0.1/は内部のアドレスのため取得しません",
        "http://169.254.169.254/latestは内部のアドレスのため取得しません",
        "http://192.168.1.1/は内部のアドレスのため取得しません",
        "http://localhost/internal/secretは内部のアドレスのため取得しません",
        "http://2130706433/は内部のアドレスのため取得しません",
        "http://0x7f.1/は内部のアドレスのため取得しません",
        "http://[::1]/feedは内部のアドレスのため取得しません",
        "gopher://www.example/feedはhttp/httpsのアドレスではないため取得しません",
        "http://www.example/の記事を0件取得"}},
      {"ASiteOfTheLearnersOwnNetworkKeepsItsInwardAddresses",
       kArticles,
       {"http://192.168.1.5/"},
       {{"http://192.168.1.5/", Ok("192.168.1.5", Rss({{"http://localhost/2026/12/07/a", ""}}))},
        {"http://localhost/robots.txt", Status(404)},
        {"http://localhost/2026/12/07/a", Ok("localhost", "<p>At home.</p>")}},
       {},
       {"http://192.168.1.5/", "http://localhost/robots.txt", "http://localhost/2026/12/07/a"},
       {1},
       {"http://192.168.1.5/の記事を1件取得"}},
      {"WithLinkFollowingTheSitesLinksAreAdmittedAsDesignedAndArticlesComeFirstEachOnce",
       {.IsLevel = true, .AllowedLevel = 1, .FollowArticles = true},
       {"http://a/", "http://c/"},
       {{"http://a/", Ok("a", "<a href=\"x.html\">x</a><a href=\"/2026/12/07/s.html\">s</a>")},
        {"http://a/robots.txt", Status(404)},
        {"http://a/x.html", Ok("a", "<p>Page x here.</p>")},
        {"http://c/", Ok("c", Rss({{"http://a/2026/12/07/s.html", ""}, {"http://a/y", ""}}))},
        {"http://a/y", Ok("a", "<p>Article y here.</p>")}},
       {},
       // The second site's feed names an address the first site's page gave: fetched once.
       {"http://a/", "http://c/", "http://a/robots.txt", "http://a/y", "http://a/x.html",
        "http://a/2026/12/07/s.html"},
       {0, 1},
       {"http://a/の記事を0件取得", "記事 1/1 http://a/y", "http://c/の記事を1件取得"}},
  };
}

class ArticleCrawlTest : public ::testing::TestWithParam<ArticleCase> {};

TEST_P(ArticleCrawlTest, FetchesTheSitesArticlesInOrder) {
  const ArticleCase& c = GetParam();
  FakeShell shell;
  GatheringCrawl crawl(shell, shell, 0);
  crawl.SetSiteList(c.sites);
  crawl.SetLinkOptions(c.options);
  crawl.SetPageLinksReader([&c](const std::string& body) {
    const auto links = c.linksOfBody.find(body);
    return links != c.linksOfBody.end() ? links->second : PageLinks{};
  });
  crawl.Start();
  std::vector<std::string> fetched;
  while (std::optional<std::string> url = crawl.StartNextFetch(0)) {
    ASSERT_LT(fetched.size(), 50u) << "the crawl does not end";
    fetched.push_back(*url);
    const auto answer = c.answers.find(*url);
    crawl.EndFetch(answer != c.answers.end() ? answer->second : Status(404));
  }
  EXPECT_TRUE(crawl.Finished());
  EXPECT_THAT(fetched, ElementsAreArray(c.fetched));
  std::vector<std::int32_t> read;
  for (const SiteArticleCount& site : crawl.SiteArticles()) read.push_back(site.read);
  EXPECT_THAT(read, ElementsAreArray(c.readPerSite));
  for (const std::string& line : c.linesWanted) EXPECT_THAT(shell.lines, Contains(line));
  for (const std::string& line : c.linesNotWanted) EXPECT_THAT(shell.lines, Not(Contains(line)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ArticleCrawlTest, ::testing::ValuesIn(ArticleCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// An article's sentences go under the host of its site, wherever the feed put it.
TEST(ArticleCrawlStoreTest, ArticlesAreStoredUnderTheSitesHost) {
  FakeShell shell;
  GatheringCrawl crawl(shell, shell, 0);
  crawl.SetSiteList({"http://www.x/rss"});
  crawl.SetLinkOptions(kArticles);
  crawl.Start();
  const std::map<std::string, FetchEnding> answers = {
      {"http://www.x/rss", Ok("www.x", Rss({{"http://other.x/a", ""}}))},
      {"http://other.x/robots.txt", Status(404)},
      {"http://other.x/a", Ok("other.x", "<p>The article text.</p>")}};
  while (std::optional<std::string> url = crawl.StartNextFetch(0)) {
    crawl.EndFetch(answers.at(*url));
  }
  EXPECT_EQ(crawl.Sentences().count("other.x"), 0u);
  EXPECT_THAT(crawl.Sentences().at("www.x"), Contains("The article text"));
}

// A fetch of an article cut off by the watchdog is one step; the site's count line follows.
TEST(ArticleCrawlStoreTest, TheWatchdogCutsAnArticleOffAndTheCrawlGoesOn) {
  FakeShell shell;
  GatheringCrawl crawl(shell, shell, 0);
  crawl.SetSiteList({"http://a/"});
  crawl.SetLinkOptions(kArticles);
  crawl.Start();
  ASSERT_EQ(crawl.StartNextFetch(0), "http://a/");
  crawl.EndFetch(Ok("a", Rss({{"http://a/1", ""}, {"http://a/2", ""}})));
  ASSERT_EQ(crawl.StartNextFetch(0), "http://a/robots.txt");
  crawl.EndFetch(Status(404));
  ASSERT_EQ(crawl.StartNextFetch(1000), "http://a/1");
  crawl.Tick(1000 + kWatchdogMs + 1);
  EXPECT_EQ(crawl.State(), CrawlState::kCutOff);
  crawl.EndFetch(Ok("a", "<p>Too late to count.</p>"));
  ASSERT_EQ(crawl.StartNextFetch(40000), "http://a/2");
  crawl.Tick(40000 + kWatchdogMs);  // counted from this article's start, not the last one's
  EXPECT_EQ(crawl.State(), CrawlState::kFetching);
  crawl.EndFetch(Ok("a", "<p>In time.</p>"));
  EXPECT_EQ(crawl.StartNextFetch(40000), std::nullopt);
  EXPECT_TRUE(crawl.Finished());
  EXPECT_EQ(crawl.SiteArticles().at(0).read, 1);
  EXPECT_EQ(shell.lines.back(), "http://a/の記事を1件取得");
}

// A page whose reading fails (here its links, then a structured datum that once threw) costs
// that page only: a line names it and why, and every later site and article is still read.
TEST(ArticleCrawlStoreTest, APageThatFailsToReadCostsThatPageOnly) {
  for (const bool articleText : {true, false}) {
    SCOPED_TRACE(articleText ? "read as articles" : "scanned");
    FakeShell shell;
    GatheringCrawl crawl(shell, shell, 0);
    crawl.SetSiteList({"http://a/", "http://b/"});
    crawl.SetLinkOptions({.ArticleText = articleText, .FollowArticles = true});
    crawl.SetPageLinksReader([](const std::string& body) -> PageLinks {
      if (body == "bad") throw std::runtime_error("stoul");
      return {};
    });
    crawl.Start();
    const std::string badJson =
        "<script type=application/ld+json>{\"datePublished\":\"\\uZZZZ\"}</script>"
        "<p>The article read in spite of its data.</p>";
    const std::map<std::string, FetchEnding> answers = {
        {"http://a/", Ok("a", "bad")},
        {"http://b/", Ok("b", Rss({{"http://b/1", ""}}))},
        {"http://b/robots.txt", Status(404)},
        {"http://b/1", Ok("b", badJson)}};
    while (std::optional<std::string> url = crawl.StartNextFetch(0))
      crawl.EndFetch(answers.at(*url));
    EXPECT_TRUE(crawl.Finished());
    EXPECT_THAT(shell.lines, Contains("http://a/のページは読み取りに失敗したため破棄: stoul"));
    ASSERT_EQ(crawl.SiteArticles().size(), 1u);
    EXPECT_EQ(crawl.SiteArticles()[0].read, 1);
    EXPECT_THAT(crawl.Sentences().at("b"),
                Contains(::testing::StartsWith("The article read in spite")));
  }
}

// A site address that is a feed is no page of text, and an article address that answers with
// a feed is no article; both by the root element, whatever the Content-Type said.
TEST(ArticleCrawlStoreTest, AFeedIsReadAsAFeedWhereverItIs) {
  for (const bool articleText : {true, false}) {
    SCOPED_TRACE(articleText ? "read as articles" : "scanned");
    FakeShell shell;
    GatheringCrawl crawl(shell, shell, 0);
    crawl.SetSiteList({"http://a/"});
    crawl.SetLinkOptions({.ArticleText = articleText, .FollowArticles = true});
    crawl.Start();
    const std::map<std::string, FetchEnding> answers = {
        {"http://a/", Ok("a",
                         "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- x -->\n<rss version=\"2.0\">"
                         "<channel><item><link>http://a/feed-again</link></item>"
                         "<item><link>http://a/story</link></item></channel></rss>")},
        {"http://a/robots.txt", Status(404)},
        {"http://a/feed-again",
         {FetchEndingKind::kSuccess, "a", "<p>Not a feed by its body.</p>", "",
          "application/atom+xml; charset=utf-8", 200}},
        {"http://a/story", Ok("a", "<p>The story itself.</p>")}};
    while (std::optional<std::string> url = crawl.StartNextFetch(0))
      crawl.EndFetch(answers.at(*url));
    EXPECT_THAT(shell.lines, Contains("http://a/feed-againはフィードのため記事として読みません"));
    EXPECT_EQ(crawl.SiteArticles().at(0).read, 1);
    for (const std::string& sentence : crawl.Sentences().at("a"))
      EXPECT_EQ(sentence.find("http"), std::string::npos) << sentence;
  }
}

// A feed the watchdog cut off lets the site try its next feed, and the site still closes with
// its count line.
TEST(ArticleCrawlStoreTest, AFeedCutOffByTheWatchdogGoesOnToTheNextSource) {
  FakeShell shell;
  GatheringCrawl crawl(shell, shell, 0);
  crawl.SetSiteList({"http://a/"});
  crawl.SetLinkOptions(kArticles);
  crawl.SetPageLinksReader([](const std::string&) {
    return PageLinks{"", {FeedLink("/slow.xml"), FeedLink("/feed.xml")}};
  });
  crawl.Start();
  ASSERT_EQ(crawl.StartNextFetch(0), "http://a/");
  crawl.EndFetch(Ok("a", "home"));
  ASSERT_EQ(crawl.StartNextFetch(0), "http://a/slow.xml");
  crawl.Tick(kWatchdogMs + 1);
  crawl.EndFetch(Ok("a", Rss({{"http://a/late", ""}})));
  ASSERT_EQ(crawl.StartNextFetch(40000), "http://a/feed.xml");
  crawl.EndFetch(Ok("a", Rss({{"http://a/1", ""}})));
  ASSERT_EQ(crawl.StartNextFetch(40000), "http://a/robots.txt");
  crawl.EndFetch(Status(404));
  ASSERT_EQ(crawl.StartNextFetch(40000), "http://a/1");
  crawl.EndFetch(Ok("a", "<p>One.</p>"));
  EXPECT_EQ(crawl.StartNextFetch(40000), std::nullopt);
  EXPECT_EQ(shell.lines.back(), "http://a/の記事を1件取得");
}

// A site's share of the run is bounded: ArticlesPerSite + 3 feed and robots.txt requests, and
// its steps within a minute of its first; each step past that is one line, and the site still
// closes with its count.
TEST(ArticleCrawlStoreTest, ASiteStaysWithinItsBudgetOfRequestsAndTime) {
  FakeShell shell;
  GatheringCrawl crawl(shell, shell, 0);
  crawl.SetSiteList({"http://a/", "http://b/", "http://c/"});
  crawl.SetLinkOptions({.FollowArticles = true, .ArticlesPerSite = 2});
  crawl.SetPageLinksReader([](const std::string& body) {
    PageLinks links;
    if (body == "many feeds")
      for (const char* feed : {"/1", "/2", "/3", "/4", "/5", "/6", "/7"})
        links.links.push_back(FeedLink(feed));
    if (body == "five feeds")
      for (const char* feed : {"/1", "/2", "/3", "/4", "/5"}) links.links.push_back(FeedLink(feed));
    return links;
  });
  crawl.Start();
  std::vector<std::string> fetched;
  TickCount now = 0;
  while (std::optional<std::string> url = crawl.StartNextFetch(now)) {
    fetched.push_back(*url);
    if (*url == "http://a/")
      crawl.EndFetch(Ok("a", "many feeds"));
    else if (*url == "http://b/")
      crawl.EndFetch(Ok("b", Rss({{"http://b/1", ""}, {"http://b/2", ""}})));
    else if (*url == "http://b/robots.txt")
      crawl.EndFetch(Status(404));
    else if (*url == "http://b/1") {
      now += kSiteArticlesBudgetMs + 1;  // the first article took the site's whole minute
      crawl.EndFetch(Ok("b", "<p>One.</p>"));
    } else if (*url == "http://c/")
      crawl.EndFetch(Ok("c", "five feeds"));
    else if (*url == "http://c/5")  // the last request the budget allows: robots.txt is past it
      crawl.EndFetch(Ok("c", Rss({{"http://c/story", ""}})));
    else
      crawl.EndFetch(Status(404));
  }
  EXPECT_THAT(
      fetched,
      ElementsAreArray({"http://a/", "http://a/1", "http://a/2", "http://a/3", "http://a/4",
                        "http://a/5", "http://b/", "http://b/robots.txt", "http://b/1", "http://c/",
                        "http://c/1", "http://c/2", "http://c/3", "http://c/4", "http://c/5"}));
  // Unread rules allow nothing: the host's article is not fetched.
  EXPECT_THAT(shell.lines,
              Contains("http://c/robots.txtはサイトの取得上限を超えたため取得しません"));
  EXPECT_THAT(shell.lines, Contains("http://c/の記事を0件取得"));
  EXPECT_THAT(shell.lines, Contains("http://a/6はサイトの取得上限を超えたため取得しません"));
  EXPECT_THAT(shell.lines, Contains("http://a/7はサイトの取得上限を超えたため取得しません"));
  EXPECT_THAT(shell.lines, Contains("http://a/の記事を0件取得"));
  EXPECT_THAT(shell.lines, Contains("http://b/2はサイトの取得上限を超えたため取得しません"));
  EXPECT_THAT(shell.lines, Contains("http://b/の記事を1件取得"));
}

// The whole run over the loopback server: a home page naming its feed (through the reader a
// shell hands in), the feed's items on another host of the same server, robots.txt there
// keeping one article out, and a 307 on the way to one article.
TEST(ArticleRunCrawlTest, ReadsTheFeedsArticlesOverTheNetwork) {
  // The pages name the server's port: the responder is filled in once the port is known,
  // before the first connection.
  ScriptedServer::Responder pages;
  ScriptedServer server(
      [&pages](int connection, const std::string& request) { return pages(connection, request); });
  const std::string other = "http://localhost:" + std::to_string(server.port());
  pages = testing::ServePages({
      {"/", testing::Page("<p>The home page.</p>")},
      {"/feed.xml", testing::Page(Rss({{other + "/2026/12/07/first", "07 Dec 2026 10:00 GMT"},
                                       {other + "/private/second", "07 Dec 2026 09:00 GMT"},
                                       {other + "/2026/12/06/third", "06 Dec 2026 09:00 GMT"}}))},
      {"/robots.txt", testing::Page("User-agent: *\nDisallow: /private/\n")},
      {"/2026/12/07/first",
       Exchange::Reply(
           "HTTP/1.0 307 Temporary Redirect\r\nLocation: /2026/12/07/first-moved\r\n\r\n")},
      {"/2026/12/07/first-moved", testing::Page("<p>The first article.</p>")},
      {"/2026/12/06/third", testing::Page("<p>The third article.</p>")},
  });
  PageFetch fetch;
  FakeShell view;
  GatheringCrawl crawl(fetch, view, 0);
  crawl.SetSiteList({server.Url("/")});
  crawl.SetLinkOptions(kArticles);
  crawl.SetPageLinksReader([](const std::string&) {
    return PageLinks{"", {FeedLink("/feed.xml")}};
  });
  TickCount clock = 0;
  EXPECT_EQ(RunCrawl(crawl, fetch,
                     {.now = [&] { return clock; },
                      .pump = [&] { clock += 1; },
                      .idle = [&] { clock += 1000; }}),
            ModalResult::kOK);
  EXPECT_EQ(
      crawl.CopySentenceStore(),
      (SentenceStore{{"127.0.0.1", {"The first article", "The home page", "The third article"}}}));
  EXPECT_THAT(view.lines, Contains(other + "/private/secondはrobots.txtにより取得しません"));
  EXPECT_EQ(view.lines.back(), server.Url("/") + "の記事を2件取得");
}

// An article page long enough to read as one: its first paragraph opens with `lead`.
std::string Story(const std::string& lead, const std::string& head = "") {
  std::string body =
      "<html><head>" + head + "</head><body><article><h1>A story of the day in four words</h1>";
  body += "<p>" + lead + ", witnesses said on Monday morning.</p>";
  for (int i = 0; i < 4; ++i) {
    body +=
        "<p>Officials said the work would go on through the winter, and that the town "
        "would hear more about the plans at a meeting later in the week.</p>";
  }
  return body + "</article></body></html>";
}

// One rule on both paths: a page reads the same whether it is a site's own address or an
// article the site links to (sentences, the article kept, its headline and date), read as an
// article or scanned, and past the article reading's bounds scanned on both.
TEST(ArticleCrawlStoreTest, ASitesPageAndItsArticlesAreReadAlike) {
  struct Read {
    SentenceStore sentences;
    std::vector<KeptArticle> articles;
  };
  const auto read = [](const std::string& body, bool articleText, bool asArticle) {
    FakeShell shell;
    GatheringCrawl crawl(shell, shell, 0);
    // Not the site's root: a home page is never kept as an article.
    crawl.SetSiteList({"http://a/news/today"});
    crawl.SetLinkOptions({.ArticleText = articleText, .FollowArticles = asArticle});
    // As an article, the site's page is empty and names the page as its one article link.
    crawl.SetPageLinksReader([](const std::string&) {
      return PageLinks{"", {Headline("/2026/12/07/story")}};
    });
    crawl.Start();
    while (std::optional<std::string> url = crawl.StartNextFetch(0)) {
      if (*url == "http://a/robots.txt") {
        crawl.EndFetch(Status(404));
      } else {
        crawl.EndFetch(Ok("a", asArticle && *url == "http://a/news/today" ? "" : body));
      }
    }
    return Read{crawl.Sentences(), crawl.Articles()};
  };
  const std::string dated = Story("The zorbs rolled down the long hill today",
                                  "<meta property=\"article:published_time\" "
                                  "content=\"2026-12-07T08:00:00Z\">");
  std::string pastTheBounds = "<p>Zorbs rolled.</p>";
  for (int i = 0; i < 60000; ++i) pastTheBounds += "<i>";
  const struct {
    const char* what;
    std::string body;
    std::size_t articles;  // when read as an article
  } pages[] = {
      {"an article with its date", dated, 1},
      {"a front page of headlines",
       "<html><body><nav><a href=/a>Menu item with four words</a></nav><div><a href=/1>Ship "
       "sinks off the coast</a><a href=/2>Ferry saves twelve crew members</a></div></body></html>",
       0},
      {"a brief page", "<p>The zorbs rolled. A zorb rolls.</p>", 0},
      {"a page past the bounds", pastTheBounds, 0},
  };
  for (const auto& page : pages) {
    for (const bool articleText : {true, false}) {
      SCOPED_TRACE(std::string(page.what) + (articleText ? ", read as articles" : ", scanned"));
      const Read own = read(page.body, articleText, false);
      const Read linked = read(page.body, articleText, true);
      EXPECT_FALSE(own.sentences.empty());
      EXPECT_EQ(linked.sentences, own.sentences);
      ASSERT_EQ(own.articles.size(), articleText ? page.articles : 0u);
      ASSERT_EQ(linked.articles.size(), own.articles.size());
      for (std::size_t i = 0; i < own.articles.size(); ++i) {
        EXPECT_EQ(linked.articles[i].title, own.articles[i].title);
        EXPECT_EQ(linked.articles[i].date, own.articles[i].date);
        EXPECT_EQ(linked.articles[i].date, "2026-12-07T08:00:00Z");
        EXPECT_EQ(linked.articles[i].paragraphs, own.articles[i].paragraphs);
        EXPECT_EQ(linked.articles[i].site, own.articles[i].site);
      }
    }
  }
}

// Without a reader handed in, the home page itself is parsed for the feed its head names and
// for its article links, whether pages are read as articles or scanned.
TEST(ArticleRunCrawlTest, AHomePagesOwnHeadNamesTheFeedAndItsLinksStandInWithoutOne) {
  for (const bool articleText : {true, false}) {
    SCOPED_TRACE(articleText ? "read as articles" : "scanned");
    std::string port;
    ScriptedServer server([&port](int, const std::string& request) {
      const std::pair<const char*, std::string> pages[] = {
          {"/",
           "<html><head><title>News</title><link rel=\"alternate\" "
           "type=\"application/rss+xml\" href=\"/feed.xml\"></head><body><p>Home.</p>"
           "<a href=\"/2026/12/07/rain-returns-to-the-valley\">Rain returns to the valley</a>"
           "</body></html>"},
          {"/plain/",
           "<html><head><title>Plain</title></head><body><a "
           "href=\"/plain/2026/12/07/story\">The talks resumed in the capital</a></body></html>"},
          {"/feed.xml", Rss({{"/2026/12/07/from-the-feed", "07 Dec 2026 10:00 GMT"},
                             {"/2026/12/06/dated", "07 Dec 2026 09:00 GMT"}})},
          // A template's placeholder date, which gives way to the feed's.
          {"/2026/12/07/from-the-feed", "<time datetime=\"0001-01-01T00:00:00Z\"></time>" +
                                            Story("The zorbs rolled down the long hill today")},
          {"/2026/12/06/dated",
           Story("The quagmire swallowed the old road",
                 "<meta property=\"article:published_time\" content=\"2026-12-06T08:00:00Z\">")},
          {"/plain/2026/12/07/story", Story("The glimmers faded over the old capital tonight")}};
      for (const auto& [path, body] : pages) {
        if (request.starts_with(std::string("GET ") + path + " ")) return testing::Page(body);
      }
      return Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\n");
    });
    port = std::to_string(server.port());
    PageFetch fetch;
    FakeShell view;
    GatheringCrawl crawl(fetch, view, 0);
    crawl.SetSiteList({server.Url("/"), server.Url("/plain/")});
    crawl.SetLinkOptions({.ArticleText = articleText, .FollowArticles = true});
    TickCount clock = 0;
    RunCrawl(crawl, fetch,
             {.now = [&] { return clock; },
              .pump = [&] { clock += 1; },
              .idle = [&] { clock += 1000; }});
    EXPECT_THAT(view.lines, Contains("記事 1/2 " + server.Url("/2026/12/07/from-the-feed")));
    EXPECT_THAT(view.lines, Contains("記事 2/2 " + server.Url("/2026/12/06/dated")));
    EXPECT_THAT(view.lines, Contains("記事 1/1 " + server.Url("/plain/2026/12/07/story")));
    ASSERT_EQ(crawl.SiteArticles().size(), 2u);
    EXPECT_EQ(crawl.SiteArticles()[0].read, 2);
    EXPECT_EQ(crawl.SiteArticles()[1].read, 1);
    std::string sentences;
    for (const std::string& sentence : crawl.Sentences().at("127.0.0.1"))
      sentences += sentence + "|";
    EXPECT_NE(sentences.find("zorbs rolled"), std::string::npos) << sentences;
    EXPECT_NE(sentences.find("glimmers faded"), std::string::npos) << sentences;
    if (articleText) {
      ASSERT_EQ(crawl.Articles().size(), 3u);
      EXPECT_EQ(crawl.Articles()[0].address, server.Url("/2026/12/07/from-the-feed"));
      EXPECT_EQ(crawl.Articles()[0].date,
                "2026-12-07T10:00:00Z");  // the feed's, as the page's is no date
      // The next article's own date wins over its feed's; nothing of the first stays.
      EXPECT_EQ(crawl.Articles()[1].address, server.Url("/2026/12/06/dated"));
      EXPECT_EQ(crawl.Articles()[1].date, "2026-12-06T08:00:00Z");
      EXPECT_EQ(crawl.Articles()[2].date, "");  // a page link has no feed's date
    }
  }
}

}  // namespace
}  // namespace quillmark
