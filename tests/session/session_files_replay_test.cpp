// Replays the saved fuzzing corpora of the line-file reader and the configuration reader:
// every input that ever broke them stays a test, in every build, without clang.

#include <gtest/gtest.h>

#include "session_files_checks.h"
#include "support/corpus_files.h"
#include "support/temporary_directory.h"

namespace quillmark::testing {
namespace {

const std::string kCorpora = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/";

class LineFileReplay : public ::testing::TestWithParam<std::string> {};
class IniFileReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(LineFileReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckLineFile(ReadCorpusFile(kCorpora + "line_file/" + GetParam())), "");
}

TEST_P(IniFileReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckIniText(ReadCorpusFile(kCorpora + "ini_file/" + GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, LineFileReplay,
                         ::testing::ValuesIn(CorpusFiles(kCorpora + "line_file")), CorpusTestName);
INSTANTIATE_TEST_SUITE_P(Corpus, IniFileReplay,
                         ::testing::ValuesIn(CorpusFiles(kCorpora + "ini_file")), CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LineFileReplay);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(IniFileReplay);

}  // namespace
}  // namespace quillmark::testing
