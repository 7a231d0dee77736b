// Replays the saved fuzzing corpus of the link resolver: every input that ever broke it stays a
// test, in every build, without clang.

#include <gtest/gtest.h>

#include "link_resolver_check.h"
#include "support/corpus_files.h"

namespace quillmark::testing {
namespace {

const std::filesystem::path kCorpus = QUILLMARK_SOURCE_DIR "/tests/fuzz/corpus/link_resolver";

class LinkResolverReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(LinkResolverReplay, KeepsEveryPromise) {
  EXPECT_EQ(CheckLinkResolver(ReadCorpusFile(kCorpus / GetParam())), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, LinkResolverReplay, ::testing::ValuesIn(CorpusFiles(kCorpus)),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LinkResolverReplay);

}  // namespace
}  // namespace quillmark::testing
