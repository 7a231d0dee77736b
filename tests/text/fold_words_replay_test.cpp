// Replays the saved fuzzing corpus of the tokenizer and the inflection fold: every input that
// ever broke them stays a test, in every build, without clang.

#include <gtest/gtest.h>

#include "fold_words_check.h"
#include "support/corpus_files.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kCorpus = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/fold_words";

class FoldWordsReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(FoldWordsReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckFoldWords(ReadCorpusFile(kCorpus / GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, FoldWordsReplay, ::testing::ValuesIn(CorpusFiles(kCorpus)),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FoldWordsReplay);

}  // namespace
}  // namespace quillmark::testing
