// Replays the saved fuzzing corpus of the page scanner: every input that ever broke it stays
// a test, in every build, without clang.

#include <gtest/gtest.h>

#include <filesystem>

#include "scan_page_pipeline.h"
#include "support/corpus_files.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kCorpus = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/scan_page";

class ScanPageReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(ScanPageReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckScanPagePipeline(ReadCorpusFile(kCorpus / GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, ScanPageReplay, ::testing::ValuesIn(CorpusFiles(kCorpus)),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ScanPageReplay);

}  // namespace
}  // namespace quillmark::testing
