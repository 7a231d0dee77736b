#pragma once
// The links a parsed page holds, as its elements write them: what the crawl follows and where
// a site names its feeds. Every text is UTF-8 with character references decoded; addresses
// are not resolved.

#include <string>
#include <vector>

namespace quillmark {

enum class PageLinkElement { kAnchor, kFrame, kInlineFrame, kLink };

struct PageLink {
  PageLinkElement element = PageLinkElement::kAnchor;
  std::string href;  // the address as written (`src` for frames), references decoded
  std::string rel;   // `rel`, lower-cased (kLink, kAnchor)
  std::string type;  // `type`, lower-cased (kLink)
  std::string text;  // an anchor's text, white space collapsed
};

// Every link of the page in document order, and the page's `<base href>` (empty when none).
struct PageLinks {
  std::string baseHref;
  std::vector<PageLink> links;
};

}  // namespace quillmark
