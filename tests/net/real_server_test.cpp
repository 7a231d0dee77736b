// One fetch from a real HTTP server process: Python's http.server on a loopback port.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "net/nmhttp.h"
#include "net_test_support.h"
#include "support/scripted_server.h"

extern char** environ;

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::StartsWith;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string directories = path;
  for (std::size_t start = 0; start <= directories.size();) {
    std::size_t end = directories.find(':', start);
    if (end == std::string::npos) end = directories.size();
    const fs::path candidate = fs::path(directories.substr(start, end - start)) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// `python3 -m http.server` serving a temporary directory on 127.0.0.1, started in SetUp and
// stopped in TearDown. Ready once it has printed its "Serving HTTP" line.
class PythonHttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("python3")) GTEST_SKIP() << "python3 is not installed";
    directory_ = fs::temp_directory_path() /
                 ("quillmark-net-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(directory_);
    std::ofstream(directory_ / "page.html", std::ios::binary) << kPage;

    port_ = testing::UnusedLoopbackPort();
    int output[2];
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string port_text = std::to_string(port_);
    const std::string directory_text = directory_.string();
    std::vector<char*> arguments = {const_cast<char*>("python3"),
                                    const_cast<char*>("-u"),
                                    const_cast<char*>("-m"),
                                    const_cast<char*>("http.server"),
                                    const_cast<char*>("--bind"),
                                    const_cast<char*>("127.0.0.1"),
                                    const_cast<char*>("--directory"),
                                    const_cast<char*>(directory_text.c_str()),
                                    const_cast<char*>(port_text.c_str()),
                                    nullptr};
    const int spawned =
        ::posix_spawnp(&pid_, "python3", &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
      ::close(output[0]);
      pid_ = -1;
      GTEST_SKIP() << "python3 could not be started";
    }
    // The read end stays open while the server runs: Python ends with an error when it finds
    // its standard output closed.
    output_ = output[0];
    const bool ready = WaitUntilServing(output_);
    ASSERT_TRUE(ready) << "python3 -m http.server did not start on port " << port_;
  }

  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    if (output_ >= 0) ::close(output_);
    if (!directory_.empty()) fs::remove_all(directory_);
  }

  // Reads the server's output until its start-up line (or its exit, or 20 s).
  static bool WaitUntilServing(int output) {
    std::string printed;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (printed.find("Serving HTTP") == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          give_up - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd ready{output, POLLIN, 0};
      if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[256];
      const ssize_t count = ::read(output, buffer, sizeof buffer);
      if (count <= 0) return false;  // it exited
      printed.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
  }

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  static constexpr const char* kPage =
      "<html><body><p>A page served by Python.</p></body></html>\n";
  fs::path directory_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
  int output_ = -1;
};

TEST_F(PythonHttpServerTest, FetchesAPageAndReportsAMissingOne) {
  TNMHTTP http;
  std::vector<std::string> events;
  testing::RecordEvents(http, events);

  http.Get(Url("/page.html"));
  EXPECT_THAT(events, ElementsAre("Connect", "Success"));
  EXPECT_EQ(http.StatusCode(), 200);
  EXPECT_EQ(http.Body, kPage);
  EXPECT_THAT(http.Header, StartsWith("HTTP/1.0 200 OK\r\n"));
  EXPECT_EQ(http.ContentLength(), static_cast<std::int32_t>(std::string(kPage).size()));

  events.clear();
  http.Get(Url("/missing.html"));
  EXPECT_THAT(events, ElementsAre("Connect", "Failure"));
  EXPECT_EQ(http.StatusCode(), 404);
}

}  // namespace
}  // namespace quillmark
