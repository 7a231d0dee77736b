// Replays the saved fuzzing corpus of the feed reader: every input that ever broke it stays a
// test, in every build, without clang.

#include <gtest/gtest.h>

#include "feed_reader_check.h"
#include "support/corpus_files.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kCorpus = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/feed_reader";

class FeedReaderReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(FeedReaderReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckFeedReader(ReadCorpusFile(kCorpus / GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, FeedReaderReplay, ::testing::ValuesIn(CorpusFiles(kCorpus)),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FeedReaderReplay);

}  // namespace
}  // namespace quillmark::testing
