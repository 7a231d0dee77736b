#pragma once
// A site's feed read for its newest articles: RSS 0.9x and 2.0, RSS 1.0 (RDF) and Atom 1.0
// (RFC 4287), told apart by the root element alone, whatever the server called the body.
//
// The parser is expat (libexpat1-dev): a maintained, streaming XML parser that understands
// namespaces, holds nothing of the document it has handed on, guards against entity expansion
// bombs by itself and knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII; Shift_JIS and EUC-JP reach
// it through its unknown-encoding hook, one character at a time through iconv, so the body is
// never copied whole. libxml2's reader would do as well but builds a tree per node and
// validates far more than a feed needs.
//
// A feed costs bounded memory whatever its size: the body is handed to expat in small pieces,
// each text kept from an item has a ceiling, and only the `keep` newest items are held while
// the feed is read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// One article a feed names.
struct FeedItem {
  std::string address;  // resolved against xml:base and the feed's own address
  std::string title;    // UTF-8, white space as the feed has it; may be empty
  // The item's date as "YYYY-MM-DDTHH:MM:SSZ" (UTC), empty when it has none or none we read.
  std::string date;
};

enum class FeedKind { kRss, kRdf, kAtom };

struct Feed {
  FeedKind kind = FeedKind::kRss;
  // Newest first: the dated items by date (a tie keeps the feed's order), then the undated
  // ones in the feed's order. At most the `keep` given to ReadFeed.
  std::vector<FeedItem> items;
  // Whether the body broke off or broke the rules of XML after the root element; the items
  // before the break are kept.
  bool broken = false;
};

// The ceilings of what is kept of one item; longer texts are cut there.
inline constexpr std::size_t kMaxFeedTitleBytes = 1024;
inline constexpr std::size_t kMaxFeedLinkBytes = 4096;
inline constexpr std::size_t kMaxFeedDateBytes = 128;

// Reads `body` as a feed fetched from `address`. Returns nothing when it is not one: its root
// element is not `rss`, RDF's `RDF` or Atom's `feed` (an HTML page, whatever its Content-Type),
// or the body breaks before a root element. The declared encoding is honoured (with none, the
// body is UTF-8 or UTF-16 by its byte-order mark). An item without an address is left out.
// Keeps the `keep` newest items (see Feed::items). Never throws except for allocation failure.
std::optional<Feed> ReadFeed(std::string_view body, std::string_view address, std::size_t keep);

// Whether an answer is a feed rather than a page, before it is read: its `contentType` is
// application/rss+xml, application/atom+xml or application/rdf+xml, or its first element
// (after a byte-order mark, blanks, the XML declaration, processing instructions, comments and
// a document type) is `rss`, `feed` or `rdf:RDF`, in any letter case. Such an answer is read
// with ReadFeed, never as an article.
bool LooksLikeFeed(std::string_view body, std::string_view contentType);

// A feed date as seconds since 1970-01-01 UTC: RFC 822 as RSS writes it ("Mon, 07 Dec 2026
// 10:00:00 +0900", the day name and the seconds optional, a two-digit year, a zone name such
// as GMT or EST) or RFC 3339 as Atom and Dublin Core write it ("2026-12-07T10:00:00Z",
// "2026-12-07T10:00:00.5+09:00", or a bare "2026-12-07"). Nothing for anything else.
std::optional<std::int64_t> FeedDateSeconds(std::string_view text);

// Seconds since 1970-01-01 UTC as "YYYY-MM-DDTHH:MM:SSZ".
std::string IsoDateOf(std::int64_t seconds);

}  // namespace quillmark
