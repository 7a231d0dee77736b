#pragma once
// What a page holds that the article reading never looks at, taken out before the page is
// parsed: comments, scripts (but the page's structured data), styles, inline SVG and noscript
// blocks. On today's pages they are most of the bytes, and every byte the parser keeps costs
// several in its tree.

#include <cstddef>
#include <string>

namespace quillmark {

// Removes, in place, every comment and every script (but `type="application/ld+json"`),
// style, svg and noscript element with its content. A tag's attributes are read with their
// quotes, so a '<' inside a quoted value starts nothing. An element with no end tag runs to
// the end of the page, as the parser would read it. Linear in the page; allocates nothing.
// A tag keeps at most kMaxAttributesPerTag attributes (the first ones), tags nested deeper
// than kMaxNestingDepth are dropped (their text kept), and an svg element written
// self-closing ("<svg .../>") ends there.
void ThinPage(std::string& utf8);

inline constexpr std::size_t kMaxAttributesPerTag = 256;
// Past this many open elements (start tags without their end, but void elements and those whose
// end is implied, such as p and li), deeper tags are dropped and their text kept.
inline constexpr std::size_t kMaxNestingDepth = 512;

}  // namespace quillmark
