// The HTTP client against scripted loopback servers: exact requests, status lines, header
// lines, redirects, events and errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/net_error.h"
#include "net/nmhttp.h"
#include "net_test_support.h"
#include "support/reply_case.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::ElementsAre;
using testing::ErrorOf;
using testing::Exchange;
using ::testing::IsEmpty;
using testing::LoadReplyCase;
using testing::NetDataDir;
using testing::ReplyCase;
using testing::ScriptedServer;
using testing::ScriptOf;
using testing::SilentListener;

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<ScriptedServer>();
    testing::RecordEvents(http_, events_);
  }
  void TearDown() override { server_->Stop(); }

  // From now on every turn of a wait lasts one second of the client's clock.
  int& OneSecondPerTurn() {
    http_.Clock = clock_.Reader();
    http_.Pump = [this] {
      ++turns_;
      clock_.Advance(std::chrono::seconds(1));
    };
    return turns_;
  }

  ReplyCase UseCase(const std::string& name) {
    ReplyCase reply_case =
        LoadReplyCase(NetDataDir(), name, {{"PORT", std::to_string(server_->port())}});
    server_->SetScript(ScriptOf(reply_case));
    return reply_case;
  }

  std::unique_ptr<ScriptedServer> server_;
  TNMHTTP http_;
  std::vector<std::string> events_;
  testing::ManualClock clock_;
  int turns_ = 0;
};

// ---------------------------------------------------------------------------------------------
// One request, one answer: the request bytes and what the client makes of the answer.

struct SingleExchangeCase {
  const char* name;
  const char* target;  // a path on the server, or a whole URL when through_proxy
  bool through_proxy;
  int status_code;
  const char* outcome_event;
  const char* body;
  int content_length;
};

// A case file name as a test name: "page-ok" becomes "page_ok".
std::string TestNameOf(std::string name) {
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  return name;
}

std::string HeaderBlockOf(const std::string& reply) {
  for (const char* end : {"\r\n\r\n", "\n\n"}) {
    const std::size_t at = reply.find(end);
    if (at != std::string::npos) return reply.substr(0, at + std::string(end).size());
  }
  return reply;
}

class SingleExchangeTest : public HttpClientTest,
                           public ::testing::WithParamInterface<SingleExchangeCase> {};

TEST_P(SingleExchangeTest, SendsTheExactRequestAndReadsTheAnswer) {
  const SingleExchangeCase& c = GetParam();
  const ReplyCase reply_case = UseCase(c.name);
  std::string url = c.target;
  if (c.through_proxy) {
    http_.Proxy = "127.0.0.1";
    http_.ProxyPort = server_->port();
  } else {
    url = server_->Url(c.target);
  }

  http_.Get(url);

  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_THAT(events_, ElementsAre("Connect", c.outcome_event));
  EXPECT_EQ(http_.StatusCode(), c.status_code);
  EXPECT_EQ(http_.Body, c.body);
  EXPECT_EQ(http_.Header, HeaderBlockOf(reply_case.replies[0]));
  EXPECT_EQ(http_.ContentLength(), c.content_length);
  EXPECT_FALSE(http_.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleExchangeTest,
    ::testing::Values(
        SingleExchangeCase{"page-ok", "/a.html", false, 200, "Success", "<p>Hello, world.</p>\r\n",
                           22},
        SingleExchangeCase{"host-root", "", false, 200, "Success", "root", 0},
        SingleExchangeCase{"proxy-page", "http://host/x.html", true, 200, "Success",
                           "through the proxy", 0},
        SingleExchangeCase{"proxy-host-root", "http://host", true, 200, "Success", "root", 0},
        SingleExchangeCase{"not-found-bare", "/gone.html", false, 404, "Failure", "missing", 0},
        SingleExchangeCase{"silent-close", "/a.html", false, 0, "Success", "", 0},
        SingleExchangeCase{"lf-lines", "/a.html", false, 200, "Success", "LF body\r\n", 9},
        SingleExchangeCase{"request-target-encoded", "/caf\xC3\xA9 menu\x01\x7F.html?q=%41", false,
                           200, "Success", "encoded", 0}),
    [](const auto& info) { return TestNameOf(info.param.name); });

// A proxy that honours the keep-alive we ask it for leaves the connection open after the
// body: only its Content-Length ends the read (and a second piece of filler is never taken).
TEST_F(HttpClientTest, AKeptAliveProxyAnswerEndsAtItsContentLength) {
  const ReplyCase reply_case = UseCase("proxy-keep-alive-length");
  server_->SetScript(
      {Exchange::Reply(reply_case.replies[0]).Filler('x', 5).EndWith(Exchange::Ending::kStall)});
  http_.Proxy = "127.0.0.1";
  http_.ProxyPort = server_->port();

  http_.Get("http://host:8080/a b.html");

  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_THAT(events_, ElementsAre("Connect", "Success"));
  EXPECT_EQ(http_.Body, "kept alive.\n");
}

TEST_F(HttpClientTest, TheUrlGivesPortAndPathButTheHostLineNeverTheDefaultUrlStoresTheSlash) {
  UseCase("host-root");
  http_.Get(server_->Url(""));
  EXPECT_EQ(http_.URL(), server_->Url("/"));
  EXPECT_EQ(http_.Host, "127.0.0.1");
  EXPECT_EQ(http_.Port, server_->port());
}

TEST_F(HttpClientTest, APathAloneKeepsTheHostAndPortOfTheRequestBefore) {
  UseCase("page-ok");
  http_.Get(server_->Url("/a.html"));
  http_.Get("/b.html");
  const std::vector<std::string> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")), "GET /b.html HTTP/1.0");
}

TEST_F(HttpClientTest, APathLongerThan256BytesIsCutInTheRequestLine) {
  UseCase("page-ok");
  const std::string long_path = "/" + std::string(300, 'p');
  http_.Get(server_->Url(long_path));
  const std::string request = server_->Requests().at(0);
  EXPECT_EQ(request.substr(0, request.find("\r\n")),
            "GET " + long_path.substr(0, 256) + " HTTP/1.0");
}

TEST_F(HttpClientTest, BodyAndHeaderStartWithTheirPlaceholders) {
  EXPECT_EQ(http_.Body, "Default.htm");
  EXPECT_EQ(http_.Header, "Head.txt");
  EXPECT_EQ(http_.TimeOut, 10000u);
}

// ---------------------------------------------------------------------------------------------
// Redirects

TEST_F(HttpClientTest, ALocationPathIsFollowedOnTheSameServer) {
  const ReplyCase reply_case = UseCase("redirect-path");
  http_.Get(server_->Url("/a.html"));
  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_THAT(events_, ElementsAre("Connect", "Connect", "Success"));
  EXPECT_EQ(http_.Body, "other page");
}

TEST_F(HttpClientTest, ABareLocationNameIsTakenFromTheRootOfTheSameServer) {
  const ReplyCase reply_case = UseCase("redirect-bare-name");
  http_.Get(server_->Url("/dir/a.html"));
  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_EQ(http_.URL(), server_->Url("/page2.html"));
  EXPECT_EQ(http_.Body, "page two");
}

TEST_F(HttpClientTest, ARedirectWithoutLocationEndsWithEmptyUrl) {
  const ReplyCase reply_case = UseCase("redirect-without-location");
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Empty URL");
  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_THAT(events_, ElementsAre("Connect"));
  EXPECT_FALSE(http_.Connected());
}

TEST_F(HttpClientTest, ACookieFromARedirectGoesBackToThatHostOnly) {
  const ReplyCase reply_case = UseCase("redirect-cookie");
  http_.Get(server_->Url("/login.html"));
  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_EQ(http_.HeaderInfo.Cookie, "session=abc123");

  http_.Get(server_->Url("/later.html"));
  http_.Get("http://localhost:" + std::to_string(server_->port()) + "/other-host.html");
  const std::vector<std::string> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_NE(requests[2].find("\r\nCookie: session=abc123\r\n"), std::string::npos);
  EXPECT_EQ(requests[3].find("Cookie:"), std::string::npos) << requests[3];
}

TEST_F(HttpClientTest, ACookieSetOnTheWayToAnotherHostIsNotSentThere) {
  const ReplyCase reply_case = UseCase("redirect-cookie-elsewhere");
  http_.Get(server_->Url("/login.html"));
  EXPECT_EQ(server_->Requests(), reply_case.requests);
  EXPECT_EQ(http_.Host, "localhost");

  http_.Get(server_->Url("/back.html"));
  EXPECT_NE(server_->Requests().at(2).find("\r\nCookie: session=abc123\r\n"), std::string::npos);
}

// Redirect targets the server could abuse: every request the client sent, and how it ended.
struct RedirectCase {
  const char* name;
  const char* error;  // "" when the fetch succeeds
  const char* body;
};

class RedirectTest : public HttpClientTest, public ::testing::WithParamInterface<RedirectCase> {};

TEST_P(RedirectTest, SendsExactlyTheCaseRequests) {
  const RedirectCase& c = GetParam();
  const ReplyCase reply_case = UseCase(c.name);
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), c.error);
  EXPECT_EQ(server_->Requests(), reply_case.requests);
  if (*c.error == '\0') {
    EXPECT_EQ(http_.Body, c.body);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RedirectTest,
    ::testing::Values(
        // A CR in a Location value would start a header line of the server's choosing.
        RedirectCase{"redirect-location-bare-cr", "URL holds a line break or a zero byte", ""},
        RedirectCase{"redirect-cookie-bare-cr", "", "no cookie"},
        // Only a ':' in the authority names a port; only a leading "//" opens an authority.
        RedirectCase{"redirect-path-colon", "", "random page"},
        RedirectCase{"redirect-path-double-slash", "", "page b"},
        // 307 and 308 move a GET as 302 and 301 do.
        RedirectCase{"redirect-temporary", "", "temporary move"},
        RedirectCase{"redirect-permanent", "", "permanent move"}),
    [](const auto& info) { return TestNameOf(info.param.name); });

TEST_F(HttpClientTest, ARedirectLoopEndsAtTheRequestLimitWhateverItsStatus) {
  for (const char* status : {"301 Moved", "307 Temporary Redirect", "308 Permanent Redirect"}) {
    server_->SetScript(
        {Exchange::Reply(std::string("HTTP/1.0 ") + status + "\r\nLocation: /a.html\r\n\r\n")});
    const std::size_t before = server_->Requests().size();
    EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Too many redirects") << status;
    EXPECT_EQ(server_->Requests().size() - before,
              static_cast<std::size_t>(TNMHTTP::kMaxRequestsPerGet))
        << status;
  }
}

TEST_F(HttpClientTest, StatusesThatRepeatTheRequestAreFollowedUntilAnAnswer) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 299 Again\r\n\r\n"),
                      Exchange::Reply("HTTP/1.0 303 See Other\r\nLocation: /x.html\r\n\r\n"),
                      Exchange::Reply("HTTP/1.0 200 OK\r\n\r\ndone")});
  http_.Get(server_->Url("/a.html"));
  const std::vector<std::string> requests = server_->Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], requests[2]);  // 303 is repeated, not followed
  EXPECT_EQ(http_.Body, "done");
}

// ---------------------------------------------------------------------------------------------
// Events and connection outcomes

TEST_F(HttpClientTest, ANameLookupComesFirstThenTheConnectionThenTheOutcome) {
  UseCase("page-ok");
  http_.Get("http://localhost:" + std::to_string(server_->port()) + "/a.html");
  EXPECT_THAT(events_, ElementsAre("HostResolved", "Connect", "Success"));
}

TEST_F(HttpClientTest, ADottedAddressNeedsNoLookup) {
  UseCase("page-ok");
  http_.Get(server_->Url("/a.html"));
  EXPECT_THAT(events_, ElementsAre("Connect", "Success"));
}

TEST_F(HttpClientTest, ARefusedConnectionFiresConnectionFailedThenFails) {
  const std::uint16_t port = testing::UnusedLoopbackPort();
  EXPECT_EQ(ErrorOf([&] { http_.Get("http://127.0.0.1:" + std::to_string(port) + "/"); }),
            "Connection Failed");
  EXPECT_THAT(events_, ElementsAre("ConnectionFailed"));
}

TEST_F(HttpClientTest, AServerThatNeverAnswersTimesOutWithoutOutcomeEvent) {
  server_->SetScript({Exchange::Reply("").EndWith(Exchange::Ending::kStall)});
  OneSecondPerTurn();
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Socket readln aborted");
  EXPECT_THAT(events_, ElementsAre("Connect"));
  EXPECT_FALSE(http_.Connected());
}

TEST_F(HttpClientTest, AConnectThatGetsNoAnswerTimesOut) {
  SilentListener listener;
  const int& turns = OneSecondPerTurn();
  EXPECT_EQ(ErrorOf([&] { http_.Get(listener.Url("/")); }), "Connection Timed out");
  EXPECT_EQ(turns, 10);  // the whole TimeOut of 10,000 ms, not a turn less
  EXPECT_THAT(events_, ElementsAre("ConnectionFailed"));
}

TEST_F(HttpClientTest, CancelDuringConnectEndsTheConnect) {
  SilentListener listener;
  http_.Pump = [this] { http_.Cancel(); };
  EXPECT_EQ(ErrorOf([&] { http_.Get(listener.Url("/")); }), "Connection Canceled");
  EXPECT_THAT(events_, ElementsAre("ConnectionFailed"));
}

TEST_F(HttpClientTest, DisconnectDuringConnectFailsTheConnectAtOnce) {
  SilentListener listener;  // with the default 10 s limit a missed Disconnect shows as a time-out
  http_.Pump = [this] { http_.Disconnect(); };
  EXPECT_EQ(ErrorOf([&] { http_.Get(listener.Url("/")); }), "Connection Failed");
  EXPECT_THAT(events_, ElementsAre("ConnectionFailed"));
}

TEST_F(HttpClientTest, DisconnectFromAHandlerDuringTheBodyEndsItWithWhatArrived) {
  server_->SetScript(
      {Exchange::Reply("HTTP/1.0 200 OK\r\n\r\nfirst part").EndWith(Exchange::Ending::kStall)});
  // The default 10 s limit: a capture that ignored the Disconnect would end with an error.
  http_.Pump = [this] {
    if (http_.Body == "first part") http_.Disconnect();
  };
  http_.Get(server_->Url("/a.html"));
  EXPECT_THAT(events_, ElementsAre("Connect", "Success"));
  EXPECT_EQ(http_.Body, "first part");
}

TEST_F(HttpClientTest, DisconnectBeforeAnyHeaderEndsAsAnEmptySuccess) {
  server_->SetScript({Exchange::Reply("").EndWith(Exchange::Ending::kStall)});
  http_.Pump = [this] {
    if (server_->connections() == 1) http_.Disconnect();  // the request is out: headers next
  };
  http_.Get(server_->Url("/a.html"));
  EXPECT_THAT(events_, ElementsAre("Connect", "Success"));
  EXPECT_EQ(http_.StatusCode(), 0);
  EXPECT_EQ(http_.Body, "");
}

TEST_F(HttpClientTest, CancelDuringTheBodyAbortsTheCapture) {
  server_->SetScript(
      {Exchange::Reply("HTTP/1.0 200 OK\r\n\r\nfirst part").EndWith(Exchange::Ending::kStall)});
  http_.Pump = [this] {
    if (http_.Body == "first part") http_.Cancel();
  };
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Socket capture aborted");
  EXPECT_THAT(events_, ElementsAre("Connect"));
  EXPECT_FALSE(http_.Connected());
}

TEST_F(HttpClientTest, TheTimeLimitCountsSilenceNotTheWholeBody) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n")
                          .Drip("0123456789ABCDEFGHIJ", 1, std::chrono::milliseconds(2))});
  // Whenever a piece arrives, all but a millisecond of the limit passes before the next one:
  // the body takes far longer than TimeOut, no gap as long.
  http_.Clock = clock_.Reader();
  std::size_t seen = 0;
  http_.Pump = [&] {
    if (http_.Body.size() == seen || http_.Body == "Default.htm") return;
    seen = http_.Body.size();
    clock_.Advance(std::chrono::milliseconds(http_.TimeOut - 1));
  };
  http_.Get(server_->Url("/a.html"));
  EXPECT_EQ(http_.Body, "0123456789ABCDEFGHIJ");
}

TEST_F(HttpClientTest, AResetConnectionIsAnErrorWithItsNumber) {
  server_->SetScript(
      {Exchange::Reply("HTTP/1.0 200 OK\r\n\r\npartial").EndWith(Exchange::Ending::kReset)});
  try {
    http_.Get(server_->Url("/a.html"));
    ADD_FAILURE() << "no error";
  } catch (const NetError& error) {
    EXPECT_EQ(error.number(), 10054);
    EXPECT_STREQ(error.what(), "10054:Connection reset by peer");
  }
  EXPECT_THAT(events_, ElementsAre("Connect"));
  EXPECT_FALSE(http_.Connected());
}

TEST_F(HttpClientTest, UrlErrorsComeBeforeAnyConnection) {
  EXPECT_EQ(ErrorOf([&] { http_.Get(""); }), "Empty URL");
  EXPECT_EQ(ErrorOf([&] { http_.Get("https://127.0.0.1:" + std::to_string(server_->port())); }),
            "HTTP Secure Socket is not supported");
  EXPECT_EQ(ErrorOf([&] { http_.Get("http://127.0.0.1:80x/"); }),
            "'80x' is not a valid port number");
  for (const std::string& injected : std::vector<std::string>{"/a\r\nX-Injected: yes", "/a\rb",
                                                              "/a\nb", std::string("/a\0b", 4)}) {
    EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url(injected)); }),
              "URL holds a line break or a zero byte");
  }
  EXPECT_EQ(server_->connections(), 0);
  EXPECT_THAT(events_, IsEmpty());
}

TEST_F(HttpClientTest, AGetFromInsideAHandlerIsRefused) {
  UseCase("page-ok");
  std::string nested_error;
  http_.OnSuccess = [&](CmdType) {
    nested_error = ErrorOf([&] { http_.Get(server_->Url("/nested.html")); });
  };
  http_.Get(server_->Url("/a.html"));
  EXPECT_EQ(nested_error, "Request already in progress");
  EXPECT_EQ(server_->connections(), 1);
}

}  // namespace
}  // namespace quillmark
