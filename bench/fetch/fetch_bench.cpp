// How long one Get of a 5-50 KB page takes from a loopback server, a new connection each
// time and an empty pump, beside one curl process fetching the same 500 pages over HTTP/1.0.
//
// The pages are served by nginx when it is installed (started here with its own temporary
// configuration on a free loopback port), else, or with QUILLMARK_FETCH_SERVER=scripted, by
// the tests' scripted server.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <netinet/in.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "net/nmhttp.h"
#include "support/scripted_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using quillmark::TNMHTTP;
using quillmark::testing::Exchange;
using quillmark::testing::ScriptedServer;

constexpr int kPages = 500;

std::string FindProgram(const std::string& name, const std::vector<std::string>& also) {
  std::vector<std::string> directories = also;
  if (const char* path = std::getenv("PATH")) {
    std::string rest = path;
    for (std::size_t start = 0; start <= rest.size();) {
      std::size_t end = rest.find(':', start);
      if (end == std::string::npos) end = rest.size();
      directories.push_back(rest.substr(start, end - start));
      start = end + 1;
    }
  }
  for (const std::string& directory : directories) {
    const fs::path candidate = fs::path(directory) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

pid_t Spawn(const std::vector<std::string>& arguments, const std::string& output) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, output.c_str(), O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

bool AcceptsConnections(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  const bool connected =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

// 500 pages of 5 to 50 KB in a temporary directory, served on 127.0.0.1.
class PageSite {
 public:
  PageSite() {
    root_ = fs::temp_directory_path() / ("quillmark-bench-fetch-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "www");
    for (int i = 0; i < kPages; ++i) {
      const std::size_t size = 5 * 1024 + (static_cast<std::size_t>(i) * 7919 % (45 * 1024 + 1));
      std::string page = "<html><body><p>";
      while (page.size() < size) page += "The quick brown fox jumps over the lazy dog. ";
      page.resize(size);
      const std::string name = "/page" + std::to_string(i) + ".html";
      std::ofstream(root_ / "www" / name.substr(1), std::ios::binary) << page;
      pages_[name] = std::move(page);
      paths_.push_back(name);
    }
    const char* wanted = std::getenv("QUILLMARK_FETCH_SERVER");
    const bool scripted_wanted = wanted != nullptr && std::string(wanted) == "scripted";
    if (scripted_wanted || !StartNginx()) StartScriptedServer();
  }

  ~PageSite() {
    scripted_.reset();
    if (nginx_ > 0) {
      ::kill(nginx_, SIGTERM);
      ::waitpid(nginx_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  std::string Url(int page) const {
    return "http://127.0.0.1:" + std::to_string(port_) + paths_[static_cast<std::size_t>(page)];
  }
  std::size_t SizeOf(int page) const {
    return pages_.at(paths_[static_cast<std::size_t>(page)]).size();
  }
  const char* ServerName() const { return nginx_ > 0 ? "nginx" : "scripted server"; }
  const fs::path& root() const { return root_; }

 private:
  bool StartNginx() {
    const std::string nginx = FindProgram("nginx", {"/usr/sbin", "/usr/local/sbin"});
    if (nginx.empty()) return false;
    port_ = quillmark::testing::UnusedLoopbackPort();
    const fs::path config = root_ / "nginx.conf";
    const std::string r = root_.string();
    std::ofstream(config) << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                          << "error_log " << r << "/error.log;\npid " << r << "/nginx.pid;\n"
                          << "events { worker_connections 1024; }\n"
                          << "http {\n  access_log off;\n  default_type text/html;\n"
                          << "  client_body_temp_path " << r << "/client;\n  proxy_temp_path " << r
                          << "/proxy;\n"
                          << "  fastcgi_temp_path " << r << "/fastcgi;\n  uwsgi_temp_path " << r
                          << "/uwsgi;\n"
                          << "  scgi_temp_path " << r << "/scgi;\n"
                          << "  server {\n    listen 127.0.0.1:" << port_ << ";\n    root " << r
                          << "/www;\n  }\n}\n";
    nginx_ = Spawn({nginx, "-p", r, "-e", r + "/error.log", "-c", config.string()}, "/dev/null");
    if (nginx_ <= 0) return false;
    // nginx says nothing when it is ready; a connection that succeeds is the sign.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!AcceptsConnections(port_)) {
      int status = 0;
      if (::waitpid(nginx_, &status, WNOHANG) == nginx_ ||
          std::chrono::steady_clock::now() > give_up) {
        ::kill(nginx_, SIGTERM);
        ::waitpid(nginx_, nullptr, 0);
        nginx_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  void StartScriptedServer() {
    scripted_ = std::make_unique<ScriptedServer>([this](int, const std::string& request) {
      const std::size_t start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      const auto page = pages_.find(path);
      if (page == pages_.end()) return Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\n");
      return Exchange::Reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                             std::to_string(page->second.size()) + "\r\n\r\n" + page->second);
    });
    port_ = scripted_->port();
  }

  fs::path root_;
  std::map<std::string, std::string> pages_;
  std::vector<std::string> paths_;
  std::uint16_t port_ = 0;
  pid_t nginx_ = -1;
  std::unique_ptr<ScriptedServer> scripted_;
};

PageSite& Site() {
  static PageSite site;
  return site;
}

void SetPerPageCounter(benchmark::State& state) {
  state.counters["per_page"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kPages,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Get500Pages(benchmark::State& state) {
  PageSite& site = Site();
  TNMHTTP http;  // empty pump
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (int page = 0; page < kPages; ++page) {
      http.Get(site.Url(page));
      if (http.Body.size() != site.SizeOf(page)) {
        state.SkipWithError("a page arrived incomplete");
        return;
      }
      bytes += http.Body.size();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  SetPerPageCounter(state);
  state.SetLabel(site.ServerName());
}
BENCHMARK(BM_Get500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 500 pages with one `curl --http1.0` process (a new connection per page).
void BM_Curl500Pages(benchmark::State& state) {
  PageSite& site = Site();
  const std::string curl = FindProgram("curl", {"/usr/bin"});
  if (curl.empty()) {
    state.SkipWithError("curl is not installed");
    return;
  }
  const fs::path config = site.root() / "curl.conf";
  {
    std::ofstream file(config);
    for (int page = 0; page < kPages; ++page) {
      file << "url = \"" << site.Url(page) << "\"\noutput = \"/dev/null\"\n";
    }
  }
  for (auto _ : state) {
    const pid_t pid =
        Spawn({curl, "--http1.0", "--silent", "--fail", "-K", config.string()}, "/dev/null");
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      state.SkipWithError("curl failed");
      return;
    }
  }
  SetPerPageCounter(state);
  state.SetLabel(site.ServerName());
}
BENCHMARK(BM_Curl500Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
