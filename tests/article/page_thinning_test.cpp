#include "article/page_thinning.h"

#include <gtest/gtest.h>

#include <string>

#include "article/article_extractor.h"

namespace quillmark {
namespace {

TEST(ThinPage, TakesOutWhatIsNeverTextAndKeepsTheRest) {
  const struct {
    std::string page;
    std::string thinned;
  } cases[] = {
      {"a<!-- b <p> -->c", "ac"},
      {"a<SCRIPT src=x>if (a<b) x='</p>';</Script >c", "ac"},
      {"<script type=\"application/ld+json\">{}</script>",
       "<script type=\"application/ld+json\">{}</script>"},
      {"<style>p{}</style><svg><path/></svg><noscript><img></noscript>p", "p"},
      {"<p title=\"<script>\">x</p>", "<p title=\"<script>\">x</p>"},
      {"<scripts>kept</scripts><svgx>", "<scripts>kept</scripts><svgx>"},
      {"1 < 2 <script", "1 < 2 "},
      {"a<!-- never closed", "a"},
      {"x<style>never closed", "x"},
  };
  for (const auto& c : cases) {
    std::string page = c.page;
    ThinPage(page);
    EXPECT_EQ(page, c.thinned) << c.page;
  }
}

TEST(ReadPage, APageBeyondTheBoundsIsLeftToTheScanner) {
  std::string dense = "<p>";
  for (std::size_t i = 0; i < kMaxArticlePageTags; ++i) dense += "<b>";
  EXPECT_FALSE(ReadPage(dense, "").has_value());
  dense.resize(dense.size() - 3);
  EXPECT_TRUE(ReadPage(dense, "").has_value());
  // Scripts do not count: they are gone before the tags are.
  EXPECT_TRUE(ReadPage(dense + "<script>" + std::string(1000, '<') + "</script>", "").has_value());
  EXPECT_FALSE(ReadPage(std::string(kMaxArticlePageBytes + 1, 'a'), "").has_value());
  EXPECT_TRUE(ReadPage(std::string(kMaxArticlePageBytes, 'a'), "").has_value());
}

}  // namespace
}  // namespace quillmark
