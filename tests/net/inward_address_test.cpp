// Which addresses point inward, from the address blocks' own definitions (RFC 1122 loopback and
// "this network", RFC 1918 private, RFC 3927 link-local, RFC 4291 loopback, unspecified,
// link-local and IPv4-mapped, RFC 4193 unique-local) and the numeric host forms resolvers
// accept (inet_aton's bare, short, octal and hexadecimal parts); then the client refusing them.
#include <arpa/inet.h>
#include <netinet/in.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/inward_address.h"
#include "net/nmhttp.h"
#include "net/powersock.h"
#include "net_test_support.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using testing::ErrorOf;
using testing::Exchange;
using testing::ScriptedServer;

struct HostCase {
  const char* host;
  bool inward;
};

TEST(IsInwardHost, RefusesEveryInwardFormAndPassesThePublicOnes) {
  const HostCase cases[] = {
      // Each block's first and last address, and the public neighbours just outside it.
      {"127.0.0.1", true},
      {"127.255.255.255", true},
      {"126.255.255.255", false},
      {"128.0.0.0", false},
      {"10.0.0.1", true},
      {"10.255.255.255", true},
      {"11.0.0.0", false},
      {"9.255.255.255", false},
      {"172.16.0.0", true},
      {"172.31.255.255", true},
      {"172.15.255.255", false},
      {"172.32.0.0", false},
      {"192.168.1.1", true},
      {"192.169.0.0", false},
      {"192.167.255.255", false},
      {"169.254.169.254", true},
      {"169.253.255.255", false},
      {"169.255.0.0", false},
      {"0.0.0.0", true},
      {"1.0.0.0", false},
      {"93.184.216.34", false},
      // Numbers a resolver reads as an address though no one writes one so.
      {"2130706433", true},
      {"0x7f.1", true},
      {"0x7F000001", true},
      {"017700000001", true},
      {"127.1", true},
      {"0177.0.0.1", true},
      {"93.184.216.07", true},  // a public address, but with an octal part of two digits
      {"1.2.3", true},
      {"0", true},
      {"1.2.3.4.", false},
      {"127.0.0.1.", true},
      {"256.1.1.1", true},
      // Names: only localhost is inward by its text.
      {"localhost", true},
      {"LOCALHOST", true},
      {"a.localhost", true},
      {"localhost.", true},
      {"localhost.example", false},
      {"news.example", false},
      {"1e100.net", false},
      {"0x.example", false},
      {"08.1.1.1", false},
      // IPv6, bracketed as in a URL or not.
      {"[::1]", true},
      {"::", true},
      {"[fc00::1]", true},
      {"fdff:ffff::1", true},
      {"[fe80::1]", true},
      {"febf::1", true},
      {"fec0::1", false},
      {"fbff::1", false},
      {"[2001:db8::1]", false},
      {"[::ffff:127.0.0.1]", true},
      {"[::ffff:8.8.8.8]", false},
      {"[zz::1]", true},
  };
  for (const HostCase& c : cases) EXPECT_EQ(IsInwardHost(c.host), c.inward) << c.host;
}

TEST(IsInwardAddress, ReadsBothFamiliesAndRefusesAnyOther) {
  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  for (const auto& [text, inward] :
       std::vector<std::pair<const char*, bool>>{{"127.0.0.1", true},
                                                 {"192.168.0.1", true},
                                                 {"172.20.1.1", true},
                                                 {"8.8.8.8", false},
                                                 {"172.32.0.1", false}}) {
    ::inet_pton(AF_INET, text, &v4.sin_addr);
    EXPECT_EQ(IsInwardAddress(reinterpret_cast<const sockaddr&>(v4)), inward) << text;
  }
  sockaddr_in6 v6{};
  v6.sin6_family = AF_INET6;
  for (const auto& [text, inward] :
       std::vector<std::pair<const char*, bool>>{{"::1", true},
                                                 {"fd12::1", true},
                                                 {"fe80::2", true},
                                                 {"::ffff:10.1.1.1", true},
                                                 {"2001:4860::8888", false},
                                                 {"::ffff:1.1.1.1", false}}) {
    ::inet_pton(AF_INET6, text, &v6.sin6_addr);
    EXPECT_EQ(IsInwardAddress(reinterpret_cast<const sockaddr&>(v6)), inward) << text;
  }
  sockaddr other{};
  other.sa_family = AF_UNIX;
  EXPECT_TRUE(IsInwardAddress(other));
}

// Through a proxy the client sees only what is written: a public site's redirect to an inward
// host is never asked for, and without the rule it is, as always.
TEST(InwardRefusal, ARedirectToAnInwardHostIsNotFollowed) {
  for (const bool refuse : {true, false}) {
    ScriptedServer server;
    server.SetScript(
        {Exchange::Reply("HTTP/1.0 302 Found\r\nLocation: http://0x7f.1:9/internal/secret\r\n\r\n"),
         Exchange::Reply("HTTP/1.0 200 OK\r\n\r\nsecret")});
    TNMHTTP http;
    http.Proxy = "127.0.0.1";
    http.ProxyPort = server.port();
    http.RefuseInward = refuse;
    const std::string error = ErrorOf([&] { http.Get("http://news.example/a.html"); });
    if (refuse) {
      EXPECT_EQ(error, "Inward address refused");
      EXPECT_EQ(server.Requests().size(), 1u);
    } else {
      EXPECT_EQ(error, "");
      EXPECT_EQ(http.Body, "secret");
    }
    server.Stop();
  }
}

// Straight to the host, the looked-up address decides: a name and a dotted address alike.
TEST(InwardRefusal, ALookedUpInwardAddressFailsTheConnection) {
  for (const char* host : {"localhost", "127.0.0.1"}) {
    ScriptedServer server;
    TPowersock socket;
    socket.Host = host;
    socket.Port = server.port();
    socket.RefuseInward = true;
    bool failed = false;
    socket.OnConnectionFailed = [&] { failed = true; };
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Inward address refused") << host;
    EXPECT_TRUE(failed);
    EXPECT_TRUE(socket.ReachedInward());
    socket.RefuseInward = false;
    socket.Connect();
    EXPECT_TRUE(socket.Connected()) << host;
    socket.Disconnect();
    server.Stop();
  }
}

}  // namespace
}  // namespace quillmark
