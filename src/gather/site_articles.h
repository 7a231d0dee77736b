#pragma once
// Where a site's articles of the day are found in its home page: the feeds its head names,
// else the links of the page that read as articles. Pure functions over PageLinks; the crawl
// fetches what they give.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "article/page_links.h"

namespace quillmark {

// A link text of fewer words is a menu entry or a section name, not a headline.
inline constexpr std::size_t kMinArticleLinkWords = 4;
// A last path segment of this many hyphenated words or more is an article's slug
// ("/world/rain-returns-to-the-valley"); fewer is a section ("/world-news").
inline constexpr std::size_t kMinSlugWords = 3;

// The feeds the page names: every `<link rel="alternate">` whose type is
// application/rss+xml or application/atom+xml, resolved against the page's `<base href>`
// (itself resolved against `pageAddress`) or else `pageAddress`; in page order, each once.
std::vector<std::string> FeedAddresses(const PageLinks& links, std::string_view pageAddress);

// The page's anchors that read as articles, resolved as FeedAddresses does, without their
// fragment: an http or https address on the host of `pageAddress` or on `answeringHost` (the
// host that answered after redirects; may be empty), whose path holds a date ("/2026/12/07/",
// "/20261207/", a date segment may also end the path) or ends in a slug of kMinSlugWords
// hyphenated words or more, and whose text has kMinArticleLinkWords words or more. In page
// order, each address once, the page's own address left out.
std::vector<std::string> ArticleLinks(const PageLinks& links, std::string_view pageAddress,
                                      std::string_view answeringHost = {});

// Whether `address` is a site's home page, which lists headlines rather than being an article:
// its path (before any query or fragment) is empty, "/", or "/index.…" or "/default.…".
bool IsHomePageAddress(std::string_view address);

// The host of an absolute address, lower-cased, without user information or port; empty
// when the address has no "scheme://".
std::string HostOf(std::string_view address);

}  // namespace quillmark
