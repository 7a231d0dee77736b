#pragma once
// The page scanner: reduces the body of one fetched page to page text and raw links.
//
// It is not an HTML parser but a fixed sequence of text passes, each working on the output of
// the one before, that search for literal, case-sensitive byte patterns. One pass upper-cases
// the letters inside tags (outside double quotes) so that upper-case patterns find tags written
// in any case. No character set is decoded and no input is rejected; nothing is kept from one
// page to the next. Every pass is linear in the length of its text.

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Frame sources, then inline-frame sources, then anchor targets, each exactly as written in
// the page between its double quotes; duplicates kept.
using RawLinkList = std::vector<std::string>;

struct ScannedPage {
  // Mark-up removed; every tag that is not removed without a trace became one '.'.
  // Never holds '<' or '>'.
  std::string text;
  RawLinkList links;
};

// Whether the scanner collects anchor targets: the crawl's IsLevel option.
enum class FollowAnchors { kNo, kYes };

// Scans `body` up to, not including, its first zero byte. Anchor targets ("<A " tags with a
// HREF="..." part) are collected only with FollowAnchors::kYes; frame and inline-frame
// sources always. Never throws except for allocation failure. Takes, beside `body`, one copy
// of it and the page text at most. Keeps its working buffer per thread, as large as the
// largest page it has scanned up to 16 MiB, so that the next page writes into memory that is
// already mapped; what it holds never reaches another call's result.
ScannedPage ScanPage(std::string_view body, FollowAnchors anchors);

// Returns `text` without every block that runs from `open` up to and including the next
// `close` behind it. Blocks do not nest; an `open` with no later `close` drops the rest of
// the text. An empty `open` finds nothing.
std::string RemoveBlocks(std::string_view text, std::string_view open, std::string_view close);

// Returns `text` without every non-overlapping occurrence of `pattern`, found left to right.
// An empty `pattern` finds nothing.
std::string RemoveAll(std::string_view text, std::string_view pattern);

// Appends to `found` the bytes strictly between each `open` and the next `close` behind it
// (an empty value too), searching on behind each `close`. An `open` with no later `close`
// ends the search and yields nothing. An empty `open` finds nothing. `text` is not changed.
void CollectBetween(std::string_view text, std::string_view open, std::string_view close,
                    std::vector<std::string>& found);

// Upper-cases, in place, the letters a-z that stand inside a tag ('<' up to '>') and outside
// double quotes. Double quotes switch the quoted state everywhere, also outside tags, so a
// stray quote in the running text leaves later tags in their written case until the next one.
void UpperCaseTags(std::string& text);

// Returns `text` with every tag removed and `replacement` put for each '>' (also for a '>'
// outside any tag). A '<' with no later '>' drops the rest of the text.
std::string StripTags(std::string_view text, char replacement);

}  // namespace quillmark
