// Where a site's articles are found: the feeds a home page names, the links that read as
// articles, and robots.txt's longest match.
#include "gather/site_articles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "gather/robots_rules.h"

namespace quillmark {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

PageLink Link(const char* rel, const char* type, const char* href) {
  return {PageLinkElement::kLink, href, rel, type, ""};
}
PageLink Anchor(const char* href, const char* text) {
  return {PageLinkElement::kAnchor, href, "", "", text};
}

TEST(FeedAddressesTest, TakesTheAlternateRssAndAtomLinksResolvedOnce) {
  PageLinks page;
  page.links = {
      Link("stylesheet", "text/css", "/s.css"),
      Link("alternate", "application/rss+xml", "/rss.xml"),
      Link("alternate", "text/html", "/en/"),
      Link("alternate nofollow", "application/atom+xml", "atom.xml"),
      Link("alternate", "application/rss+xml", "http://www.example.com/rss.xml#top"),
      Link("alternate", "application/json", "/feed.json"),
      Link("", "application/rss+xml", "/no-rel.xml"),
      Link("alternate", "application/rss+xml", ""),
      {PageLinkElement::kAnchor, "/anchor.xml", "alternate", "application/rss+xml", "Feed"},
  };
  EXPECT_THAT(
      FeedAddresses(page, "http://www.example.com/news/"),
      ElementsAre("http://www.example.com/rss.xml", "http://www.example.com/news/atom.xml"));
  page.baseHref = "http://feeds.example.com/x/";
  EXPECT_THAT(FeedAddresses(page, "http://www.example.com/news/"),
              ElementsAre("http://feeds.example.com/rss.xml", "http://feeds.example.com/x/atom.xml",
                          "http://www.example.com/rss.xml"));
}

TEST(ArticleLinksTest, ChoosesSameHostLinksWithADateOrSlugAndAHeadline) {
  PageLinks page;
  page.links = {
      Anchor("/2026/12/07/rain.html", "Rain returns to the valley"),               // a date path
      Anchor("/world/20261207/story", "Talks resume in the capital"),              // a compact date
      Anchor("/world/why-the-river-rose", "Why the river rose again"),             // a slug
      Anchor("/world/why-the-river-rose#comments", "Read the comments here now"),  // once
      Anchor("/world/river-news", "All the river news today"),  // two words: a section
      Anchor("/2026/12/07/short.html", "Rain returns"),         // a short text: a menu
      Anchor("/2026/12/05/hills", "Rain in the hills"),         // four words: a headline
      Anchor("http://other.example.com/2026/12/07/x", "Rain on another host today"),
      Anchor("https://WWW.Example.com/2026/12/06/older", "Yesterday's rain in the valley"),
      Anchor("/2026/13/07/bad-month", "A month that is not one"),  // nor a slug
      Anchor("/2026/13/07/", "A month that is not one"),           // no date, no slug
      Anchor("/tag/x/20261340/", "A date that is not one at all"),
      Anchor("mailto:desk@example.com", "Write to the news desk"),
      Anchor("/world/why-the-river-rose?page=2", "Why the river rose, page two"),
      Anchor("//cdn.example.net/2026/12/07/x", "A picture from a different host"),
      Anchor("/2026/12/07", "The whole day in one place"),  // a date that ends the path
  };
  page.links.push_back(
      {PageLinkElement::kLink, "/2026/12/07/linked", "", "", "Not an anchor at all"});
  EXPECT_THAT(ArticleLinks(page, "http://www.example.com/"),
              ElementsAre("http://www.example.com/2026/12/07/rain.html",
                          "http://www.example.com/world/20261207/story",
                          "http://www.example.com/world/why-the-river-rose",
                          "http://www.example.com/2026/12/05/hills",
                          "https://WWW.Example.com/2026/12/06/older",
                          "http://www.example.com/world/why-the-river-rose?page=2",
                          "http://www.example.com/2026/12/07"));
}

TEST(ArticleLinksTest, TakesTheHostThatAnsweredAfterARedirect) {
  PageLinks page;
  page.links = {Anchor("https://www.example.com/2026/12/07/a", "Rain returns to the valley"),
                Anchor("https://example.com/2026/12/07/b", "Rain returns to the hills")};
  EXPECT_THAT(
      ArticleLinks(page, "http://example.com/", "www.example.com"),
      ElementsAre("https://www.example.com/2026/12/07/a", "https://example.com/2026/12/07/b"));
  page.baseHref = "https://www.example.com/en/";
  page.links = {Anchor("2026/12/07/c", "Rain returns to the coast")};
  EXPECT_THAT(ArticleLinks(page, "http://www.example.com/"),
              ElementsAre("https://www.example.com/en/2026/12/07/c"));
}

struct RobotsCase {
  const char* path;
  bool allowed;
};

TEST(RobotsRulesTest, LongestMatchWinsInOurGroupOrElseTheStarGroup) {
  const RobotsRules ours = RobotsRules::Parse(
      "# comment\r\n"
      "User-agent: *\r\n"
      "Disallow: /\r\n"
      "\r\n"
      "User-agent: otherbot\r\n"
      "User-agent: Quillmark/2.0\r\n"
      "Disallow: /news/\r\n"
      "Allow: /news/public/   # open\r\n"
      "Disallow: /*.pdf$\r\n"
      "Disallow: /tmp\r\n"
      "Allow: /tmp\r\n"
      "Sitemap: http://x/sitemap.xml\r\n"
      "user-agent: QUILLMARK\n"
      "disallow: /private*/draft\n"
      "disallow: /x*y*z$\n");
  const RobotsCase cases[] = {
      {"/", true},  // our group, not the star group
      {"/news/", false},
      {"/news/public/a", true},  // the longer Allow
      {"/news/publicity", false},
      {"/files/a.pdf", false},
      {"/files/a.pdf?x", true},        // '$' anchors at the end
      {"/tmp/x", true},                // a tie: Allow wins
      {"/private-area/draft", false},  // merged second group of ours, '*' in the middle
      {"/private/drafts", false},
      {"/privat/draft", true},
      {"/x1y2z", false},  // two stars, anchored
      {"/xyzz", false},
      {"/x1z2y", true},
      {"/x1y2z3", true},
  };
  for (const RobotsCase& c : cases) EXPECT_EQ(ours.Allows(c.path), c.allowed) << c.path;

  const RobotsRules star = RobotsRules::Parse(
      "User-agent: otherbot\nDisallow:\n\nUser-agent: *\nDisallow: /\nAllow: /$\n");
  EXPECT_TRUE(star.Allows("/"));
  EXPECT_FALSE(star.Allows("/2026/12/07/a"));
  EXPECT_TRUE(star.Allows("/robots.txt"));

  const RobotsRules none = RobotsRules::Parse("User-agent: otherbot\nDisallow: /\n");
  EXPECT_TRUE(none.Allows("/anything"));
  EXPECT_TRUE(RobotsRules().Allows("/anything"));
  EXPECT_FALSE(RobotsRules::Parse("User-agent: *\nDisallow: /\n").Allows("/a"));
  // Consecutive User-agent lines share the rules that follow them.
  EXPECT_FALSE(RobotsRules::Parse("User-agent: quillmark\nUser-agent: otherbot\nDisallow: /\n")
                   .Allows("/a"));
  // An empty Disallow allows all; a rule before any User-agent line belongs to no group.
  EXPECT_TRUE(RobotsRules::Parse("Disallow: /\nUser-agent: *\nDisallow:\n").Allows("/a"));
}

TEST(RobotsRulesTest, SplitsAnAddressIntoOriginAndPath) {
  const std::pair<const char*, AddressOrigin> cases[] = {
      {"http://a.example:8080/x/y?z=1#f", {"http://a.example:8080", "/x/y?z=1"}},
      {"https://a.example", {"https://a.example", "/"}},
      {"http://a.example?q", {"http://a.example", "/?q"}},
  };
  for (const auto& [address, expected] : cases) {
    const AddressOrigin split = SplitOrigin(address);
    EXPECT_EQ(split.origin, expected.origin) << address;
    EXPECT_EQ(split.path, expected.path) << address;
  }
  EXPECT_EQ(HostOf("https://user@WWW.Example.com:8443/x"), "www.example.com");
}

}  // namespace
}  // namespace quillmark
