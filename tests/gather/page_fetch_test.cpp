// One fetch as a value, against the scripted loopback server: the status lines in order, the
// one ending, and what the pump may do.
#include "gather/page_fetch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/user_agent.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::Exchange;
using ::testing::IsEmpty;
using testing::ScriptedServer;

class PageFetchTest : public ::testing::Test {
 protected:
  void TearDown() override { server_.Stop(); }

  FetchEnding Fetch(const std::string& url, const std::function<void()>& pump = {}) {
    return fetch_.Fetch(url, pump, [this](const std::string& line) { lines_.push_back(line); });
  }
  std::string LocalhostUrl(const std::string& path) const {
    return "http://localhost:" + std::to_string(server_.port()) + path;
  }

  ScriptedServer server_;
  PageFetch fetch_;
  std::vector<std::string> lines_;
};

TEST_F(PageFetchTest, OutcomesBecomeStatusLinesAfterTheHostAndOneEnding) {
  struct Case {
    const char* name;
    Exchange reply;
    bool byName;  // "localhost" is looked up, "127.0.0.1" is not
    FetchEndingKind kind;
    const char* body;
    std::vector<std::string> lines;
    int statusCode;  // robots.txt tells a 4xx from a 5xx by it
  };
  const Case cases[] = {
      {"success",
       Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n<p>Hi.</p>"),
       true,
       FetchEndingKind::kSuccess,
       "<p>Hi.</p>",
       {"localhost名前解決", "localhostコネクション確立", "localhostからのドキュメント取得成功"},
       200},
      {"no status line",
       Exchange::Reply(""),
       false,
       FetchEndingKind::kSuccess,
       "",
       {"127.0.0.1コネクション確立", "127.0.0.1からのドキュメント取得成功"},
       0},
      {"not found",
       Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\ngone"),
       false,
       FetchEndingKind::kFailure,
       "",
       {"127.0.0.1コネクション確立", "127.0.0.1からのドキュメント取得失敗"},
       404},
      {"server error",
       Exchange::Reply("HTTP/1.0 503 Service Unavailable\r\n\r\nlater"),
       false,
       FetchEndingKind::kFailure,
       "",
       {"127.0.0.1コネクション確立", "127.0.0.1からのドキュメント取得失敗"},
       503},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lines_.clear();
    server_.SetScript({c.reply});
    const FetchEnding ending = Fetch(c.byName ? LocalhostUrl("/a.html") : server_.Url("/a.html"));
    EXPECT_EQ(ending.kind, c.kind);
    EXPECT_EQ(ending.host, c.byName ? "localhost" : "127.0.0.1");
    EXPECT_EQ(ending.body, c.body);
    EXPECT_THAT(lines_, ElementsAreArray(c.lines));
    EXPECT_EQ(ending.statusCode, c.statusCode);
  }
}

TEST_F(PageFetchTest, ASuccessAfterARedirectNamesTheHostThatAnswered) {
  server_.SetScript(
      {Exchange::Reply("HTTP/1.0 302 Found\r\nLocation: " + LocalhostUrl("/b.html") + "\r\n\r\n"),
       Exchange::Reply("HTTP/1.0 200 OK\r\n\r\nB")});
  const FetchEnding ending = Fetch(server_.Url("/a.html"));
  EXPECT_EQ(ending.kind, FetchEndingKind::kSuccess);
  EXPECT_EQ(ending.host, "localhost");
  EXPECT_THAT(lines_,
              ElementsAre("127.0.0.1コネクション確立", "localhost名前解決",
                          "localhostコネクション確立", "localhostからのドキュメント取得成功"));
  // Both requests say who asks, and the token robots.txt can name to keep the program out.
  const std::string userAgent = "\r\nUser-Agent: " + ProgramUserAgent() + "\r\n";
  EXPECT_THAT(
      ProgramUserAgent(),
      ::testing::MatchesRegex("Quillmark/[0-9][^ ]* \\(\\+robots\\.txt token: quillmark\\)"));
  ASSERT_EQ(server_.Requests().size(), 2u);
  for (const std::string& request : server_.Requests())
    EXPECT_THAT(request, ::testing::HasSubstr(userAgent));
}

// The error the client throws after a failed connection is no second ending: it is the reason
// the one failure line gives.
TEST_F(PageFetchTest, AFailedConnectionIsOneFailureLineEndingWithItsReason) {
  struct Case {
    const char* name;
    bool throughRefusingTunnel;  // https through a proxy that answers CONNECT with 403
    std::string url;
    const char* reason;
  };
  const Case cases[] = {
      {"refused", false, "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/",
       "Connection Failed"},
      {"https tunnel refused", true, "https://127.0.0.1/news.html",
       "Proxy tunnel refused: HTTP/1.0 403 Forbidden"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lines_.clear();
    server_.SetScript({Exchange::Reply("HTTP/1.0 403 Forbidden\r\n\r\n")});
    fetch_.SetFetchHttps(c.throughRefusingTunnel);
    fetch_.SetHttpsProxy(c.throughRefusingTunnel ? "127.0.0.1" : "",
                         c.throughRefusingTunnel ? server_.port() : 0);
    const FetchEnding ending = Fetch(c.url);
    EXPECT_EQ(ending.kind, FetchEndingKind::kFailure);
    EXPECT_EQ(ending.statusCode, 0);
    EXPECT_EQ(ending.error, c.reason);
    EXPECT_EQ(lines_.back(), "127.0.0.1からのドキュメント取得失敗 (" + std::string(c.reason) + ")");
  }
}

TEST_F(PageFetchTest, AnErrorInsteadOfAnOutcomeWritesNoLineAndKeepsTheClientsHost) {
  server_.SetScript({Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n")});
  Fetch(server_.Url("/"));
  lines_.clear();
  for (const char* url : {"https://other.example/a.html", ""}) {
    const FetchEnding ending = Fetch(url);
    EXPECT_EQ(ending.kind, FetchEndingKind::kClientError);
    EXPECT_EQ(ending.host, "127.0.0.1");  // the URL was refused before its host was taken
    EXPECT_EQ(ending.error, *url ? "HTTP Secure Socket is not supported" : "Empty URL");
  }
  EXPECT_THAT(lines_, IsEmpty());
}

TEST_F(PageFetchTest, ADisconnectFromThePumpEndsADrippingReadAsASuccess) {
  server_.SetScript({Exchange::Reply("").Drip("HTTP/1.0 200 OK\r\n\r\n<p>body</p>", 1, 50ms)});
  const FetchEnding ending = Fetch(server_.Url("/slow.html"), [this] {
    // Once the server has the request, the client waits in the header read; a Disconnect
    // while it connects would end the fetch as a failure instead.
    if (server_.connections() == 1) fetch_.Disconnect();
  });
  EXPECT_EQ(ending.kind, FetchEndingKind::kSuccess);
  EXPECT_EQ(fetch_.Client().StatusCode(), 0);
  EXPECT_THAT(lines_,
              ElementsAre("127.0.0.1コネクション確立", "127.0.0.1からのドキュメント取得成功"));
}

TEST_F(PageFetchTest, AFetchStartedFromInsideThePumpIsRefusedAndTheOuterOneGoesOn) {
  server_.SetScript({Exchange::Reply("").Drip("HTTP/1.0 200 OK\r\n\r\nA", 4, 5ms)});
  std::string refusal;
  const FetchEnding ending = Fetch(server_.Url("/a.html"), [&] {
    if (!refusal.empty()) return;
    try {
      Fetch(server_.Url("/b.html"));
      refusal = "not refused";
    } catch (const std::logic_error& error) {
      refusal = error.what();
    }
  });
  EXPECT_EQ(refusal, "A fetch was started inside another fetch");
  EXPECT_EQ(ending.kind, FetchEndingKind::kSuccess);
  EXPECT_EQ(ending.body, "A");
  EXPECT_THAT(lines_,
              ElementsAre("127.0.0.1コネクション確立", "127.0.0.1からのドキュメント取得成功"));
}

}  // namespace
}  // namespace quillmark
