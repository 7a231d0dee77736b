// Pages served on 127.0.0.1 for the benchmarks that compare our client with curl: by nginx
// when it is installed (started with its own temporary configuration on a free loopback port,
// stopped at the end), else, or with QUILLMARK_FETCH_SERVER=scripted, by the tests' scripted
// server. And the curl process to compare with.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace benchmark {
class State;
}

namespace quillmark::testing {
class ScriptedServer;
}

namespace quillmark::bench {

// The path of the executable `name` in `also` or on PATH; empty when there is none.
std::string FindProgram(const std::string& name, const std::vector<std::string>& also);

// Starts `arguments` (the program's path first) with stdout and stderr going to `output`.
// Returns its process id, or -1 when it could not be started.
pid_t Spawn(const std::vector<std::string>& arguments, const std::string& output);

// How a site is served: plain HTTP, or https with the tests' certificate for 127.0.0.1
// (tests/support/tls; clients must trust its "ca.pem").
enum class Transport { kHttp, kHttps };

class LoopbackSite {
 public:
  // Writes `pages` (path from the root, "/a.html", -> bytes) into a temporary directory named
  // after `name` and the process, and serves them; the scripted server answers 404 for any
  // other path.
  LoopbackSite(const std::string& name, std::map<std::string, std::string> pages,
               Transport transport = Transport::kHttp);
  ~LoopbackSite();
  LoopbackSite(const LoopbackSite&) = delete;
  LoopbackSite& operator=(const LoopbackSite&) = delete;

  // "http://127.0.0.1:<port>" + path, or "https://..." for a kHttps site.
  std::string Url(const std::string& path) const;
  Transport transport() const { return transport_; }
  const std::string& Page(const std::string& path) const { return pages_.at(path); }
  const char* ServerName() const { return nginx_ > 0 ? "nginx" : "scripted server"; }
  const std::filesystem::path& root() const { return root_; }

 private:
  bool StartNginx();
  void StartScriptedServer();

  std::filesystem::path root_;
  std::map<std::string, std::string> pages_;
  Transport transport_;
  std::uint16_t port_ = 0;
  pid_t nginx_ = -1;
  std::unique_ptr<testing::ScriptedServer> scripted_;
};

// One `curl --http1.0` process fetching `urls` one after another (a new connection each) into
// /dev/null, as the benchmarks' yardstick; for a kHttps site it trusts the tests' authority.
class CurlRun {
 public:
  // Writes curl's list of URLs next to the site's pages.
  CurlRun(const LoopbackSite& site, const std::vector<std::string>& urls);
  // Whether curl is installed.
  bool Found() const { return !curl_.empty(); }
  // Runs curl once over all the URLs; false when it could not start or did not succeed.
  bool Run() const;

 private:
  std::string curl_;
  std::filesystem::path config_;
  std::vector<std::string> trust_;  // curl's arguments naming the authority it trusts
};

// Sets the counter "per_page": the time of one iteration divided among its `pages` pages.
void SetPerPageCounter(benchmark::State& state, int pages);

// The yardstick benchmark: one curl process fetches `urls` in each iteration; skips when curl
// is missing or fails. Sets "per_page" and the server's name as the label.
void MeasureCurl(benchmark::State& state, const LoopbackSite& site,
                 const std::vector<std::string>& urls);

}  // namespace quillmark::bench
