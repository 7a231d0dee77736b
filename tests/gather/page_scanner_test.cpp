#include "gather/page_scanner.h"

#include "plain_page_scanner.h"
#include "scan_page_pipeline.h"
#include "support/memory_ceiling.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace quillmark {
namespace {

using namespace std::string_literals;
using Links = RawLinkList;

// --- the passes on their own -------------------------------------------------------------

TEST(RemoveBlocks, DropsEachBlockWithBothPatternsAndAnUnclosedOneCutsTheRest) {
  EXPECT_EQ(RemoveBlocks("a<!-- x -->b<!--y-->c", "<!--", "-->"), "abc");
  EXPECT_EQ(RemoveBlocks("a<!-- x", "<!--", "-->"), "a");
  EXPECT_EQ(RemoveBlocks("no block", "<!--", "-->"), "no block");
  // Blocks do not nest: the first close ends the block.
  EXPECT_EQ(RemoveBlocks("<!--<!--x-->y-->z", "<!--", "-->"), "y-->z");
  // The close is searched behind the open, so they cannot share bytes.
  EXPECT_EQ(RemoveBlocks("<!-->x-->y", "<!--", "-->"), "y");
  EXPECT_EQ(RemoveBlocks("", "<", ">"), "");
}

TEST(RemoveAll, RemovesNonOverlappingOccurrencesLeftToRight) {
  EXPECT_EQ(RemoveAll("a&nbsp;b&nbsp;&nbsp;c", "&nbsp;"), "abc");
  EXPECT_EQ(RemoveAll("aaa", "aa"), "a");
  // Removal does not join the pieces into a new occurrence that is then removed.
  EXPECT_EQ(RemoveAll("<<B>B>", "<B>"), "<B>");
  EXPECT_EQ(RemoveAll("x", ""), "x");
}

TEST(CollectBetween, AppendsEveryValueIncludingEmptyOnesAndStopsAtAnUnclosedOpen) {
  std::vector<std::string> found{"kept"};
  CollectBetween("SRC=\"a\" SRC=\"\" SRC=\"b", "SRC=\"", "\"", found);
  EXPECT_EQ(found, (std::vector<std::string>{"kept", "a", ""}));
}

TEST(UpperCaseTags, RaisesLettersInsideTagsOutsideQuotes) {
  std::string text = "<a href=\"News.html\" class=x>Read</a>";
  UpperCaseTags(text);
  EXPECT_EQ(text, "<A HREF=\"News.html\" CLASS=X>Read</A>");
}

TEST(UpperCaseTags, QuotesSwitchAlsoInRunningTextAndBytesAboveAsciiStay) {
  std::string text = "say \"hi <b>\" <i> now\xe0<p>";
  UpperCaseTags(text);
  EXPECT_EQ(text, "say \"hi <b>\" <I> now\xe0<P>");

  std::string stray = "a \" b <p>x</p> \" <p>";
  UpperCaseTags(stray);
  EXPECT_EQ(stray, "a \" b <p>x</p> \" <P>");

  // '<' inside a tag changes nothing; '>' ends the tag even inside a quoted part.
  std::string nested = "<a<b>c<d \"e>f\" g>h";
  UpperCaseTags(nested);
  EXPECT_EQ(nested, "<A<B>c<D \"e>f\" g>h");
}

TEST(StripTags, EveryClosingBracketBecomesTheReplacementAndAnOpenTagCutsTheRest) {
  EXPECT_EQ(StripTags("<p>Hi<br>there</p>", '.'), ".Hi.there.");
  EXPECT_EQ(StripTags("a > b", '.'), "a . b");
  EXPECT_EQ(StripTags("<a<b>c", '.'), ".c");
  EXPECT_EQ(StripTags("keep <this", '.'), "keep ");
  EXPECT_EQ(StripTags("plain", '.'), "plain");
}

// The strides decide what to keep 64 bytes at a time; a tag may open in one stride and close
// several strides later, or never.
TEST(StripTags, AgreesWithAPlainLoopAcrossStrides) {
  std::mt19937 random(13);
  const std::string alphabet = "<>>ab \x80";
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 300, 'x');
    const unsigned density = 1 + random() % 40;  // from every byte a mark to a few per stride
    for (char& c : text) {
      if (random() % density == 0) c = alphabet[random() % alphabet.size()];
    }
    std::string expected;
    bool inTag = false;
    for (char c : text) {
      if (c == '>') {
        expected += '#';
        inTag = false;
      } else if (c == '<') {
        inTag = true;
      } else if (!inTag) {
        expected += c;
      }
    }
    ASSERT_EQ(StripTags(text, '#'), expected) << text;
  }
}

// --- the whole scanner -------------------------------------------------------------------

TEST(ScanPage, HeadBoldAndParagraphPage) {
  const ScannedPage page = ScanPage(
      "<html><head><title>T</title></head><body><p>Hello <b>big</b> world.</p></body></html>",
      FollowAnchors::kNo);
  EXPECT_EQ(page.text, "...Hello big world....");
  EXPECT_TRUE(page.links.empty());
}

TEST(ScanPage, AnchorTargetsOnlyWithIsLevel) {
  const std::string body = "<a href=\"News.html\">Read</a>";
  const ScannedPage following = ScanPage(body, FollowAnchors::kYes);
  EXPECT_EQ(following.links, (Links{"News.html"}));
  EXPECT_EQ(following.text, "Read");
  const ScannedPage notFollowing = ScanPage(body, FollowAnchors::kNo);
  EXPECT_TRUE(notFollowing.links.empty());
  EXPECT_EQ(notFollowing.text, "Read");
}

TEST(ScanPage, FrameSourcesComeFirstFramesBeforeInlineFramesAndTheFramesetGoes) {
  for (FollowAnchors anchors : {FollowAnchors::kNo, FollowAnchors::kYes}) {
    const ScannedPage frameset = ScanPage(
        "<frameset rows=2><frame src=\"left.htm\"><frame src=\"right.htm\"></frameset>", anchors);
    EXPECT_EQ(frameset.links, (Links{"left.htm", "right.htm"}));
    EXPECT_EQ(frameset.text, "");
  }
  EXPECT_EQ(
      ScanPage("<iframe src=\"a.htm\"></iframe><frame src=\"b.htm\">", FollowAnchors::kNo).links,
      (Links{"b.htm", "a.htm"}));
  EXPECT_EQ(ScanPage("<a href=\"x\">y</a><frame src=\"f\">", FollowAnchors::kYes).links,
            (Links{"f", "x"}));
}

TEST(ScanPage, LinksKeepTheirBytesAndOnlyTheExactAttributeFormIsRecognised) {
  const ScannedPage page = ScanPage(
      "<a href=\"/Path?a=1&amp;b\">1</a><a href='single'>2</a><a href = \"spaced\">3</a>"
      "<a\nhref=\"newline\">4</a><a href=\"dup\">5</a><a href=\"dup\">6</a>",
      FollowAnchors::kYes);
  EXPECT_EQ(page.links, (Links{"/Path?a=1&amp;b", "dup", "dup"}));
  // Only the anchor with a line break after 'A' is left to end a sentence.
  EXPECT_EQ(page.text, "123.456");
}

TEST(ScanPage, ScriptIsRemovedWholeWhateverItHolds) {
  EXPECT_EQ(ScanPage("<script>var s=\"<p>\";</script>Text", FollowAnchors::kNo).text, "Text");
}

TEST(ScanPage, StrayQuoteBeforeTheHeadKeepsItsTagsInLowerCase) {
  const ScannedPage page =
      ScanPage("He said \"hi <head><title>Title</title></head><p>Body", FollowAnchors::kNo);
  EXPECT_EQ(page.text, "He said \"hi ..Title...Body");
}

TEST(ScanPage, UnterminatedCommentHeadOrTagCutsTheRest) {
  EXPECT_EQ(ScanPage("<!-- a <b> -->x", FollowAnchors::kNo).text, "x");
  EXPECT_EQ(ScanPage("before<!-- never closed <p>after", FollowAnchors::kNo).text, "before");
  EXPECT_EQ(ScanPage("<head><title>T</title><p>Body", FollowAnchors::kNo).text, "");
  EXPECT_EQ(ScanPage("One <img src=x Two", FollowAnchors::kNo).text, "One ");
  EXPECT_EQ(ScanPage("One <p Two", FollowAnchors::kNo).text, "One ");
  // An unterminated anchor or frame tag gives no link.
  EXPECT_TRUE(ScanPage("<a href=\"x\" <frame src=\"y\"", FollowAnchors::kYes).links.empty());
}

TEST(ScanPage, TheHeadPatternIsAWholeTagNameSoHeaderAndHeadingKeepThePage) {
  const struct {
    const char* page;
    const char* text;
  } cases[] = {
      {"<header>Menu</header><p>Body", ".Menu..Body"},
      {"<HEADER class=x>Menu</HEADER>Body", ".Menu.Body"},
      {"<headline>Big</headline>Body", ".Big.Body"},
      {"<head>T</head><header>M</header>B", ".M.B"},
      {"<head\n>T</head>B", "B"},
      {"<head/>x</head>B", "B"},
      {"x<head", "x"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ScanPage(c.page, FollowAnchors::kNo).text, c.text) << c.page;
}

TEST(ScanPage, OnlyThreeEntitiesVanish) {
  EXPECT_EQ(ScanPage("AT&amp;T&nbsp;Inc", FollowAnchors::kNo).text, "AT&amp;TInc");
  EXPECT_EQ(ScanPage("1 &lt; 2 &gt; 0 &quot;q&quot; &#65;", FollowAnchors::kNo).text,
            "1  2  0 &quot;q&quot; &#65;");
}

TEST(ScanPage, RemovedInlineTagsLeaveNothingBehind) {
  EXPECT_EQ(ScanPage("a<i>b</i><u>c</u><font size=2>d</font><IMG SRC=\"e\">f<span>g</span>",
                     FollowAnchors::kNo)
                .text,
            "abcdf.g.");
  // "<FRAME>" without attributes is not a frame tag for the link search.
  EXPECT_TRUE(ScanPage("<frame>", FollowAnchors::kYes).links.empty());
}

TEST(ScanPage, OnlyTheBytesBeforeTheFirstZeroByteAreScanned) {
  const std::string body = "<p>Before\0<a href=\"x\">After</a>"s;
  const ScannedPage page = ScanPage(body, FollowAnchors::kYes);
  EXPECT_EQ(page.text, ".Before");
  EXPECT_TRUE(page.links.empty());
}

TEST(ScanPage, APageWithoutTagsLosesOnlyTheThreeEntitiesAndItsClosingBrackets) {
  EXPECT_EQ(ScanPage("a&nbsp;b &lt;c&gt; d > e &amp;", FollowAnchors::kYes).text,
            "ab c d . e &amp;");
}

TEST(ScanPage, BytesAboveAsciiAndLineBreaksPassThrough) {
  EXPECT_EQ(ScanPage("\x82\xa0\r\n<p>\x93\xfa\t", FollowAnchors::kNo).text,
            "\x82\xa0\r\n.\x93\xfa\t");
}

// The scanner keeps its working buffer from one page to the next but gives back one an
// outsized page grew; either way no byte of one page reaches another's text.
TEST(ScanPage, AnOutsizedPageIsScannedWholeAndTheNextPageStandsAlone) {
  const std::string filler(std::size_t{17} << 20, 'y');
  EXPECT_EQ(ScanPage("<b>Hi</b>" + filler + "<p>end", FollowAnchors::kNo).text,
            "Hi" + filler + ".end");
  EXPECT_EQ(ScanPage("<p>ok", FollowAnchors::kNo).text, ".ok");
  EXPECT_EQ(ScanPage("", FollowAnchors::kNo).text, "");
}

// A large page takes, beside itself, one copy of it and its text: the passes compact one
// buffer instead of writing each into a fresh one.
TEST(ScanPage, ALargePageNeedsOneCopyOfItselfAndItsText) {
  if (!testing::kAddressSpaceCanBeCapped) GTEST_SKIP() << "no address-space ceiling here";
  constexpr std::size_t kUnits = std::size_t{4} << 20;
  std::string page;
  page.reserve(8 * kUnits);
  for (std::size_t i = 0; i < kUnits; ++i) page += "<p>x</p>";
  EXPECT_EXIT(
      {
        if (!testing::CapAddressSpaceGrowth(page.size() * 7 / 4)) std::_Exit(2);
        const std::string text = ScanPage(page, FollowAnchors::kNo).text;
        std::_Exit(text.size() == 3 * kUnits && text.starts_with(".x..x.") &&
                           text.find_first_not_of(".x") == std::string::npos
                       ? 0
                       : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// The fast passes work on 64-byte strides and jump between marks; pages made of few distinct
// bytes put tags, quotes and patterns on every boundary.
TEST(ScanPage, AgreesWithThePlainScannerOnDensePages) {
  std::mt19937 random(3);
  const std::vector<std::string> pieces = {"<",
                                           ">",
                                           "\"",
                                           "a",
                                           "b",
                                           " ",
                                           "<a ",
                                           "<b>",
                                           "</b>",
                                           "&nbsp;",
                                           "<!--",
                                           "-->",
                                           "i",
                                           "/",
                                           "\0"s,
                                           "href=\"",
                                           "<head",
                                           "/head>",
                                           std::string(70, 'x'),
                                           std::string(130, 'y')};  // tags across strides
  for (int round = 0; round < 3000; ++round) {
    std::string body;
    const std::size_t pieceCount = random() % 120;
    for (std::size_t n = 0; n < pieceCount; ++n) body += pieces[random() % pieces.size()];
    for (FollowAnchors anchors : {FollowAnchors::kNo, FollowAnchors::kYes}) {
      const ScannedPage fast = ScanPage(body, anchors);
      const ScannedPage plain = testing::PlainScanPage(body, anchors);
      ASSERT_EQ(fast.text, plain.text) << body;
      ASSERT_EQ(fast.links, plain.links) << body;
    }
  }
}

// Where no '<' starts a tag name or an end tag, one search stands in for all the tag passes;
// the stray and empty tags must still each end a sentence, also after a page with tags.
TEST(ScanPage, StrayAndEmptyTagsAloneAgreeWithThePlainScanner) {
  EXPECT_EQ(ScanPage("a < b > c <> d <<> e <1> f <!x> g", FollowAnchors::kYes).text,
            "a . c . d . e . f . g");
  std::mt19937 random(9);
  const std::vector<std::string> pieces = {"<", ">", "<>", " ", "\"", "1", "!", "&lt;", "&gt;"};
  for (int round = 0; round < 2000; ++round) {
    std::string body;
    const std::size_t pieceCount = random() % 200;
    for (std::size_t n = 0; n < pieceCount; ++n) body += pieces[random() % pieces.size()];
    if (round % 2 == 0) ScanPage("<b>" + std::string(300, 'z') + "</b>", FollowAnchors::kYes);
    ASSERT_EQ(ScanPage(body, FollowAnchors::kYes).text,
              testing::PlainScanPage(body, FollowAnchors::kYes).text)
        << body;
  }
}

// --- every page of the shared corpus -------------------------------------------------------

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Besides the invariants below, the pipeline check compares each page with the plain scanner
// and runs the sentence store and the finder on its text.
TEST(ScanPageOnCorpus, PageTextHoldsNoAngleBracketAndLinksNoQuote) {
  const std::filesystem::path pages = QUILLMARK_SHARED_DIR "/corpus/pages";
  if (!std::filesystem::is_directory(pages)) GTEST_SKIP() << "no corpus at " << pages;
  int scanned = 0;
  std::size_t linkCount = 0;
  for (const auto& entry : std::filesystem::directory_iterator(pages)) {
    const std::string body = ReadFile(entry.path());
    EXPECT_EQ(testing::CheckScanPagePipeline(body), "") << entry.path();
    for (FollowAnchors anchors : {FollowAnchors::kNo, FollowAnchors::kYes}) {
      const ScannedPage page = ScanPage(body, anchors);
      SCOPED_TRACE(entry.path().filename().string());
      EXPECT_EQ(page.text.find_first_of("<>"), std::string::npos);
      EXPECT_EQ(page.text.find('\0'), std::string::npos);
      EXPECT_LE(page.text.size(), body.size());
      for (const std::string& link : page.links) EXPECT_EQ(link.find('"'), std::string::npos);
      if (anchors == FollowAnchors::kYes) linkCount += page.links.size();
    }
    ++scanned;
  }
  EXPECT_GT(scanned, 0);
  EXPECT_GT(linkCount, 0u);  // news pages are full of anchors
}

}  // namespace
}  // namespace quillmark
