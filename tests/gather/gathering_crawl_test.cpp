// The crawl as a state machine: literal ticks, scripted endings, one client and view that
// record what the crawl does to them. At the end, the same crawl run against the scripted
// loopback server with a clock that the pump moves on.
#include "gather/gathering_crawl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "support/memory_ceiling.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using testing::Exchange;
using ::testing::IsEmpty;
using testing::ScriptedServer;

// The client and the window as the crawl sees them.
struct FakeShell : FetchControl, CrawlView {
  const std::string& Host() const override { return host; }
  void Disconnect() override { ++disconnects; }
  void SetProxy(const std::string& proxyHost, std::uint32_t port) override {
    proxy = proxyHost + ":" + std::to_string(port);
  }
  void SetFetchHttps(bool on) override { fetchHttps = on; }
  void SetHttpsProxy(const std::string& proxyHost, std::uint32_t port) override {
    httpsProxy = proxyHost + ":" + std::to_string(port);
  }
  void SetLabel(const std::string& text) override { labels.push_back(text); }
  void AddStatusLine(const std::string& text) override { lines.push_back(text); }

  std::string host;
  int disconnects = 0;
  std::string proxy;
  bool fetchHttps = false;
  std::string httpsProxy;
  std::vector<std::string> labels;
  std::vector<std::string> lines;
};

FetchEnding Success(const std::string& host, const std::string& body) {
  return {FetchEndingKind::kSuccess, host, body, "", ""};
}
FetchEnding ClientError() { return {FetchEndingKind::kClientError, "", "", "Empty URL", ""}; }
FetchEnding Failure() { return {FetchEndingKind::kFailure, "", "", "", ""}; }

class GatheringCrawlTest : public ::testing::Test {
 protected:
  void Configure(const std::vector<std::string>& sites, LinkOptions options = {}) {
    crawl_.SetSiteList(sites);
    crawl_.SetLinkOptions(options);
    crawl_.Start();
  }

  // Fetches until the crawl hands out nothing more, answering each URL from `pages_` (a
  // missing page is a failure), all at tick 0. Returns the URLs in the order fetched.
  std::vector<std::string> FetchAll() {
    std::vector<std::string> fetched;
    while (std::optional<std::string> url = crawl_.StartNextFetch(0)) {
      fetched.push_back(*url);
      const auto page = pages_.find(*url);
      crawl_.EndFetch(page != pages_.end() ? Success("host", page->second) : Failure());
    }
    return fetched;
  }

  FakeShell shell_;
  GatheringCrawl crawl_{shell_, shell_, 0};
  std::map<std::string, std::string> pages_;
};

TEST_F(GatheringCrawlTest, FetchesTheSitesInOrderAndClosesAtTheTickAfterTheLast) {
  Configure({"http://a.example/", "http://b.example/"});
  ASSERT_EQ(crawl_.StartNextFetch(100), "http://a.example/");
  EXPECT_EQ(crawl_.StartNextFetch(100), std::nullopt);  // never a fetch inside another
  crawl_.ReportFetchLine("a.exampleからのドキュメント取得成功");
  crawl_.EndFetch(Success("a.example", "<p>Hello big world. It is 3.</p>"));
  ASSERT_EQ(crawl_.StartNextFetch(200), "http://b.example/");
  crawl_.EndFetch(Success("b.example", "<p>Good night moon.</p>"));
  EXPECT_EQ(crawl_.StartNextFetch(300), std::nullopt);

  EXPECT_THAT(shell_.labels, ElementsAre("インターネットサイトより単語収集中  (1/2)",
                                         "インターネットサイトより単語収集中  (2/2)"));
  EXPECT_THAT(shell_.lines,
              ElementsAre("http://a.example/接続開始", "a.exampleからのドキュメント取得成功",
                          "http://b.example/接続開始"));
  EXPECT_EQ(crawl_.CopySentenceStore(), (SentenceStore{{"a.example", {"Hello big world"}},
                                                       {"b.example", {"Good night moon"}}}));
  EXPECT_TRUE(crawl_.Finished());
  EXPECT_EQ(crawl_.Result(), ModalResult::kNone);
  crawl_.Tick(400);
  EXPECT_EQ(crawl_.Result(), ModalResult::kOK);
}

// 32 MiB of distinct five-letter sentences would take some 450 MiB as a store; with 256 MiB to
// spare the page runs out of memory half-way, is taken back whole, and the next site follows.
TEST_F(GatheringCrawlTest, APageTooBigForTheMemoryLeftIsDroppedAndTheCrawlGoesOn) {
  if (!testing::kAddressSpaceCanBeCapped) GTEST_SKIP() << "no address-space ceiling here";
  std::string huge;
  for (std::uint32_t i = 0; huge.size() < (32u << 20); ++i) {
    for (std::uint32_t n = i, letter = 0; letter < 5; ++letter, n /= 26) huge += char('a' + n % 26);
    huge += '.';
  }
  const FetchEnding hugePage = Success("a.example", huge);
  Configure({"http://a.example/", "http://b.example/"});
  const auto dropsThePageAndGoesOn = [&] {
    crawl_.StartNextFetch(0);
    crawl_.EndFetch(hugePage);
    crawl_.StartNextFetch(0);
    crawl_.EndFetch(Success("b.example", "Small page here."));
    return shell_.lines ==
               std::vector<std::string>{"http://a.example/接続開始",
                                        "http://a.example/のページはメモリ不足のため破棄",
                                        "http://b.example/接続開始"} &&
           crawl_.Sentences() == SentenceStore{{"b.example", {"Small page here"}}} &&
           crawl_.Finished();
  };
  EXPECT_EXIT(
      {
        if (!testing::CapAddressSpaceGrowth(256 << 20)) std::_Exit(2);
        std::_Exit(dropsThePageAndGoesOn() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// The same site read both ways: as an article, sentences keep their stops and digits and links
// come from the parsed page in any quoting; read whole, the scanner's text and links as ever.
TEST_F(GatheringCrawlTest, ArticleTextReadsThePageAsAReaderWouldAndOffTheScannerAsEver) {
  const std::string article =
      "<header><a href=\"/\">Home</a></header><article><h1>Ship sinks</h1><p>The cargo ship sank "
      "on Monday, and all 12 crew were saved, the coastguard said.</p><p>Rescuers said the sea "
      "was calm, the night was clear, and the crew had time to put on life jackets.</p><p>An "
      "inquiry, which starts at 4.30 p.m. today, will look at the engines, the cargo and the "
      "route.</p><p>Divers will reach the wreck, which lies in 40 metres of water, once the "
      "weather "
      "allows, and the owners have offered to pay for the salvage.</p><a "
      "href='next.html'>Next</a></article>";
  const std::string home = "http://a.example/news/";  // a home page is never an article
  for (const bool articleText : {true, false}) {
    GatheringCrawl crawl(shell_, shell_, 0);
    crawl.SetSiteList({home});
    crawl.SetLinkOptions({.IsLevel = true, .AllowedLevel = 2, .ArticleText = articleText});
    crawl.Start();
    crawl.StartNextFetch(0);
    crawl.EndFetch(Success("a.example", article));
    SentenceStore scanned;
    AddPageSentences("a.example", ScanPage(article, FollowAnchors::kYes).text, scanned);
    if (articleText) {
      EXPECT_EQ(crawl.URLList(),
                (std::vector<std::string>{home, "http://a.example/", home + "next.html"}));
      EXPECT_EQ(
          crawl.Sentences().at("a.example"),
          (std::set<std::string>{
              "The cargo ship sank on Monday, and all 12 crew were saved, the coastguard said.",
              "Rescuers said the sea was calm, the night was clear, and the crew had time to "
              "put on life jackets.",
              "An inquiry, which starts at 4.30 p.m. today, will look at the engines, the "
              "cargo and the route.",
              "Divers will reach the wreck, which lies in 40 metres of water, once the weather "
              "allows, and the owners have offered to pay for the salvage.",
              "Next"}));
      ASSERT_EQ(crawl.Articles().size(), 1u);
      EXPECT_EQ(crawl.Articles()[0].site, "a.example");
      EXPECT_EQ(crawl.Articles()[0].address, home);
      EXPECT_EQ(crawl.Articles()[0].title, "Ship sinks");
      EXPECT_EQ(crawl.Articles()[0].paragraphs.size(), 5u);
    } else {
      // Only the quoted links; "/" as the scanner reads it.
      EXPECT_EQ(crawl.URLList(), (std::vector<std::string>{home, "http://a.example/"}));
      EXPECT_EQ(crawl.Sentences(), scanned);
      EXPECT_THAT(crawl.Articles(), IsEmpty());
    }
  }
}

TEST_F(GatheringCrawlTest, FrameSourcesOfSitesComeAfterAllSitesAndGiveNoLinksOfTheirOwn) {
  pages_ = {{"http://a.example/",
             "<frameset rows=2><frame src=\"news/index.htm\"></frameset><a href=\"x.html\">x</a>"},
            {"http://a.example/news/index.htm", "<frame src=\"deeper.htm\">"}};
  Configure({"http://a.example/", "http://b.example/"});
  EXPECT_THAT(FetchAll(), ElementsAre("http://a.example/", "http://b.example/",
                                      "http://a.example/news/index.htm"));
  EXPECT_THAT(crawl_.LinkDepths(), ElementsAre(0, 0, 1));
}

TEST_F(GatheringCrawlTest, AnchorsAreFollowedBelowTheAllowedLevelOnly) {
  pages_ = {{"http://a.example/", "<a href=\"a.html\">"},
            {"http://a.example/a.html", "<a href=\"b.html\">"},
            {"http://a.example/b.html", "<a href=\"c.html\">"}};
  Configure({"http://a.example/"}, {.IsLevel = true, .AllowedLevel = 2});
  EXPECT_THAT(FetchAll(), ElementsAre("http://a.example/", "http://a.example/a.html",
                                      "http://a.example/b.html"));
  EXPECT_THAT(crawl_.LinkDepths(), ElementsAre(0, 1, 2));
}

TEST_F(GatheringCrawlTest, AdmitsOnlyRelativeOrOtherSchemeLinksToPagesOrFoldersOnce) {
  std::string anchors;
  for (const char* link :
       {"http://otherhost/a.html", "story.html?id=1", "news.html#top", "archive", "sports/",
        "Story.HTML", "Story.Html", "index.shtml", "https://otherhost/a.html",
        "HTTP://otherhost/a.html", "sports/", "./sports/"}) {
    anchors += "<a href=\"" + std::string(link) + "\">";
  }
  pages_ = {{"http://a.example/w/", anchors}, {"http://a.example/w/sports/", anchors}};
  Configure({"http://a.example/w/"}, {.IsLevel = true, .AllowedLevel = 2});
  FetchAll();
  EXPECT_THAT(crawl_.URLList(), ElementsAre("http://a.example/w/", "http://a.example/w/sports/",
                                            "http://a.example/w/Story.HTML",
                                            "https://otherhost/a.html", "HTTP://otherhost/a.html",
                                            // the second page's own 'sports/' is one level deeper
                                            "http://a.example/w/sports/sports/",
                                            "http://a.example/w/sports/Story.HTML"));
}

TEST_F(GatheringCrawlTest, WithHttpsAbsoluteHttpsLinksAreSkippedAndRelativeOnesStayHttps) {
  pages_ = {{"https://a.example/w/",
             "<a href=\"https://a.example/w/x.html\"><a href=\"http://a.example/y.html\">"
             "<a href=\"c.html\"><a href=\"/d/\"><a href=\"HTTPS://a.example/z.html\">"}};
  Configure({"https://a.example/w/"}, {.IsLevel = true, .AllowedLevel = 1, .FetchHttps = true});
  FetchAll();
  EXPECT_TRUE(shell_.fetchHttps);
  EXPECT_THAT(crawl_.URLList(), ElementsAre("https://a.example/w/", "https://a.example/w/c.html",
                                            "https://a.example/d/", "HTTPS://a.example/z.html"));
}

TEST_F(GatheringCrawlTest, ALinkToASiteWhoseTurnHasNotComeIsFetchedTwice) {
  pages_ = {{"http://a.example/a.html", "<frame src=\"b.html\">"}};
  Configure({"http://a.example/a.html", "http://a.example/b.html"});
  EXPECT_THAT(FetchAll(), ElementsAre("http://a.example/a.html", "http://a.example/b.html",
                                      "http://a.example/b.html"));
}

TEST_F(GatheringCrawlTest, TheWatchdogEndsAFetchAndWhatItStillReportsIsDropped) {
  shell_.host = "a.example";
  Configure({"http://a.example/", "http://b.example/"});
  ASSERT_EQ(crawl_.StartNextFetch(1000), "http://a.example/");
  crawl_.Tick(31000);  // exactly the limit is not over it
  EXPECT_EQ(crawl_.State(), CrawlState::kFetching);
  crawl_.Tick(31001);
  EXPECT_EQ(crawl_.State(), CrawlState::kCutOff);
  EXPECT_EQ(shell_.disconnects, 1);
  EXPECT_EQ(crawl_.StartNextFetch(31002), std::nullopt);  // its Get has not returned yet

  crawl_.ReportFetchLine("a.exampleからのドキュメント取得成功");
  crawl_.EndFetch(Success("a.example", "<p>Partial page here.</p>"));
  EXPECT_THAT(crawl_.CopySentenceStore(), IsEmpty());
  EXPECT_EQ(crawl_.StartNextFetch(31003), "http://b.example/");
  EXPECT_THAT(shell_.lines, ElementsAre("http://a.example/接続開始", "a.exampleタイムアウト",
                                        "http://b.example/接続開始"));
  EXPECT_EQ(crawl_.AnimationCounter(), 2);
}

TEST_F(GatheringCrawlTest, AClientErrorWaitsForTheWatchdogCountedFromTheFetchsStart) {
  Configure({"https://a.example/", "http://b.example/"});
  ASSERT_TRUE(crawl_.StartNextFetch(5000));
  crawl_.EndFetch(ClientError());
  EXPECT_EQ(crawl_.State(), CrawlState::kWaiting);
  EXPECT_EQ(crawl_.StartNextFetch(6000), std::nullopt);
  crawl_.Tick(35000);
  EXPECT_FALSE(crawl_.ReadyForFetch());
  crawl_.Tick(35001);
  EXPECT_TRUE(crawl_.ReadyForFetch());
  EXPECT_EQ(shell_.disconnects, 0);                // no Get was in progress
  EXPECT_EQ(shell_.lines.back(), "タイムアウト");  // the client's Host, empty here
  EXPECT_EQ(crawl_.StartNextFetch(35002), "http://b.example/");
}

TEST_F(GatheringCrawlTest, AClientErrorOnTheLastURLStillWaitsForTheWatchdogBeforeClosing) {
  Configure({"https://a.example/"});
  ASSERT_TRUE(crawl_.StartNextFetch(0));
  crawl_.EndFetch(ClientError());
  crawl_.Tick(500);
  EXPECT_EQ(crawl_.Result(), ModalResult::kNone);
  crawl_.Tick(30001);
  EXPECT_EQ(shell_.lines.back(), "タイムアウト");
  crawl_.Tick(30501);
  EXPECT_EQ(crawl_.Result(), ModalResult::kOK);
}

TEST_F(GatheringCrawlTest, TheWatchdogCountsAcrossTheWrapOfTheTick) {
  struct Case {
    TickCount start, now;
    bool timedOut;
  };
  const Case cases[] = {{0xFFFFF000u, 0x00005000u, false},  // 24,576 ms later
                        {0xFFFFF000u, 0x00006531u, true},   // 30,001 ms later
                        {0x00000000u, 0x00007530u, false},  // exactly 30,000 ms
                        {0x00000010u, 0x00000000u, true}};  // "earlier" is 2^32 - 16 later
  for (const Case& c : cases) {
    FakeShell shell;
    GatheringCrawl crawl(shell, shell, 0);
    crawl.SetSiteList({"http://a.example/"});
    crawl.Start();
    ASSERT_TRUE(crawl.StartNextFetch(c.start));
    crawl.Tick(c.now);
    EXPECT_EQ(crawl.State() == CrawlState::kCutOff, c.timedOut) << c.start << " to " << c.now;
  }
}

TEST_F(GatheringCrawlTest, CancelDuringAFetchHandlesItsEndingOnceAndStartsNothingMore) {
  Configure({"http://a.example/", "http://b.example/"});
  ASSERT_TRUE(crawl_.StartNextFetch(0));
  crawl_.Cancel();
  EXPECT_EQ(shell_.disconnects, 1);
  crawl_.Tick(500);
  EXPECT_EQ(crawl_.Result(), ModalResult::kNone);  // its Get has not returned yet
  crawl_.ReportFetchLine("a.exampleからのドキュメント取得成功");
  crawl_.EndFetch(Success("a.example", "<p>What had arrived.</p>"));
  EXPECT_EQ(crawl_.Result(), ModalResult::kCancel);
  EXPECT_EQ(crawl_.StartNextFetch(600), std::nullopt);
  EXPECT_EQ(crawl_.CopySentenceStore(), (SentenceStore{{"a.example", {"What had arrived"}}}));
  EXPECT_EQ(shell_.lines.back(), "a.exampleからのドキュメント取得成功");
}

TEST_F(GatheringCrawlTest, CancelWhileWaitingClosesAtOnce) {
  Configure({"https://a.example/", "http://b.example/"});
  ASSERT_TRUE(crawl_.StartNextFetch(0));
  crawl_.EndFetch(ClientError());
  crawl_.Cancel();
  EXPECT_EQ(crawl_.Result(), ModalResult::kCancel);
  EXPECT_EQ(crawl_.FetchCount(), 1);
}

TEST_F(GatheringCrawlTest, AnEmptySiteListClosesAtTheFirstTickWithAnEmptyStore) {
  Configure({});
  EXPECT_TRUE(crawl_.Finished());
  EXPECT_EQ(crawl_.StartNextFetch(0), std::nullopt);
  crawl_.Tick(500);
  EXPECT_EQ(crawl_.Result(), ModalResult::kOK);
  EXPECT_THAT(crawl_.CopySentenceStore(), IsEmpty());
  EXPECT_THAT(shell_.lines, IsEmpty());
}

TEST(ProxySetting, IsSplitIntoHostAndPortWithTwoLinesOrLeftAlone) {
  struct Case {
    const char* setting;
    const char* proxy;  // what the client was given, "" for nothing
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"http://proxyhost:8080/",
       "proxyhost:8080",
       {"proxyhostをプロキシに設定", "8080をプロキシに設定"}},
      {"proxyhost", "proxyhost:0", {"proxyhostをプロキシに設定", "をプロキシに設定"}},
      {"proxyhost:99999", "proxyhost:0", {"proxyhostをプロキシに設定", "99999をプロキシに設定"}},
      {"p:000080", "p:80", {"pをプロキシに設定", "000080をプロキシに設定"}},
      {"p:+80", "p:80", {"pをプロキシに設定", "+80をプロキシに設定"}},
      {"p:00000000065535", "p:65535", {"pをプロキシに設定", "00000000065535をプロキシに設定"}},
      {"p:-80", "p:0", {"pをプロキシに設定", "-80をプロキシに設定"}},
      {"p:4294967376", "p:0", {"pをプロキシに設定", "4294967376をプロキシに設定"}},
      {"p:+", "p:0", {"pをプロキシに設定", "+をプロキシに設定"}},
      {"p:8o", "p:0", {"pをプロキシに設定", "8oをプロキシに設定"}},
      {"http=a:1;ftp=b:2", "http=a:0", {"http=aをプロキシに設定", "1;ftp=b:2をプロキシに設定"}},
      {"http://", "", {}},
      {"", "", {}},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    GatheringCrawl crawl(shell, shell, 0, c.setting);
    EXPECT_EQ(shell.proxy, c.proxy) << c.setting;
    EXPECT_EQ(shell.lines, c.lines) << c.setting;
  }
}

TEST(ProxySetting, ComesFromTheFirstOfTheTwoVariablesThatIsSetAndNotEmpty) {
  std::map<std::string, std::string> environment;
  const auto getEnv = [&environment](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  };
  EXPECT_EQ(ProxySettingFromEnvironment(getEnv), "");
  environment["HTTP_PROXY"] = "upper:1";
  EXPECT_EQ(ProxySettingFromEnvironment(getEnv), "upper:1");
  environment["http_proxy"] = "";
  EXPECT_EQ(ProxySettingFromEnvironment(getEnv), "upper:1");
  environment["http_proxy"] = "lower:2";
  EXPECT_EQ(ProxySettingFromEnvironment(getEnv), "lower:2");
}

TEST(ProxySetting, HttpsTakesItsOwnVariablesAndItsOwnProxyWithTwoLines) {
  std::map<std::string, std::string> environment{{"http_proxy", "plain:1"}};
  const auto getEnv = [&environment](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  };
  EXPECT_EQ(HttpsProxySettingFromEnvironment(getEnv), "");
  environment["HTTPS_PROXY"] = "upper:2";
  EXPECT_EQ(HttpsProxySettingFromEnvironment(getEnv), "upper:2");
  environment["https_proxy"] = "http://lower:3/";
  EXPECT_EQ(HttpsProxySettingFromEnvironment(getEnv), "http://lower:3/");

  FakeShell shell;
  GatheringCrawl crawl(shell, shell, 0, ProxySettingFromEnvironment(getEnv));
  crawl.SetHttpsProxy(HttpsProxySettingFromEnvironment(getEnv));
  EXPECT_EQ(shell.proxy, "plain:1");
  EXPECT_EQ(shell.httpsProxy, "lower:3");
  EXPECT_THAT(shell.lines, ElementsAre("plainをプロキシに設定", "1をプロキシに設定",
                                       "lowerをプロキシに設定", "3をプロキシに設定"));
}

// ---------------------------------------------------------------------------------------------
// The whole crawl against the scripted server. The clock is a counter that the pump and the
// idle step move on, so the watchdog and the ticks come after a known number of turns.

class RunCrawlTest : public ::testing::Test {
 protected:
  struct View : CrawlView {
    void SetLabel(const std::string&) override {}
    void AddStatusLine(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
  };

  ModalResult Run(const std::vector<std::string>& sites, LinkOptions options,
                  std::function<void()> pump = {}) {
    crawl_.SetSiteList(sites);
    crawl_.SetLinkOptions(options);
    CrawlRunner runner;
    runner.now = [this] { return clock_; };
    runner.pump = [this, pump] {
      clock_ += 500;  // one tick per turn
      if (pump) pump();
    };
    runner.idle = [this] { clock_ += 1000; };
    return RunCrawl(crawl_, fetch_, runner);
  }

  ScriptedServer server_{[](int, const std::string& request) {
    if (request.starts_with("GET /silent.html "))
      return Exchange::Reply("").EndWith(Exchange::Ending::kStall);
    if (request.starts_with("GET /drip.html ")) {
      return Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n").Drip(std::string(200, 'x'), 1, 25ms);
    }
    if (request.starts_with("GET /moved.html ")) {
      return Exchange::Reply(
          "HTTP/1.0 301 Moved\r\nLocation: https://127.0.0.1/moved.html\r\n\r\n");
    }
    if (request.starts_with("GET /links.html ")) {
      return Exchange::Reply(
          "HTTP/1.0 200 OK\r\n\r\n<p>The index page.</p><a href=\"two.html\">"
          "<a href=\"https://127.0.0.1/three.html\">");
    }
    if (request.starts_with("GET / ")) {
      return Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n<p>The index page.</p><a href=\"two.html\">");
    }
    return Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n<p>The second page.</p>");
  }};
  std::string host_ = "127.0.0.1";
  TickCount clock_ = 0xFFFFFF00u;  // the run crosses the wrap
  PageFetch fetch_;
  View view_;
  GatheringCrawl crawl_{fetch_, view_, clock_};
};

TEST_F(RunCrawlTest, ATwoPageSiteFillsTheStoreAndEndsWithOK) {
  EXPECT_EQ(Run({server_.Url("/")}, {.IsLevel = true, .AllowedLevel = 1}), ModalResult::kOK);
  EXPECT_EQ(crawl_.CopySentenceStore(),
            (SentenceStore{{host_, {"The index page", "The second page"}}}));
  EXPECT_THAT(
      view_.lines,
      ElementsAre(server_.Url("/") + "接続開始", host_ + "コネクション確立",
                  host_ + "からのドキュメント取得成功", server_.Url("/two.html") + "接続開始",
                  host_ + "コネクション確立", host_ + "からのドキュメント取得成功"));
}

// The pages of the test above over https: the same sentences; the absolute https link is not
// followed.
TEST_F(RunCrawlTest, AnHttpsSiteFillsTheStoreAsOverHttpAndItsAbsoluteLinksAreNotFollowed) {
  server_.UseTls(testing::TestTlsFile("server.pem"));
  fetch_.SetTrustedCertificates(testing::TestTlsFile("ca.pem"));
  EXPECT_EQ(
      Run({server_.Url("/links.html")}, {.IsLevel = true, .AllowedLevel = 1, .FetchHttps = true}),
      ModalResult::kOK);
  EXPECT_EQ(crawl_.CopySentenceStore(),
            (SentenceStore{{host_, {"The index page", "The second page"}}}));
  EXPECT_THAT(crawl_.URLList(), ElementsAre(server_.Url("/links.html"), server_.Url("/two.html")));
  EXPECT_THAT(
      view_.lines,
      ElementsAre(server_.Url("/links.html") + "接続開始", host_ + "コネクション確立",
                  host_ + "からのドキュメント取得成功", server_.Url("/two.html") + "接続開始",
                  host_ + "コネクション確立", host_ + "からのドキュメント取得成功"));
}

// A clock that stands still while the pages come: only idling would reach the next tick, and
// a finished crawl does not wait for it.
TEST_F(RunCrawlTest, AFinishedCrawlEndsWithoutIdlingForTheNextTick) {
  crawl_.SetSiteList({server_.Url("/two.html")});
  int idleTurns = 0;
  EXPECT_EQ(
      RunCrawl(crawl_, fetch_,
               {.now = [this] { return clock_; }, .pump = [] {}, .idle = [&] { ++idleTurns; }}),
      ModalResult::kOK);
  EXPECT_EQ(idleTurns, 0);
  EXPECT_EQ(crawl_.FetchCount(), 1);
}

TEST_F(RunCrawlTest, ASilentServerIsCutOffByTheWatchdogAndTheNextURLFollows) {
  EXPECT_EQ(Run({server_.Url("/silent.html"), server_.Url("/two.html")}, {}), ModalResult::kOK);
  EXPECT_EQ(crawl_.CopySentenceStore(), (SentenceStore{{host_, {"The second page"}}}));
  EXPECT_THAT(view_.lines,
              ElementsAre(server_.Url("/silent.html") + "接続開始", host_ + "コネクション確立",
                          host_ + "タイムアウト", server_.Url("/two.html") + "接続開始",
                          host_ + "コネクション確立", host_ + "からのドキュメント取得成功"));
}

// With https off, a site that moved to https ends at once, saying why, not at the watchdog.
TEST_F(RunCrawlTest, ARedirectToHttpsWithHttpsOffEndsThatSiteAtOnceWithItsOwnLine) {
  EXPECT_EQ(Run({server_.Url("/moved.html"), server_.Url("/two.html")}, {}), ModalResult::kOK);
  EXPECT_EQ(crawl_.CopySentenceStore(), (SentenceStore{{host_, {"The second page"}}}));
  EXPECT_THAT(view_.lines,
              ElementsAre(server_.Url("/moved.html") + "接続開始", host_ + "コネクション確立",
                          host_ + "はHTTPSでのみ公開されています（設定→オプションで取得できます）",
                          server_.Url("/two.html") + "接続開始", host_ + "コネクション確立",
                          host_ + "からのドキュメント取得成功"));
}

TEST_F(RunCrawlTest, TicksGoOnDuringADripAndCancelEndsTheCrawlAfterThatFetch) {
  const ModalResult result = Run({server_.Url("/drip.html"), server_.Url("/two.html")}, {}, [this] {
    if (crawl_.AnimationCounter() == 3 && server_.connections() == 1) crawl_.Cancel();
  });
  EXPECT_EQ(result, ModalResult::kCancel);
  EXPECT_EQ(crawl_.FetchCount(), 1);
  EXPECT_THAT(view_.lines,
              ElementsAre(server_.Url("/drip.html") + "接続開始", host_ + "コネクション確立",
                          host_ + "からのドキュメント取得成功"));
}

}  // namespace
}  // namespace quillmark
