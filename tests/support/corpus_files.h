#pragma once
// The saved corpus of a fuzz target, for the replay test that runs every input of it in
// every build.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quillmark::testing {

// The file names in `directory`, sorted; none when it does not exist.
inline std::vector<std::string> CorpusFiles(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  if (!std::filesystem::is_directory(directory)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline std::string ReadCorpusFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A corpus file name as a test name: every byte but letters and digits becomes '_'.
inline std::string CorpusTestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
}

}  // namespace quillmark::testing
