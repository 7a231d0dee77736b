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
      {"<p class=x'>a</p><script>s</script>b", "<p class=x'>a</p>b"},
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
  // Under the floor, any page; above it, memory within four times the page; never past 8 MiB.
  const std::size_t floorTags = (kArticleMemoryFloor - 2 * 1000) / kTreeBytesPerTag;
  const std::size_t large = 8 << 20, largeTags = (4 * large - 2 * large) / kTreeBytesPerTag;
  const struct {
    std::size_t bytes, tags;
    bool fits;
  } cases[] = {{1000, floorTags, true},         {1000, floorTags + 1, false},
               {large, largeTags, true},        {large, largeTags + 1, false},
               {kMaxArticlePageBytes, 0, true}, {kMaxArticlePageBytes + 1, 0, false}};
  for (const auto& c : cases)
    EXPECT_EQ(FitsArticleReading(c.bytes, c.tags), c.fits) << c.bytes << " " << c.tags;

  std::string dense;
  for (int i = 0; i < 60000; ++i) dense += "<b>";  // 36 MB of tree for 180 KB of page
  EXPECT_FALSE(ReadPage(dense, "").has_value());
  // Scripts do not count: they are gone before the tags are counted.
  EXPECT_TRUE(ReadPage("<p>Text<script>" + dense + "</script>", "").has_value());
  EXPECT_TRUE(ReadPage(std::string(kMaxArticlePageBytes, 'a'), "").has_value());
  EXPECT_FALSE(ReadPage(std::string(kMaxArticlePageBytes + 1, 'a'), "").has_value());
}

}  // namespace
}  // namespace quillmark
