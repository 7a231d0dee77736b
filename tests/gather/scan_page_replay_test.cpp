// Replays the saved fuzzing corpus of the page scanner: every input that ever broke it stays
// a test, in every build, without clang.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scan_page_pipeline.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kCorpus = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/scan_page";

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  if (!std::filesystem::is_directory(kCorpus)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ScanPageReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(ScanPageReplay, KeepsEveryPromise) {
  std::ifstream in(kCorpus / GetParam(), std::ios::binary);
  const std::string body{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(CheckScanPagePipeline(body), "");
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ScanPageReplay, ::testing::ValuesIn(CorpusFiles()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ScanPageReplay);

}  // namespace
}  // namespace quillmark::testing
