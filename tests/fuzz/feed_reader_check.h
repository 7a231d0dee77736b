#pragma once
// What the feed-reader fuzzer and its replay test run on one input.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Input: one byte (its value modulo 16, plus 1, is how many items are kept), then a feed body,
// read from "http://feeds.example.com/x/rss.xml". Checks the reader's promises: it returns
// (a std::bad_alloc aside, nothing thrown); it keeps no more items than asked; every item has
// an address and its texts stay within their ceilings; the items are newest first (dated
// ones by falling date, then the undated); every date given reads back as itself. The same
// body as robots.txt: "/robots.txt" is always allowed, and any path gets an answer. Returns
// the first broken promise, or "".
std::string CheckFeedReader(std::string_view input);

}  // namespace quillmark::testing
