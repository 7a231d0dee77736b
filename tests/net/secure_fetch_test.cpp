// https with the HTTP client: loopback TLS servers showing the test certificates, the test
// authority trusted in place of the system's roots.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/nmhttp.h"
#include "net/openssl_functions.h"
#include "net_test_support.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::ElementsAre;
using testing::ErrorOf;
using testing::Exchange;
using ::testing::HasSubstr;
using testing::ScriptedServer;
using ::testing::StartsWith;
using testing::TestTlsFile;

constexpr const char* kPage = "HTTP/1.0 200 OK\r\n\r\n<p>Secure news.</p>";

class SecureFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    http_.FetchHttps = true;
    http_.TrustedCertificates = TestTlsFile("ca.pem");
    testing::RecordEvents(http_, events_);
  }

  // A server showing `certificate` that answers every request with `answer`.
  std::unique_ptr<ScriptedServer> SecureServer(const std::string& answer,
                                               const char* certificate = "server.pem") {
    auto server = std::make_unique<ScriptedServer>(std::vector{Exchange::Reply(answer)});
    server->UseTls(TestTlsFile(certificate));
    return server;
  }

  std::string Port(const ScriptedServer& server) const { return std::to_string(server.port()); }

  TNMHTTP http_;
  std::vector<std::string> events_;
};

TEST_F(SecureFetchTest, APageArrivesOverTlsWithTheSameRequestAndEvents) {
  const auto server = SecureServer(kPage);
  EXPECT_EQ(ErrorOf([&] { http_.Get(server->Url("/a.html")); }), "");
  EXPECT_THAT(events_, ElementsAre("Connect", "Success"));
  EXPECT_EQ(http_.Body, "<p>Secure news.</p>");
  EXPECT_THAT(
      server->Requests(),
      ElementsAre("GET /a.html HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server->port()) +
                  "\r\n"
                  "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
                  "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
                  "Content-type: application/x-www-form-urlencoded\r\n\r\n"));
  EXPECT_FALSE(http_.Connected());
}

// Each certificate the client must refuse ends the fetch as a failed connection: no request is
// sent and no body read. A name is checked as a name (and sent as SNI), an address as one.
TEST_F(SecureFetchTest, OnlyATrustedCurrentCertificateForTheNameIsAccepted) {
  struct Case {
    const char* certificate;
    const char* host;
    const char* error;  // "" for success
  };
  const Case cases[] = {
      {"server.pem", "127.0.0.1", ""},
      {"server.pem", "localhost", ""},
      {"elsewhere.pem", "127.0.0.1", "Secure connection failed: IP address mismatch"},
      {"elsewhere.pem", "localhost", "Secure connection failed: hostname mismatch"},
      {"self-signed.pem", "127.0.0.1", "Secure connection failed: self-signed certificate"},
      {"expired.pem", "127.0.0.1", "Secure connection failed: certificate has expired"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.certificate) + " as " + c.host);
    const auto server = SecureServer(kPage, c.certificate);
    events_.clear();
    http_.Body = "untouched";
    const std::string url = std::string("https://") + c.host + ":" + Port(*server) + "/";
    EXPECT_EQ(ErrorOf([&] { http_.Get(url); }), c.error);
    if (*c.error == '\0') {
      EXPECT_EQ(http_.Body, "<p>Secure news.</p>");
      continue;
    }
    EXPECT_EQ(events_.back(), "ConnectionFailed");
    EXPECT_EQ(http_.Body, "untouched");
    server->Stop();
    EXPECT_THAT(server->Requests(), ElementsAre(""));
  }
}

// An http page that redirects to https; followed only with FetchHttps. A bare target on an
// https server stays on https.
TEST_F(SecureFetchTest, RedirectsToHttpsAreFollowedOnlyWhenHttpsIsOn) {
  const auto secure = std::make_unique<ScriptedServer>(std::vector{
      Exchange::Reply("HTTP/1.0 302 Found\r\nLocation: b.html\r\n\r\n"), Exchange::Reply(kPage)});
  secure->UseTls(TestTlsFile("server.pem"));
  ScriptedServer plain(
      {Exchange::Reply("HTTP/1.0 301 Moved\r\nLocation: " + secure->Url("/") + "\r\n\r\n")});

  http_.FetchHttps = false;
  EXPECT_EQ(ErrorOf([&] { http_.Get(plain.Url("/")); }), "HTTP Secure Socket is not supported");
  EXPECT_THAT(events_, ElementsAre("Connect"));
  EXPECT_EQ(secure->connections(), 0);

  http_.FetchHttps = true;
  events_.clear();
  EXPECT_EQ(ErrorOf([&] { http_.Get(plain.Url("/")); }), "");
  EXPECT_THAT(events_, ElementsAre("Connect", "Connect", "Connect", "Success"));
  EXPECT_EQ(http_.URL(), "https://127.0.0.1:" + Port(*secure) + "/b.html");
  EXPECT_EQ(http_.Body, "<p>Secure news.</p>");
}

// The handshake waits in the socket layer's loop: the time limit, Cancel and Disconnect end it
// as they end a connect, with the connection-failure outcome.
TEST_F(SecureFetchTest, AStalledHandshakeEndsByTheTimeLimitCancelOrDisconnect) {
  // A plain server that never answers: the client's hello waits for ever.
  ScriptedServer silent({Exchange::Reply("").EndWith(Exchange::Ending::kStall)});
  const std::string url = "https://127.0.0.1:" + Port(silent) + "/";
  testing::ManualClock clock;
  http_.Clock = clock.Reader();
  struct Case {
    const char* action;
    const char* error;
  };
  for (const Case c : {Case{"wait", "Connection Timed out"}, Case{"cancel", "Connection Canceled"},
                       Case{"disconnect", "Connection Failed"}}) {
    SCOPED_TRACE(c.action);
    events_.clear();
    int handshakeTurns = 0;
    http_.Pump = [&] {
      if (!http_.Secure()) return;  // still connecting
      ++handshakeTurns;
      clock.Advance(std::chrono::seconds(1));
      if (std::string(c.action) == "cancel") http_.Cancel();
      if (std::string(c.action) == "disconnect") http_.Disconnect();
    };
    EXPECT_EQ(ErrorOf([&] { http_.Get(url); }), c.error);
    EXPECT_THAT(events_, ElementsAre("Connect", "ConnectionFailed"));
    EXPECT_EQ(handshakeTurns, std::string(c.action) == "wait" ? 10 : 1);
  }
}

// Through a proxy, https goes through a CONNECT tunnel to the https proxy, else the http one;
// the request inside names the path only. A proxy that refuses is a failed connection.
TEST_F(SecureFetchTest, ThroughAProxyHttpsTakesATunnel) {
  const auto proxy = SecureServer(kPage);
  proxy->UseTls(TestTlsFile("server.pem"), ScriptedServer::Tunnel::kConnectFirst);
  const std::uint32_t unused = testing::UnusedLoopbackPort();
  struct Case {
    std::uint32_t proxyPort;
    std::uint32_t httpsProxyPort;  // 0: no https proxy
  };
  for (const Case c : {Case{proxy->port(), 0}, Case{unused, proxy->port()}}) {
    http_.Proxy = "127.0.0.1";
    http_.ProxyPort = c.proxyPort;
    http_.HttpsProxy = c.httpsProxyPort == 0 ? "" : "127.0.0.1";
    http_.HttpsProxyPort = c.httpsProxyPort;
    EXPECT_EQ(ErrorOf([&] { http_.Get("https://localhost/news.html"); }), "");
    EXPECT_EQ(http_.Body, "<p>Secure news.</p>");
  }
  const std::vector<std::string> requests = proxy->Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0], "CONNECT localhost:443 HTTP/1.0\r\nHost: localhost:443\r\n\r\n");
  EXPECT_THAT(requests[1], StartsWith("GET /news.html HTTP/1.0\r\nHost: localhost\r\nAccept: "));

  ScriptedServer refusing({Exchange::Reply("HTTP/1.0 403 Forbidden\r\n\r\n")});
  http_.HttpsProxyPort = refusing.port();
  events_.clear();
  EXPECT_EQ(ErrorOf([&] { http_.Get("https://localhost/news.html"); }),
            "Proxy tunnel refused: HTTP/1.0 403 Forbidden");
  EXPECT_THAT(events_, ElementsAre("Connect", "ConnectionFailed"));
}

// OpenSSL is loaded at the first https connection: a library that cannot be loaded, or that
// lacks a function, fails that fetch's setup with its name and the reason, never a crash.
TEST(OpenSslLoadingTest, ALibraryThatCannotServeIsASetupFailureNamingIt) {
  EXPECT_THAT(ErrorOf([] { LoadOpenSsl("libquillmark-absent.so.3"); }),
              StartsWith("Secure Socket setup failed: libquillmark-absent.so.3: "));
  // The whole message, as the loader words it: the library's file, then the missing function.
  // The file as the loader knows it (a function's address would name a sanitizer's
  // interceptor instead of libc).
  void* const handle = ::dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  link_map* libc = nullptr;
  ASSERT_EQ(::dlinfo(handle, RTLD_DI_LINKMAP, &libc), 0);
  const std::string libcFile = libc->l_name;
  ::dlclose(handle);
  EXPECT_EQ(ErrorOf([] { LoadOpenSsl("libc.so.6"); }),
            "Secure Socket setup failed: libc.so.6: " + libcFile +
                ": undefined symbol: CRYPTO_get_ex_new_index");
  EXPECT_EQ(ErrorOf([] { LoadOpenSsl(OpenSslLibraryName()); }), "");
}

}  // namespace
}  // namespace quillmark
