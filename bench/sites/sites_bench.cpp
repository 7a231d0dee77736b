// Start-up with a hosts.dat of 8 MB and of 50 MB: reading the file into the site list, which
// stays sorted ignoring case and free of equal entries. The goal is a time that grows as
// n log n, so 50 MB loads in a few seconds at most.

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>

#include "session/data_files.h"
#include "support/fake_store_files.h"

namespace quillmark {
namespace {

// Addresses of a made-up web: random host and path words in mixed case, with about one line
// in twenty repeating an earlier address in other letter case, CR LF after every line.
std::string MakeHostsFile(std::size_t megabytes) {
  std::mt19937 random(static_cast<unsigned>(megabytes));
  std::uniform_int_distribution<int> letter('a', 'z');
  std::uniform_int_distribution<int> length(3, 12);
  std::uniform_int_distribution<int> percent(0, 99);
  const auto word = [&] {
    std::string w(static_cast<std::size_t>(length(random)), ' ');
    for (char& c : w)
      c = static_cast<char>(percent(random) < 10 ? letter(random) - 0x20 : letter(random));
    return w;
  };
  std::vector<std::string> lines;
  std::string bytes;
  while (bytes.size() < megabytes * 1000 * 1000) {
    std::string line;
    if (!lines.empty() && percent(random) < 5) {
      line = lines[std::uniform_int_distribution<std::size_t>(0, lines.size() - 1)(random)];
      for (char& c : line) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
    } else {
      line = "http://www." + word() + ".example/" + word() + "/";
    }
    bytes += line + "\r\n";
    lines.push_back(std::move(line));
  }
  return bytes;
}

const std::string& HostsFile(std::size_t megabytes) {
  static std::map<std::size_t, std::string> made;
  auto& bytes = made[megabytes];
  if (bytes.empty()) bytes = MakeHostsFile(megabytes);
  return bytes;
}

void BM_LoadHostsFile(benchmark::State& state) {
  testing::FakeStoreFiles files;
  files.files[kHostsFile] = HostsFile(static_cast<std::size_t>(state.range(0)));
  std::size_t sites = 0;
  for (auto _ : state) {
    testing::FakeSettingsFile settings;
    MainStores stores;
    LoadStoresAndConfiguration(stores, files, settings);
    sites = stores.sites.Size();
  }
  state.counters["sites"] = static_cast<double>(sites);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(files.files[kHostsFile].size()));
}
BENCHMARK(BM_LoadHostsFile)->Arg(8)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quillmark
