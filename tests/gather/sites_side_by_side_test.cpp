// The day's press against loopback sites (a server per site): each site's steps in their
// order on one kept-alive connection, sites side by side, a stalled site, and Cancel.
#include "gather/sites_side_by_side.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/user_agent.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using testing::Exchange;
using ::testing::HasSubstr;
using testing::ScriptedServer;

Exchange KeptAlive(const std::string& status, const std::string& body) {
  return Exchange::Reply("HTTP/1.1 " + status +
                         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body)
      .EndWith(Exchange::Ending::kKeepOpen);
}

std::string PathOf(const std::string& request) {
  const std::size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

// A news site: a home page naming its feed, the feed with two articles, robots.txt, the
// articles; `stalled` answers nothing at all for that path.
class NewsSite {
 public:
  explicit NewsSite(std::string robots = "User-agent: *\nDisallow: /private/\n",
                    std::string stalled = "", std::string reset = "")
      : server_([this, robots, stalled, reset](int, const std::string& request) {
          const std::string path = PathOf(request);
          if (path == stalled) return Exchange::Reply("").EndWith(Exchange::Ending::kStall);
          if (path == reset) return Exchange::Reply("").EndWith(Exchange::Ending::kReset);
          if (path == "/")
            return KeptAlive("200 OK",
                             "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" "
                             "href=\"/feed.xml\"></head><body><p>Home.</p></body></html>");
          if (path == "/feed.xml") return KeptAlive("200 OK", Feed());
          if (path == "/robots.txt") return KeptAlive("200 OK", robots);
          if (path.starts_with("/news/"))
            return KeptAlive("200 OK", "<html><body><article><p>The river rose again at " + path +
                                           " today.</p></article></body></html>");
          return KeptAlive("404 Not Found", "");
        }) {}

  // Built from the port: the server's own Url would wait for the lock its responder runs under.
  std::string Url(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(server_.port()) + path;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const std::string& request : server_.Requests()) paths.push_back(PathOf(request));
    return paths;
  }
  const ScriptedServer& server() const { return server_; }

 private:
  std::string Feed() const {
    std::string items;
    for (const char* path : {"/news/1.html", "/news/2.html"})
      items += "<item><title>T</title><link>" + Url(path) + "</link></item>";
    return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>" + items + "</channel></rss>";
  }
  ScriptedServer server_;
};

struct Lines : CrawlView {
  void SetLabel(const std::string& text) override { labels.push_back(text); }
  std::vector<std::string> labels;
  void AddStatusLine(const std::string& text) override {
    lines.push_back(text);
    if (clock != nullptr) ticks[text] = *clock;
  }
  std::vector<std::string> lines;
  const TickCount* clock = nullptr;
  std::map<std::string, TickCount> ticks;  // when each line was written
};

constexpr LinkOptions kDayArticles{
    .ArticleText = true, .FollowArticles = true, .ArticlesPerSite = 10};

class SitesSideBySideTest : public ::testing::Test {
 protected:
  SitesSideBySideTest() : press_(view_, 0) {
    press_.SetLinkOptions(kDayArticles);
    press_.SetWatchdogMs(1000);
  }
  // Ticks move only when the press asks: 50 ms a turn, however long a turn really took.
  ModalResult Run(const std::function<void()>& pump = {}) {
    return press_.Run([this] { return ticks_ += 50; }, pump, 10, 100);
  }

  Lines view_;
  SitesSideBySide press_;
  TickCount ticks_ = 0;
};

TEST_F(SitesSideBySideTest, EachSiteKeepsItsOrderOnOneKeptConnectionWhileTheSitesInterleave) {
  for (const int atOnce : {2, 1}) {
    SCOPED_TRACE(atOnce);
    NewsSite a, b;
    Lines view;
    SitesSideBySide press(view, 0);
    press.SetLinkOptions(kDayArticles);
    press.SetSitesAtOnce(atOnce);
    press.SetSiteList({a.Url(), b.Url()});
    TickCount ticks = 0;
    EXPECT_EQ(press.Run([&] { return ticks += 50; }, {}, 10, 100), ModalResult::kOK);

    for (const NewsSite* site : {&a, &b}) {
      EXPECT_THAT(site->Paths(),
                  ElementsAre("/", "/feed.xml", "/robots.txt", "/news/1.html", "/news/2.html"));
      EXPECT_THAT(site->server().RequestConnections(), Each(0));
      EXPECT_THAT(site->server().Requests(),
                  Each(HasSubstr("\r\nUser-Agent: " + ProgramUserAgent() + "\r\n")));
    }
    EXPECT_EQ(press.MostAtOnce(), static_cast<std::size_t>(atOnce));
    // The dialog's label counts the sites done of all, as the designed crawl its pages.
    ASSERT_FALSE(view.labels.empty());
    EXPECT_EQ(view.labels.front(), "インターネットサイトより単語収集中  (0/2)");
    const auto counts = press.SiteArticles();
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0].read, 2);
    EXPECT_EQ(counts[1].read, 2);
    EXPECT_EQ(press.FetchCount(), 2);
    EXPECT_THAT(view.lines, Contains(a.Url() + "の記事を2件取得"));
  }
}

TEST_F(SitesSideBySideTest, AStalledSiteIsCutOffByItsWatchdogWhileTheOthersFinish) {
  NewsSite quick;
  NewsSite stalled("", "/news/1.html");
  press_.SetSiteList({stalled.Url(), quick.Url()});
  EXPECT_EQ(Run(), ModalResult::kOK);
  const auto counts = press_.SiteArticles();
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_EQ(counts[0].read, 1);  // its second article came after the cut
  EXPECT_EQ(counts[1].read, 2);
  EXPECT_THAT(view_.lines, Contains("127.0.0.1タイムアウト"));
  EXPECT_THAT(stalled.Paths(),
              ElementsAre("/", "/feed.xml", "/robots.txt", "/news/1.html", "/news/2.html"));
}

TEST_F(SitesSideBySideTest, CancelEndsEveryTransferAtOnceAndKeepsWhatWasRead) {
  NewsSite finished;
  NewsSite stalled("", "/news/1.html");
  press_.SetSiteList({finished.Url(), stalled.Url(), NewsSite().Url()});
  press_.SetSitesAtOnce(2);
  EXPECT_EQ(Run([&] {
              if (stalled.Paths().size() == 4 && press_.SiteArticles().size() == 2 &&
                  press_.SiteArticles()[0].read == 2)
                press_.Cancel();
            }),
            ModalResult::kCancel);
  EXPECT_THAT(stalled.Paths(), ElementsAre("/", "/feed.xml", "/robots.txt", "/news/1.html"));
  ASSERT_EQ(press_.SiteArticles().size(), 2u);  // the third site never began
  EXPECT_EQ(press_.SiteArticles()[0].read, 2);
  EXPECT_EQ(press_.SiteArticles()[1].read, 0);
}

TEST_F(SitesSideBySideTest, AnArticleKeptInTheHistoryIsCountedFromThereNotFetched) {
  NewsSite site;
  press_.SetSiteList({site.Url()});
  press_.SetKeptArticleLookup([&](const std::string& address) -> std::optional<KeptArticle> {
    if (address != site.Url("/news/1.html")) return std::nullopt;
    return KeptArticle{"elsewhere", address, "Kept", "2026-12-07", {"The kept river rose."}};
  });
  EXPECT_EQ(Run(), ModalResult::kOK);
  EXPECT_THAT(site.Paths(), ElementsAre("/", "/feed.xml", "/robots.txt", "/news/2.html"));
  EXPECT_THAT(view_.lines, Contains("記事 1/2 " + site.Url("/news/1.html") + " (保存済み)"));
  EXPECT_EQ(press_.SiteArticles()[0].read, 2);
  ASSERT_FALSE(press_.Articles().empty());
  EXPECT_EQ(press_.Articles()[0].site, "127.0.0.1");
  EXPECT_THAT(press_.CopySentenceStore()["127.0.0.1"], Contains("The kept river rose."));
}

// robots.txt's manners on this path: an unreachable one and one asking for too long a delay
// skip the host's articles with a line; a delay within the limit spaces the articles.
TEST_F(SitesSideBySideTest, RobotsTxtThatCannotBeReachedOrAsksTooLongSkipsTheArticles) {
  const struct {
    const char* name;
    const char* robots;
    bool reset;
    std::vector<std::string> paths;
    std::string line;  // after "127.0.0.1"
  } cases[] = {        // A kept connection reset before any answer is asked once more on a new one.
               {"unreachable",
                "",
                true,
                {"/", "/feed.xml", "/robots.txt", "/robots.txt"},
                "のrobots.txtが応答しないため記事の取得を省略"},
               {"delay too long",
                "User-agent: quillmark\nCrawl-delay: 11\n",
                false,
                {"/", "/feed.xml", "/robots.txt"},
                "のrobots.txtのCrawl-delayが長すぎるため記事の取得を省略 (11秒)"},
               {"delay kept",
                "User-agent: *\nCrawl-delay: 2.5\n",
                false,
                {"/", "/feed.xml", "/robots.txt", "/news/1.html", "/news/2.html"},
                ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NewsSite site(c.robots, "", c.reset ? "/robots.txt" : "");
    Lines view;
    TickCount ticks = 0;
    view.clock = &ticks;
    SitesSideBySide press(view, 0);
    press.SetLinkOptions(kDayArticles);
    press.SetSiteList({site.Url()});
    EXPECT_EQ(press.Run([&] { return ticks += 50; }, {}, 10, 100), ModalResult::kOK);
    EXPECT_EQ(site.Paths(), c.paths);
    if (!c.line.empty()) {
      EXPECT_THAT(view.lines, Contains("127.0.0.1" + c.line));
    }
    if (c.paths.size() == 5) {
      const TickCount first = view.ticks.at("記事 1/2 " + site.Url("/news/1.html"));
      const TickCount second = view.ticks.at("記事 2/2 " + site.Url("/news/2.html"));
      EXPECT_GE(second - first, 2500u);
      EXPECT_LT(second - first, 2700u);
    }
  }
}

}  // namespace
}  // namespace quillmark
