// The day's fetcher against loopback servers: kept-alive connections, framings, compression
// and its bound, conditional requests, redirects, the address check, and transfers that end
// in any order.
#include "net/day_fetcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/user_agent.h"
#include "net_test_support.h"
#include "support/reply_case.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::ElementsAre;
using testing::Exchange;
using testing::LoadReplyCase;
using testing::NetDataDir;
using testing::ReplyCase;
using testing::ScriptedServer;

// `text` compressed as gzip (windowBits 31) or zlib's deflate (15).
std::string Compressed(const std::string& text, int windowBits) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, text.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

Exchange EncodedPage(const std::string& encoding, const std::string& body) {
  return Exchange::Reply("HTTP/1.1 200 OK\r\nContent-Encoding: " + encoding +
                         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body)
      .EndWith(Exchange::Ending::kKeepOpen);
}

DayRequest At(std::string url) {
  DayRequest request;
  request.url = std::move(url);
  return request;
}

class DayFetcherTest : public ::testing::Test {
 protected:
  DayFetcherTest() {
    settings_.userAgent = ProgramUserAgent();
    settings_.silenceLimitMs = 5000;
  }

  ReplyCase UseCase(ScriptedServer& server, const std::string& name) {
    ReplyCase reply_case = LoadReplyCase(
        NetDataDir(), name,
        {{"PORT", std::to_string(server.port())}, {"USER_AGENT", ProgramUserAgent()}});
    std::vector<Exchange> script;
    for (const std::string& reply : reply_case.replies)
      script.push_back(Exchange::Reply(reply).EndWith(Exchange::Ending::kKeepOpen));
    server.SetScript(script);
    return reply_case;
  }

  // Starts `requests` one after another, each once the one before has ended (as a site's
  // steps run), and returns the responses.
  std::vector<DayResponse> FetchInTurn(const std::vector<DayRequest>& requests) {
    std::vector<DayResponse> responses;
    for (const DayRequest& request : requests) {
      fetcher().Start(request);
      responses.push_back(WaitForEnd().second);
    }
    return responses;
  }

  std::pair<DayFetcher::TransferId, DayResponse> WaitForEnd() {
    for (;;) {
      auto ended = fetcher().Wait(1000);
      if (!ended.empty()) return std::move(ended.front());
    }
  }

  DayFetcher& fetcher() {
    if (!fetcher_) fetcher_ = std::make_unique<DayFetcher>(settings_);
    return *fetcher_;
  }

  ScriptedServer server_;
  DayFetcherSettings settings_;
  std::unique_ptr<DayFetcher> fetcher_;
};

// Two requests, two framings (Content-Length, then chunked), one connection; the request
// bytes say who asks, with the port in Host and the path percent-encoded.
TEST_F(DayFetcherTest, OneKeptConnectionCarriesASitesRequestsInTurn) {
  const ReplyCase reply_case = UseCase(server_, "day-keep-alive");
  const auto responses = FetchInTurn({At(server_.Url("/a.html")), At(server_.Url("/b c.html"))});

  EXPECT_EQ(server_.Requests(), reply_case.requests);
  EXPECT_THAT(server_.RequestConnections(), ElementsAre(0, 0));
  ASSERT_EQ(responses.size(), 2u);
  EXPECT_EQ(responses[0].kind, DayResponse::Kind::kResponse);
  EXPECT_EQ(responses[0].body, "first.\n");
  EXPECT_EQ(responses[0].contentType, "text/html; charset=utf-8");
  EXPECT_TRUE(responses[0].newConnection);
  EXPECT_EQ(responses[1].body, "chunked.\r\n");
  EXPECT_FALSE(responses[1].newConnection);
  EXPECT_EQ(responses[1].host, "127.0.0.1");
}

TEST_F(DayFetcherTest, AConditionalRequestSendsItsValidatorsAndA304HasNoBody) {
  const ReplyCase reply_case = UseCase(server_, "day-not-modified");
  const auto responses = FetchInTurn({{.url = server_.Url("/feed.xml"),
                                       .ifNoneMatch = "\"v1\"",
                                       .ifModifiedSince = "Mon, 07 Dec 2026 10:00:00 GMT",
                                       .timeBudgetMs = 0}});
  EXPECT_EQ(server_.Requests(), reply_case.requests);
  EXPECT_EQ(responses[0].statusCode, 304);
  EXPECT_EQ(responses[0].etag, "\"v1\"");
  EXPECT_EQ(responses[0].body, "");
}

// Compressed bodies arrive decoded; one that inflates past a hundred times what arrived is
// cut there as an over-long page is, and the transfer still counts as a response.
TEST_F(DayFetcherTest, CompressedBodiesAreDecodedWithinTheirBound) {
  const std::string page = "<p>" + std::string(5000, 'w') + "</p>";
  const std::string bomb = Compressed(std::string(4 * 1024 * 1024, '\0'), 31);
  server_.SetScript({EncodedPage("gzip", Compressed(page, 31)),
                     EncodedPage("deflate", Compressed(page, 15)), EncodedPage("gzip", bomb)});
  const auto responses =
      FetchInTurn({At(server_.Url("/gzip.html")), At(server_.Url("/deflate.html")),
                   At(server_.Url("/bomb.html"))});
  EXPECT_EQ(responses[0].body, page);
  EXPECT_FALSE(responses[0].bodyCut);
  EXPECT_EQ(responses[1].body, page);
  EXPECT_EQ(responses[2].kind, DayResponse::Kind::kResponse);
  EXPECT_TRUE(responses[2].bodyCut);
  EXPECT_LE(responses[2].body.size(), DayFetcher::kMaxInflation * bomb.size());
  EXPECT_LT(responses[2].body.size(), 4u * 1024 * 1024);
}

TEST_F(DayFetcherTest, EveryRedirectStatusIsFollowedToTheHostThatAnswers) {
  for (const int status : {301, 302, 303, 307, 308}) {
    SCOPED_TRACE(status);
    ScriptedServer target({Exchange::Reply("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")});
    const std::string location = target.Url("/b");
    server_.SetScript(
        {Exchange::Reply("HTTP/1.1 " + std::to_string(status) + " Moved\r\nLocation: " + location +
                         "\r\nContent-Length: 0\r\n\r\n")});
    const auto responses = FetchInTurn({At(server_.Url("/a"))});
    EXPECT_EQ(responses[0].statusCode, 200);
    EXPECT_EQ(responses[0].body, "ok");
    EXPECT_EQ(responses[0].url, location);
  }
}

TEST_F(DayFetcherTest, AnHttpsRedirectWhileHttpsIsOffIsRefused) {
  server_.SetScript({Exchange::Reply(
      "HTTP/1.1 301 Moved\r\nLocation: https://127.0.0.1/\r\nContent-Length: 0\r\n\r\n")});
  const auto responses = FetchInTurn({At(server_.Url("/a"))});
  EXPECT_EQ(responses[0].kind, DayResponse::Kind::kError);
  EXPECT_TRUE(responses[0].httpsRefused);
}

TEST_F(DayFetcherTest, TheAddressCheckSeesTheResolvedAddressAndMayRefuseIt) {
  std::vector<std::string> asked;
  settings_.vetAddress = [&](const std::string& host, const std::string& address) {
    asked.push_back(host + " " + address);
    return false;
  };
  const auto responses = FetchInTurn({At(server_.Url("/a"))});
  EXPECT_EQ(responses[0].kind, DayResponse::Kind::kConnectionFailed);
  EXPECT_THAT(asked, ElementsAre("127.0.0.1 127.0.0.1"));
  EXPECT_EQ(server_.connections(), 0);
}

// A site that stalls holds only itself: the other's answer ends first, and cancelling the
// stalled one reports nothing.
TEST_F(DayFetcherTest, AStalledSiteHoldsNoOtherAndCancelEndsItSilently) {
  ScriptedServer stalled({Exchange::Reply("").EndWith(Exchange::Ending::kStall)});
  server_.SetScript({testing::Page("quick")});
  const DayFetcher::TransferId slow = fetcher().Start(At(stalled.Url("/slow")));
  const DayFetcher::TransferId quick = fetcher().Start(At(server_.Url("/quick")));
  const auto [first, response] = WaitForEnd();
  EXPECT_EQ(first, quick);
  EXPECT_EQ(response.body, "quick");
  EXPECT_EQ(fetcher().Running(), 1u);
  fetcher().Cancel(slow);
  EXPECT_EQ(fetcher().Running(), 0u);
  EXPECT_TRUE(fetcher().Wait(0).empty());
}

}  // namespace
}  // namespace quillmark
