#pragma once
// The article a news page holds: its headline, its date and its body's paragraphs in reading
// order, without the page's furniture (menus, headers and footers, related stories, share and
// subscription boxes, comment threads, consent banners). A page that holds no article (a home
// page, a section front) gives its headlines instead.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "article/html_tree.h"
#include "article/page_links.h"

namespace quillmark {

struct ArticleText {
  std::string title;  // the headline (og:title, else the first h1, else <title>)
  std::string date;   // the publication date as the page writes it (ISO 8601 mostly), or empty
  // The body's paragraphs, in-body headings, list items and quotations, each one paragraph,
  // white space collapsed; for a page that is no article, its headlines, one a paragraph (or,
  // when it has none, the little text found).
  std::vector<std::string> paragraphs;
  bool isArticle = false;
};

// Finds the article of the parsed page. Throws std::bad_alloc only.
ArticleText ExtractArticle(const HtmlTree& tree);

// Every a, frame, iframe and link element of the page in document order, and <base href>.
PageLinks ReadPageLinks(const HtmlTree& tree);

// What the gathering takes from one fetched page read as an article.
struct PageReading {
  ArticleText article;
  PageLinks links;
};

// The largest page read as an article. A larger one, or one whose reading would take more
// memory than kArticleMemoryShare times the page (and more than kArticleMemoryFloor), is read
// by the page scanner, within one copy of itself. The reading's memory is estimated before
// the parse from the tags left once scripts and styles are gone: the parser's tree costs up to
// kTreeBytesPerTag a tag (measured on pages of bare tags and of short paragraphs), the decoded
// page and the article's text some two copies of the page. The news pages of the corpus stay
// under 4 MB by that estimate; a page of 8 MiB is read when it holds fewer than some 28,000.
inline constexpr std::size_t kMaxArticlePageBytes = std::size_t{8} << 20;
inline constexpr std::size_t kTreeBytesPerTag = 600;
inline constexpr std::size_t kArticleMemoryShare = 4;
inline constexpr std::size_t kArticleMemoryFloor = std::size_t{32} << 20;

// The parse itself is held to the same share by counting the parser's memory as it goes, and
// to a time of kReadingTimeFloor and kReadingTimePerMiB for each MiB of the page: a parse past
// either is abandoned and the page left to the scanner, as one past the estimate.
inline constexpr std::chrono::milliseconds kReadingTimeFloor{5000};
inline constexpr std::chrono::milliseconds kReadingTimePerMiB{1000};

// Whether a page of `pageBytes` whose thinned text holds `tags` tags is read as an article.
bool FitsArticleReading(std::size_t pageBytes, std::size_t tags);

// Decodes `body` to UTF-8 (see page_charset.h), takes out what is never text (page_thinning.h),
// parses it and reads its article and links; nothing for a page past the bounds above, or
// whose parse `stop` ended (asked every few milliseconds of it: a cancel, a signal).
// Throws std::bad_alloc only.
std::optional<PageReading> ReadPage(std::string_view body, std::string_view contentType,
                                    const std::function<bool()>& stop = {});

// The links alone of the page ReadPage would read (a scanned site's feeds), within the same
// bounds: no article is looked for. Throws std::bad_alloc only.
std::optional<PageLinks> ReadLinksOfPage(std::string_view body, std::string_view contentType,
                                         const std::function<bool()>& stop = {});

}  // namespace quillmark
