// The socket layer on its own: field helpers, the error table, lines, captures, lookups.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/net_error.h"
#include "net/powersock.h"
#include "net_test_support.h"
#include "support/scripted_server.h"

namespace quillmark {
namespace {

using ::testing::ElementsAre;
using testing::ErrorOf;
using testing::Exchange;
using ::testing::IsEmpty;
using testing::ManualClock;
using testing::ScriptedServer;

TEST(NthWord, CountsEveryFieldIncludingEmptyOnes) {
  EXPECT_EQ(TPowersock::NthWord("http://host/a/b.html", '/', 1), "http:");
  EXPECT_EQ(TPowersock::NthWord("http://host/a/b.html", '/', 2), "");
  EXPECT_EQ(TPowersock::NthWord("http://host/a/b.html", '/', 3), "host");
  EXPECT_EQ(TPowersock::NthWord("http://host/a/b.html", '/', 5), "b.html");
  EXPECT_EQ(TPowersock::NthWord("http://host/a/b.html", '/', 6), "");
  EXPECT_EQ(TPowersock::NthWord("HTTP/1.0 404\r\n", ' ', 2), "404\r\n");
}

TEST(NthPos, GivesOneBasedPositionsOrLengthPlusOne) {
  EXPECT_EQ(TPowersock::NthPos("http://host/a", '/', 1), 6u);
  EXPECT_EQ(TPowersock::NthPos("http://host/a", '/', 3), 12u);
  EXPECT_EQ(TPowersock::NthPos("http://host", '/', 3), 12u);
}

TEST(SocketErrors, FailedCallsGetWinsockNumbersAndOurTexts) {
  EXPECT_EQ(WinsockNumberFromErrno(EAGAIN), 10035);
  EXPECT_EQ(WinsockNumberFromErrno(EINPROGRESS), 10035);
  EXPECT_EQ(WinsockNumberFromErrno(ECONNRESET), 10054);
  EXPECT_EQ(WinsockNumberFromErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(WinsockNumberFromErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(WinsockNumberFromErrno(ENOTCONN), 10057);
  EXPECT_EQ(SocketErrorStr(10061), "10061:Connection refused");
  EXPECT_EQ(SocketErrorStr(12345), "Unknown Error No. 12345");
  // An errno without a Winsock counterpart still counts as an error.
  const int unmapped = WinsockNumberFromErrno(EIO);
  EXPECT_GT(unmapped, 10000);
  EXPECT_EQ(ErrorOf([&] { ErrorManager(unmapped); }),
            "Unknown Error No. " + std::to_string(unmapped));
}

TEST(SocketErrors, WouldBlockAndSmallNumbersAreNotErrors) {
  EXPECT_NO_THROW(ErrorManager(10035));
  EXPECT_NO_THROW(ErrorManager(0));
  EXPECT_NO_THROW(ErrorManager(10000));
  EXPECT_EQ(ErrorOf([] { ErrorManager(10054); }), "10054:Connection reset by peer");
}

// A connected socket layer talking to one scripted exchange.
class SocketLayerTest : public ::testing::Test {
 protected:
  void SetUp() override { server_ = std::make_unique<ScriptedServer>(); }
  void TearDown() override { server_->Stop(); }

  void ConnectAndAsk(const Exchange& exchange) {
    server_->SetScript({exchange});
    socket_.Host = "127.0.0.1";
    socket_.Port = server_->port();
    socket_.Connect();
    socket_.Writeln("hello");
    socket_.Writeln("");
  }

  std::unique_ptr<ScriptedServer> server_;
  TPowersock socket_;
};

TEST_F(SocketLayerTest, ReadLnKeepsLineEndsAndDropsALineThePeerDidNotFinish) {
  ConnectAndAsk(Exchange::Reply("one\r\ntwo\nthr"));
  EXPECT_EQ(socket_.ReadLn(), "one\r\n");
  EXPECT_EQ(socket_.ReadLn(), "two\n");
  EXPECT_EQ(socket_.ReadLn(), "");
  EXPECT_EQ(socket_.ReadLn(), "");
  EXPECT_EQ(server_->Requests(), std::vector<std::string>{"hello\r\n\r\n"});
}

TEST_F(SocketLayerTest, ALineMayFillTheWorkingBufferButNotMore) {
  const std::string longest = std::string(TPowersock::kWorkingBufferSize - 2, 'a') + "\r\n";
  ConnectAndAsk(Exchange::Reply(longest + std::string(TPowersock::kWorkingBufferSize, 'b') + "\n"));
  EXPECT_EQ(socket_.ReadLn(), longest);
  EXPECT_EQ(ErrorOf([&] { socket_.ReadLn(); }), "Socket readln line too long");
}

TEST_F(SocketLayerTest, CaptureStringTakesWhatReadLnBufferedAndStopsAtTheMaximum) {
  ConnectAndAsk(Exchange::Reply("status\r\n0123456789abcdef"));
  EXPECT_EQ(socket_.ReadLn(), "status\r\n");
  std::string text = "old";
  socket_.CaptureString(text, 10);
  EXPECT_EQ(text, "0123456789");
  socket_.CaptureString(text, -1);
  EXPECT_EQ(text, "abcdef");
}

TEST_F(SocketLayerTest, CancelFromThePumpAbortsAReadAndIsReportedOnce) {
  ConnectAndAsk(Exchange::Reply("").Drip("late\n", 5, std::chrono::milliseconds(30)));
  socket_.Pump = [this] { socket_.Cancel(); };
  EXPECT_EQ(ErrorOf([&] { socket_.ReadLn(); }), "Socket readln aborted");
  socket_.Pump = nullptr;
  EXPECT_EQ(socket_.ReadLn(), "late\n");  // the flag was cleared when it was reported
}

TEST_F(SocketLayerTest, ConnectTwiceIsRefused) {
  ConnectAndAsk(Exchange::Reply("x"));
  EXPECT_EQ(ErrorOf([&] { socket_.Connect(); }), "Already connected");
}

TEST_F(SocketLayerTest, AfterDisconnectReadsEndAsAtACloseAndWritesFail) {
  ConnectAndAsk(Exchange::Reply("line\n"));
  socket_.Disconnect();
  EXPECT_FALSE(socket_.Connected());
  EXPECT_EQ(socket_.ReadLn(), "");
  std::string text = "old";
  socket_.CaptureString(text, -1);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ErrorOf([&] { socket_.Write("more"); }), "10057:Socket is not connected");
}

// ---------------------------------------------------------------------------------------------
// Name lookup

// A UDP port on 127.0.0.1 nothing listens on: a name server there fails at once.
std::uint16_t ClosedUdpPort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// A name server that takes every question and never answers.
class SilentNameServer {
 public:
  SilentNameServer() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~SilentNameServer() { ::close(fd_); }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

class NameLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<ScriptedServer>();
    socket_.Port = server_->port();
    socket_.OnHostResolved = [this] { events_.push_back("HostResolved"); };
    socket_.OnInvalidHost = [this](bool&) { events_.push_back("InvalidHost"); };
    socket_.OnConnect = [this] { events_.push_back("Connect"); };
    socket_.OnConnectionFailed = [this] { events_.push_back("ConnectionFailed"); };
  }
  void TearDown() override { server_->Stop(); }

  std::unique_ptr<ScriptedServer> server_;
  TPowersock socket_;
  std::vector<std::string> events_;
};

TEST_F(NameLookupTest, LocalhostComesFromTheHostsFileEvenWithoutANameServer) {
  socket_.NameServers = "127.0.0.1:" + std::to_string(ClosedUdpPort());
  socket_.Host = "localhost";
  socket_.Connect();
  EXPECT_THAT(events_, ElementsAre("HostResolved", "Connect"));
}

TEST_F(NameLookupTest, AFailedLookupAsksTheOwnerOnceThenGivesUp) {
  socket_.NameServers = "127.0.0.1:" + std::to_string(ClosedUdpPort());
  socket_.Host = "nothing.invalid";
  EXPECT_EQ(ErrorOf([&] { socket_.Connect(); }), "Null Remote Address");
  EXPECT_THAT(events_, ElementsAre("InvalidHost"));
}

TEST_F(NameLookupTest, AnOwnerThatHandlesAFailedLookupGetsOneRetry) {
  socket_.NameServers = "127.0.0.1:" + std::to_string(ClosedUdpPort());
  socket_.Host = "nothing.invalid";
  int calls = 0;
  socket_.OnInvalidHost = [&](bool& handled) {
    ++calls;
    socket_.Host = calls == 1 ? "still-nothing.invalid" : "127.0.0.1";
    handled = true;
  };
  EXPECT_EQ(ErrorOf([&] { socket_.Connect(); }), "Null Remote Address");
  EXPECT_EQ(calls, 1);

  calls = 0;
  socket_.Host = "nothing.invalid";
  socket_.OnInvalidHost = [&](bool& handled) {
    ++calls;
    socket_.Host = "127.0.0.1";  // the owner repairs the name
    handled = true;
  };
  socket_.Connect();
  EXPECT_TRUE(socket_.Connected());
  EXPECT_EQ(calls, 1);
}

TEST_F(NameLookupTest, ASilentNameServerEndsInALookupTimeOutWithoutEvents) {
  SilentNameServer name_server;
  socket_.NameServers = name_server.Address();
  socket_.Host = "www.example.test";
  ManualClock clock;
  socket_.Clock = clock.Reader();
  int turns = 0;
  socket_.Pump = [&] {  // the application runs for a second in every turn of the wait
    ++turns;
    clock.Advance(std::chrono::seconds(1));
  };
  EXPECT_EQ(ErrorOf([&] { socket_.Connect(); }), "Host Lookup Timed Out");
  EXPECT_EQ(turns, 10);  // the whole TimeOut of 10,000 ms, not a turn less
  EXPECT_THAT(events_, IsEmpty());
}

TEST_F(NameLookupTest, CancelDuringALookupEndsItAtOnce) {
  SilentNameServer name_server;
  socket_.NameServers = name_server.Address();
  socket_.Host = "www.example.test";
  socket_.Pump = [this] { socket_.Cancel(); };
  EXPECT_EQ(ErrorOf([&] { socket_.Connect(); }), "Host Lookup Canceled");
  EXPECT_THAT(events_, IsEmpty());
}

// How the machine's own name servers answer is not ours to choose, so this pins what is: with
// no NameServers the system configuration is used, hosts file first. A failed and a silent
// name server are pinned above.
TEST_F(NameLookupTest, WithoutNameServersTheSystemConfigurationAnswersFromTheHostsFile) {
  socket_.Host = "localhost";
  socket_.Connect();
  EXPECT_THAT(events_, ElementsAre("HostResolved", "Connect"));
}

TEST_F(NameLookupTest, TheProxyIsLookedUpAndConnectedInsteadOfTheHost) {
  socket_.Host = "nothing.invalid";
  socket_.Port = 1;
  socket_.Proxy = "localhost";
  socket_.ProxyPort = server_->port();
  socket_.Connect();
  EXPECT_THAT(events_, ElementsAre("HostResolved", "Connect"));
}

}  // namespace
}  // namespace quillmark
