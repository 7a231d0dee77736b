// Helpers shared by the network tests of this folder.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "net/net_error.h"
#include "net/nmhttp.h"

namespace quillmark::testing {

inline std::filesystem::path NetDataDir() {
  return std::filesystem::path(QUILLMARK_SOURCE_DIR) / "tests" / "net" / "data";
}

// Records every event of a client as a word, in the order they fire.
inline void RecordEvents(TNMHTTP& http, std::vector<std::string>& events) {
  http.OnHostResolved = [&events] { events.push_back("HostResolved"); };
  http.OnConnect = [&events] { events.push_back("Connect"); };
  http.OnInvalidHost = [&events](bool&) { events.push_back("InvalidHost"); };
  http.OnConnectionFailed = [&events] { events.push_back("ConnectionFailed"); };
  http.OnSuccess = [&events](CmdType) { events.push_back("Success"); };
  http.OnFailure = [&events](CmdType) { events.push_back("Failure"); };
}

// A clock for the socket layer's time limits that moves only when the test moves it.
class ManualClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  std::function<TimePoint()> Reader() {
    return [this] { return now_; };
  }
  void Advance(std::chrono::milliseconds by) { now_ += by; }

 private:
  TimePoint now_{};
};

// The message of the NetError `action` throws, or "" when it throws none.
template <typename Action>
std::string ErrorOf(Action&& action) {
  try {
    action();
  } catch (const NetError& error) {
    return error.what();
  }
  return "";
}

}  // namespace quillmark::testing
