// Replays the saved fuzzing corpora of the article reading and of the JSON-LD reader: every
// input that ever broke them stays a test, in every build, without clang.

#include <gtest/gtest.h>

#include "article_reading_check.h"
#include "support/corpus_files.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kPages = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/read_page";
const std::filesystem::path kDocuments = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/json_ld";

class ReadPageReplay : public ::testing::TestWithParam<std::string> {};
class JsonLdReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(ReadPageReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckReadPage(ReadCorpusFile(kPages / GetParam())), "");
}
TEST_P(JsonLdReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckJsonLd(ReadCorpusFile(kDocuments / GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, ReadPageReplay, ::testing::ValuesIn(CorpusFiles(kPages)),
                         CorpusTestName);
INSTANTIATE_TEST_SUITE_P(Corpus, JsonLdReplay, ::testing::ValuesIn(CorpusFiles(kDocuments)),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReadPageReplay);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(JsonLdReplay);

}  // namespace
}  // namespace quillmark::testing
