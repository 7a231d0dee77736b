// Nothing read from the network grows without bound: the body, a line, the redirects.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "net/nmhttp.h"
#include "net_test_support.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::ElementsAre;
using testing::ErrorOf;
using testing::Exchange;
using testing::ScriptedServer;

// AddressSanitizer keeps freed memory in quarantine and pads every allocation, so peak
// memory says nothing about our buffers there; the limits are checked in normal builds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

// Peak resident memory of this process so far, in bytes (VmHWM).
long long PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  }
  return -1;
}

class BoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<ScriptedServer>();
    testing::RecordEvents(http_, events_);
  }
  void TearDown() override { server_->Stop(); }

  std::unique_ptr<ScriptedServer> server_;
  TNMHTTP http_;
  std::vector<std::string> events_;
};

TEST_F(BoundsTest, AnEndlessBodyEndsAt64MiBAsIfTheServerHadClosed) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n").EndlessFiller('x')});
  const long long before = PeakResidentBytes();

  http_.Get(server_->Url("/endless.html"));
  EXPECT_THAT(events_, ElementsAre("Connect", "Success"));
  ASSERT_EQ(http_.Body.size(), 64u * 1024 * 1024);
  EXPECT_EQ(http_.Body.find_first_not_of('x'), std::string::npos);
  const long long after_first = PeakResidentBytes();

  http_.Get(server_->Url("/endless.html"));
  const long long after_second = PeakResidentBytes();
  RecordProperty("peak_growth_first_mib", std::to_string((after_first - before) >> 20));
  RecordProperty("peak_growth_second_mib", std::to_string((after_second - after_first) >> 20));
  ASSERT_GT(before, 0);
  if (!kMemoryIsMeasurable) return;
  // One body and the copy made while its buffer last grew, no more; and a second fetch
  // reuses the room of the first.
  EXPECT_LT(after_first - before, 200LL * 1024 * 1024);
  EXPECT_LT(after_second - after_first, 16LL * 1024 * 1024);
}

TEST_F(BoundsTest, AnEndlessHeaderLineEndsTheRequestWithAnError) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 200 OK\r\nX-Endless: ").EndlessFiller('y')});
  const long long before = PeakResidentBytes();
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Socket readln line too long");
  EXPECT_THAT(events_, ElementsAre("Connect"));
  EXPECT_FALSE(http_.Connected());
  if (kMemoryIsMeasurable) {
    EXPECT_LT(PeakResidentBytes() - before, 4LL * 1024 * 1024);
  }
}

// "HTTP/1.0 200 OK", filler header lines and the empty line: `lines` lines, `bytes` bytes.
std::string HeaderOf(std::size_t lines, std::size_t bytes) {
  std::string header = "HTTP/1.0 200 OK\r\n";
  std::size_t left = bytes - header.size() - 2;
  for (std::size_t fillers = lines - 2; fillers > 0; --fillers) {
    const std::size_t size = left / fillers;  // "X-A: ", the value and CR LF
    header += "X-A: " + std::string(size - 7, 'b') + "\r\n";
    left -= size;
  }
  return header + "\r\n";
}

struct HeaderCeilingCase {
  std::size_t lines;
  std::size_t bytes;
  const char* error;
};

class HeaderCeilingTest : public BoundsTest,
                          public ::testing::WithParamInterface<HeaderCeilingCase> {};

// Every line restarts the time limit, so short lines for ever would fill memory but for these.
TEST_P(HeaderCeilingTest, AHeaderMayReachTheCeilingsButNotPassThem) {
  const HeaderCeilingCase& c = GetParam();
  const std::string header = HeaderOf(c.lines, c.bytes);
  ASSERT_EQ(header.size(), c.bytes);
  server_->SetScript({Exchange::Reply(header + "body")});
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), c.error);
  EXPECT_FALSE(http_.Connected());
}

constexpr std::size_t kMaxBytes = TNMHTTP::kMaxHeaderBytes;
INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderCeilingTest,
    ::testing::Values(HeaderCeilingCase{1000, 8003, ""},
                      HeaderCeilingCase{1001, 8011, "Response header too long"},
                      HeaderCeilingCase{18, kMaxBytes, ""},
                      HeaderCeilingCase{18, kMaxBytes + 1, "Response header too long"}),
    [](const auto& info) {
      return std::to_string(info.param.lines) + "_lines_" + std::to_string(info.param.bytes) +
             "_bytes";
    });

TEST_F(BoundsTest, AnAllocationFailureDuringAFetchIsANetError) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 200 OK\r\n\r\nbody")});
  http_.OnConnect = [] { throw std::bad_alloc(); };  // any allocation inside Get
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Out of memory");
  EXPECT_FALSE(http_.Connected());
}

TEST_F(BoundsTest, EndlessRedirectsStopAfterTwentyRequests) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 302 Found\r\nLocation: /again.html\r\n\r\n")});
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Too many redirects");
  EXPECT_EQ(server_->connections(), TNMHTTP::kMaxRequestsPerGet);
  EXPECT_FALSE(http_.Connected());
}

TEST_F(BoundsTest, EndlessRepeatsCountTowardsTheSameLimit) {
  server_->SetScript({Exchange::Reply("HTTP/1.0 399 Whatever\r\n\r\n")});
  EXPECT_EQ(ErrorOf([&] { http_.Get(server_->Url("/a.html")); }), "Too many redirects");
  EXPECT_EQ(server_->connections(), TNMHTTP::kMaxRequestsPerGet);
}

TEST_F(BoundsTest, TheTwentiethRequestMayStillSucceed) {
  std::vector<Exchange> script(
      TNMHTTP::kMaxRequestsPerGet - 1,
      Exchange::Reply("HTTP/1.0 301 Moved\r\nLocation: /next.html\r\n\r\n"));
  script.push_back(Exchange::Reply("HTTP/1.0 200 OK\r\n\r\narrived"));
  server_->SetScript(script);
  http_.Get(server_->Url("/a.html"));
  EXPECT_EQ(http_.Body, "arrived");
  EXPECT_EQ(server_->connections(), TNMHTTP::kMaxRequestsPerGet);
}

TEST_F(BoundsTest, HeaderValuesAreCutAt256Bytes) {
  const std::string long_cookie(300, 'c');
  server_->SetScript({Exchange::Reply("HTTP/1.0 302 Found\r\nSet-Cookie: " + long_cookie +
                                      "\r\nLocation: /next.html\r\n\r\n"),
                      Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n")});
  http_.Get(server_->Url("/a.html"));
  EXPECT_EQ(http_.HeaderInfo.Cookie, long_cookie.substr(0, 256));
}

}  // namespace
}  // namespace quillmark
