#include "article/page_thinning.h"

#include <gtest/gtest.h>

#include <optional>
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
      // A self-closing svg ends itself; an open one still runs to its end tag.
      {"<p>a<svg class=\"icon\"/>b</p><svg/>c", "<p>ab</p>c"},
      {"<p>a<svg>b</p><svg/>c</svg>d", "<p>ad"},
  };
  for (const auto& c : cases) {
    std::string page = c.page;
    ThinPage(page);
    EXPECT_EQ(page, c.thinned) << c.page;
  }
}

// Attributes past the cap are cut, whatever their quoting, and the tag keeps its end.
TEST(ThinPage, ATagKeepsItsFirstAttributesOnly) {
  for (const std::string end : {">", "/>"}) {
    for (const std::string attribute : {" a", " b=1", " c='x y>'", " d = \"q\"", "\te=z"}) {
      std::string kept = "<p";
      for (std::size_t i = 0; i < kMaxAttributesPerTag; ++i) kept += attribute;
      std::string page = kept + attribute + attribute + end + "text";
      ThinPage(page);
      EXPECT_EQ(page, kept + end + "text") << attribute << end;
      page = kept + end + "text";  // exactly the cap: nothing cut
      ThinPage(page);
      EXPECT_EQ(page, kept + end + "text") << attribute << end;
    }
  }
}

// Tags nested past the cap are dropped with their end tags, their text kept; elements whose
// end is implied or that hold nothing never count, however many stay open.
TEST(ThinPage, TagsPastTheNestingCapAreDroppedAndTheirTextKept) {
  const auto nested = [](const std::string& open, const std::string& close, std::size_t n) {
    std::string page;
    for (std::size_t i = 0; i < n; ++i) page += open;
    page += "text";
    for (std::size_t i = 0; i < n; ++i) page += close;
    return page;
  };
  std::string page = nested("<div>", "</DIV>", kMaxNestingDepth + 88);
  ThinPage(page);
  EXPECT_EQ(page, nested("<div>", "</DIV>", kMaxNestingDepth));
  for (const std::string open : {"<p>", "<li class=x>", "<br>", "<img src=a>", "<span/>"}) {
    std::string flat;
    for (std::size_t i = 0; i < 2 * kMaxNestingDepth; ++i) flat += open;
    flat += "<b>text</b>";
    const std::string before = flat;
    ThinPage(flat);
    EXPECT_EQ(flat, before) << open;
  }
}

// The shapes whose tree grows far past the page: the parse is held to the bounds and the page
// left to the scanner, or read with each link's text cut short.
TEST(ReadPage, AParsePastItsMemoryOrTimeIsLeftToTheScanner) {
  std::string reopened = "<p>";  // 40 KB: every block reopens the 400 formatting elements
  for (int i = 0; i < 400; ++i) reopened += "<b id=" + std::to_string(i) + ">";
  reopened += "</p>";
  for (int i = 0; i < 3000; ++i) reopened += "<div>x</div>";
  ASSERT_TRUE(FitsArticleReading(reopened.size(), 6401));
  EXPECT_FALSE(ReadPage(reopened, "").has_value());

  std::string nested;  // 8,000 links, each inside the one before: as deep as the cap allows
  for (int i = 0; i < 8000; ++i) nested += "<a href=x>text <object>";
  const std::optional<PageReading> reading = ReadPage(nested, "");
  ASSERT_TRUE(reading.has_value());
  ASSERT_EQ(reading->links.links.size(), kMaxNestingDepth / 2);
  for (const PageLink& link : reading->links.links) ASSERT_LE(link.text.size(), 300u);

  int asked = 0;
  std::string page;
  for (int i = 0; i < 5000; ++i) page += "<p class=c>x</p>";
  EXPECT_TRUE(ReadPage(page, "", [&] { return ++asked > 1000; }).has_value());
  EXPECT_FALSE(ReadPage(page, "", [] { return true; }).has_value());
}

TEST(HtmlTree, AParseAbandonedAtItsBoundLeavesNothingBehind) {
  const std::string page = "<div>" + std::string(20000, 'x') + "</div>";
  EXPECT_THROW(HtmlTree(page, {.memoryBytes = 10000, .stop = {}}), ParseAbandoned);
  EXPECT_NO_THROW(HtmlTree(page, {.memoryBytes = 1 << 20, .stop = {}}));
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
  for (int i = 0; i < 60000; ++i) dense += "<br>";  // 36 MB of tree for 240 KB of page
  EXPECT_FALSE(ReadPage(dense, "").has_value());
  // Scripts do not count: they are gone before the tags are counted.
  EXPECT_TRUE(ReadPage("<p>Text<script>" + dense + "</script>", "").has_value());
  EXPECT_TRUE(ReadPage(std::string(kMaxArticlePageBytes, 'a'), "").has_value());
  EXPECT_FALSE(ReadPage(std::string(kMaxArticlePageBytes + 1, 'a'), "").has_value());
}

}  // namespace
}  // namespace quillmark
