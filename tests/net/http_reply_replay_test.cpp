// Replays the saved fuzzing corpus of the HTTP response reader: every input that ever broke
// it stays a test, in every build, without clang.

#include <gtest/gtest.h>

#include "http_reply_check.h"
#include "support/corpus_files.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kCorpus = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/http_reply";

class HttpReplyReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(HttpReplyReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckHttpReply(ReadCorpusFile(kCorpus / GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, HttpReplyReplay, ::testing::ValuesIn(CorpusFiles(kCorpus)),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HttpReplyReplay);

}  // namespace
}  // namespace quillmark::testing
