#include "gather/link_resolver.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmark {
namespace {

struct ResolveCase {
  const char* link;
  const char* resolved;
};

// RFC 3986 section 5.4.1 (normal) and 5.4.2 (abnormal), in the RFC's order, against the RFC's
// base "http://a/b/c/d;p?q".
constexpr ResolveCase kRfc3986Examples[] = {
    {"g:h", "g:h"},
    {"g", "http://a/b/c/g"},
    {"./g", "http://a/b/c/g"},
    {"g/", "http://a/b/c/g/"},
    {"/g", "http://a/g"},
    {"//g", "http://g"},
    {"?y", "http://a/b/c/d;p?y"},
    {"g?y", "http://a/b/c/g?y"},
    {"#s", "http://a/b/c/d;p?q#s"},
    {"g#s", "http://a/b/c/g#s"},
    {"g?y#s", "http://a/b/c/g?y#s"},
    {";x", "http://a/b/c/;x"},
    {"g;x", "http://a/b/c/g;x"},
    {"g;x?y#s", "http://a/b/c/g;x?y#s"},
    {"", "http://a/b/c/d;p?q"},
    {".", "http://a/b/c/"},
    {"./", "http://a/b/c/"},
    {"..", "http://a/b/"},
    {"../", "http://a/b/"},
    {"../g", "http://a/b/g"},
    {"../..", "http://a/"},
    {"../../", "http://a/"},
    {"../../g", "http://a/g"},
    // abnormal
    {"../../../g", "http://a/g"},
    {"../../../../g", "http://a/g"},
    {"/./g", "http://a/g"},
    {"/../g", "http://a/g"},
    {"g.", "http://a/b/c/g."},
    {".g", "http://a/b/c/.g"},
    {"g..", "http://a/b/c/g.."},
    {"..g", "http://a/b/c/..g"},
    {"./../g", "http://a/b/g"},
    {"./g/.", "http://a/b/c/g/"},
    {"g/./h", "http://a/b/c/g/h"},
    {"g/../h", "http://a/b/c/h"},
    {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
    {"g;x=1/../y", "http://a/b/c/y"},
    {"g?y/./x", "http://a/b/c/g?y/./x"},
    {"g?y/../x", "http://a/b/c/g?y/../x"},
    {"g#s/./x", "http://a/b/c/g#s/./x"},
    {"g#s/../x", "http://a/b/c/g#s/../x"},
    {"http:g", "http:g"},  // the strict reading
};

TEST(ResolveLink, GivesEveryResultOfTheRfc3986Examples) {
  for (const ResolveCase& example : kRfc3986Examples) {
    EXPECT_EQ(ResolveLink("http://a/b/c/d;p?q", example.link), example.resolved)
        << "link '" << example.link << "'";
  }
}

// Links as real pages write them, against a page URL of the kind the crawl holds.
TEST(ResolveLink, TakesSpacesRawBytesAndPercentSignsAsTheyAre) {
  const std::string page = "http://news.example/world/index.html";
  const ResolveCase cases[] = {
      {"a story.html", "http://news.example/world/a story.html"},
      // Shift-JIS "日本" (0x93 0xFA 0x96 0x7B): raw bytes stay raw, never percent-encoded.
      {"\x93\xfa\x96\x7b.html", "http://news.example/world/\x93\xfa\x96\x7b.html"},
      {"100%.html", "http://news.example/world/100%.html"},
      {"a%20b.html", "http://news.example/world/a%20b.html"},
      {"../sports/?id=1&x=2", "http://news.example/sports/?id=1&x=2"},
      {"#top", "http://news.example/world/index.html#top"},
      {"story.html?id=1#p2", "http://news.example/world/story.html?id=1#p2"},
      {"//other.example/a.html", "http://other.example/a.html"},
      {"//other.example", "http://other.example"},
      {"HTTP://Other.Example/A.html", "HTTP://Other.Example/A.html"},
      {"https://other.example/../a.html", "https://other.example/a.html"},
  };
  for (const ResolveCase& link : cases) {
    EXPECT_EQ(ResolveLink(page, link.link), link.resolved) << "link '" << link.link << "'";
  }
  // A site-list address with no path merges as if its path were "/".
  EXPECT_EQ(ResolveLink("http://news.example", "a.html"), "http://news.example/a.html");
}

TEST(ResolveLink, RefusesAResultLongerThanTenThousandBytes) {
  const std::string base = "http://a/";  // 9 bytes
  const std::string fits(kMaxResolvedUrlBytes - base.size(), 'x');
  EXPECT_EQ(ResolveLink(base, fits), base + fits);
  EXPECT_EQ(ResolveLink(base, fits + "y"), std::nullopt);
  // The bound is on the result: a long link that dot segments shorten is taken.
  std::string climbing;
  for (int i = 0; i < 5000; ++i) climbing += "../";
  EXPECT_EQ(ResolveLink(base, climbing + "g"), "http://a/g");
}

TEST(ExtensionOf, TakesTheLastDotFromTheSecondByteOn) {
  const ResolveCase cases[] = {
      {"http://a/b/story.html", ".html"},
      {"http://a/b/story.html?id=1", ".html?id=1"},
      {"http://a/b.c/archive", ".c/archive"},
      {"http://a/b/", ""},
      {"x.", "."},
      {".html", ""},  // a dot in the very first position is not found
      {"", ""},
  };
  for (const ResolveCase& url : cases) {
    EXPECT_EQ(ExtensionOf(url.link), url.resolved) << "url '" << url.link << "'";
  }
}

}  // namespace
}  // namespace quillmark
