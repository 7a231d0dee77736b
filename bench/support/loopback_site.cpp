#include "loopback_site.h"

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
#include <fstream>
#include <thread>

#include "support/scripted_server.h"

extern char** environ;

namespace quillmark::bench {
namespace {

namespace fs = std::filesystem;
using testing::Exchange;
using testing::ScriptedServer;

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

}  // namespace

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

LoopbackSite::LoopbackSite(const std::string& name, std::map<std::string, std::string> pages,
                           Transport transport)
    : pages_(std::move(pages)), transport_(transport) {
  root_ =
      fs::temp_directory_path() / ("quillmark-bench-" + name + "-" + std::to_string(::getpid()));
  fs::create_directories(root_ / "www");
  for (const auto& [path, page] : pages_) {
    std::ofstream(root_ / "www" / path.substr(1), std::ios::binary) << page;
  }
  const char* wanted = std::getenv("QUILLMARK_FETCH_SERVER");
  const bool scripted_wanted = wanted != nullptr && std::string(wanted) == "scripted";
  if (scripted_wanted || !StartNginx()) StartScriptedServer();
}

LoopbackSite::~LoopbackSite() {
  scripted_.reset();
  if (nginx_ > 0) {
    ::kill(nginx_, SIGTERM);
    ::waitpid(nginx_, nullptr, 0);
  }
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string LoopbackSite::Url(const std::string& path) const {
  const char* scheme = transport_ == Transport::kHttps ? "https" : "http";
  return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + path;
}

bool LoopbackSite::StartNginx() {
  const std::string nginx = FindProgram("nginx", {"/usr/sbin", "/usr/local/sbin"});
  if (nginx.empty()) return false;
  port_ = testing::UnusedLoopbackPort();
  const fs::path config = root_ / "nginx.conf";
  const std::string r = root_.string();
  std::string secure;
  if (transport_ == Transport::kHttps) {
    secure = " ssl;\n    ssl_certificate " + testing::TestTlsFile("server.pem") +
             ";\n    ssl_certificate_key " + testing::TestTlsFile("server.key");
  }
  std::ofstream(config) << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                        << "error_log " << r << "/error.log;\npid " << r << "/nginx.pid;\n"
                        << "events { worker_connections 1024; }\n"
                        << "http {\n  access_log off;\n  default_type text/html;\n"
                        << "  client_body_temp_path " << r << "/client;\n  proxy_temp_path " << r
                        << "/proxy;\n"
                        << "  fastcgi_temp_path " << r << "/fastcgi;\n  uwsgi_temp_path " << r
                        << "/uwsgi;\n"
                        << "  scgi_temp_path " << r << "/scgi;\n"
                        << "  server {\n    listen 127.0.0.1:" << port_ << secure << ";\n    root "
                        << r << "/www;\n  }\n}\n";
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

void LoopbackSite::StartScriptedServer() {
  scripted_ = std::make_unique<ScriptedServer>([this](int, const std::string& request) {
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    const auto page = pages_.find(path);
    if (page == pages_.end()) return Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\n");
    return Exchange::Reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                           std::to_string(page->second.size()) + "\r\n\r\n" + page->second);
  });
  if (transport_ == Transport::kHttps) scripted_->UseTls(testing::TestTlsFile("server.pem"));
  port_ = scripted_->port();
}

CurlRun::CurlRun(const LoopbackSite& site, const std::vector<std::string>& urls)
    : curl_(FindProgram("curl", {"/usr/bin"})), config_(site.root() / "curl.conf") {
  if (site.transport() == Transport::kHttps) trust_ = {"--cacert", testing::TestTlsFile("ca.pem")};
  std::ofstream file(config_);
  for (const std::string& url : urls) file << "url = \"" << url << "\"\noutput = \"/dev/null\"\n";
}

bool CurlRun::Run() const {
  std::vector<std::string> arguments = {curl_, "--http1.0", "--silent", "--fail"};
  arguments.insert(arguments.end(), trust_.begin(), trust_.end());
  arguments.insert(arguments.end(), {"-K", config_.string()});
  const pid_t pid = Spawn(arguments, "/dev/null");
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

void SetPerPageCounter(benchmark::State& state, int pages) {
  state.counters["per_page"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * pages,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void MeasureCurl(benchmark::State& state, const LoopbackSite& site,
                 const std::vector<std::string>& urls) {
  const CurlRun curl(site, urls);
  if (!curl.Found()) {
    state.SkipWithError("curl is not installed");
    return;
  }
  for (auto _ : state) {
    if (!curl.Run()) {
      state.SkipWithError("curl failed");
      return;
    }
  }
  SetPerPageCounter(state, static_cast<int>(urls.size()));
  state.SetLabel(site.ServerName());
}

}  // namespace quillmark::bench
