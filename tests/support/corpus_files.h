#pragma once
// The inputs of a saved fuzzing corpus, for a replay test that runs every one of them in
// every build.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace quillmark::testing {

// The names of the regular files in `directory`, sorted; none when it is missing.
inline std::vector<std::string> CorpusFiles(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  if (!std::filesystem::is_directory(directory)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// `name` with every byte but ASCII letters and digits made '_': a test name.
inline std::string CorpusTestName(std::string name) {
  std::replace_if(
      name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
}

}  // namespace quillmark::testing
