#include "gather/page_scanner.h"

#include <cstring>

#include "gather/byte_search.h"

namespace quillmark {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// The passes below write into a second buffer instead of erasing in place, so each costs one
// walk over its text whatever it removes. They return false, leaving `out` alone, when the
// text would come back unchanged: ScanPage then keeps its buffer and copies nothing.

bool RemoveBlocksInto(std::string_view text, std::string_view open, std::string_view close,
                      std::string& out) {
  if (open.empty()) return false;
  std::size_t openAt = FindPattern(text, open, 0);
  if (openAt == kNotFound) return false;
  out.clear();
  std::size_t p = 0;
  while (openAt != kNotFound) {
    out.append(text, p, openAt - p);
    const std::size_t closeAt = FindPattern(text, close, openAt + open.size());
    if (closeAt == kNotFound) return true;  // an unclosed block cuts the rest
    p = closeAt + close.size();
    openAt = FindPattern(text, open, p);
  }
  out.append(text, p);
  return true;
}

bool RemoveAllInto(std::string_view text, std::string_view pattern, std::string& out) {
  if (pattern.empty()) return false;
  std::size_t at = FindPattern(text, pattern, 0);
  if (at == kNotFound) return false;
  out.clear();
  std::size_t p = 0;
  while (at != kNotFound) {
    out.append(text, p, at - p);
    p = at + pattern.size();
    at = FindPattern(text, pattern, p);
  }
  out.append(text, p);
  return true;
}

bool StripTagsInto(std::string_view text, char replacement, std::string& out) {
  std::size_t markAt = FindEitherByte(text, '<', '>', 0);
  if (markAt == kNotFound) return false;
  out.clear();
  std::size_t p = 0;
  while (markAt != kNotFound) {
    out.append(text, p, markAt - p);
    std::size_t tagEnd = markAt;
    if (text[markAt] == '<') {
      // Inside a tag only '>' counts; a further '<' is dropped like any other byte.
      tagEnd = FindPattern(text, ">", markAt + 1);
      if (tagEnd == kNotFound) return true;  // an unclosed tag cuts the rest
    }
    out.push_back(replacement);
    p = tagEnd + 1;
    markAt = FindEitherByte(text, '<', '>', p);
  }
  out.append(text, p);
  return true;
}

// Runs the passes of ScanPage on one page, each on the output of the one before.
class PagePasses {
 public:
  explicit PagePasses(std::string_view body) : page_(body.substr(0, body.find('\0'))) {}

  void RemoveBlocks(std::string_view open, std::string_view close) {
    if (RemoveBlocksInto(page_, open, close, spare_)) page_.swap(spare_);
  }
  void RemoveAll(std::string_view pattern) {
    if (RemoveAllInto(page_, pattern, spare_)) page_.swap(spare_);
  }
  void StripTags(char replacement) {
    if (StripTagsInto(page_, replacement, spare_)) page_.swap(spare_);
  }
  void UpperCaseTags() { quillmark::UpperCaseTags(page_); }

  std::string_view page() const { return page_; }
  std::string TakePage() { return std::move(page_); }

 private:
  std::string page_;
  std::string spare_;
};

// Appends, for each tag inside in `tags`, the value of its `attribute` ("SRC=\"") as written.
void CollectQuotedValues(const std::vector<std::string>& tags, std::string_view attribute,
                         RawLinkList& links) {
  for (const std::string& tag : tags) CollectBetween(tag, attribute, "\"", links);
}

RawLinkList CollectLinks(std::string_view page, bool isLevel) {
  RawLinkList links;
  std::vector<std::string> frames;
  CollectBetween(page, "<FRAME ", ">", frames);
  CollectBetween(page, "<IFRAME ", ">", frames);
  CollectQuotedValues(frames, "SRC=\"", links);
  if (isLevel) {
    std::vector<std::string> anchors;
    CollectBetween(page, "<A ", ">", anchors);
    CollectQuotedValues(anchors, "HREF=\"", links);
  }
  return links;
}

}  // namespace

std::string RemoveBlocks(std::string_view text, std::string_view open, std::string_view close) {
  std::string out;
  if (!RemoveBlocksInto(text, open, close, out)) out.assign(text);
  return out;
}

std::string RemoveAll(std::string_view text, std::string_view pattern) {
  std::string out;
  if (!RemoveAllInto(text, pattern, out)) out.assign(text);
  return out;
}

std::string StripTags(std::string_view text, char replacement) {
  std::string out;
  if (!StripTagsInto(text, replacement, out)) out.assign(text);
  return out;
}

void CollectBetween(std::string_view text, std::string_view open, std::string_view close,
                    std::vector<std::string>& found) {
  if (open.empty()) return;
  std::size_t openAt = FindPattern(text, open, 0);
  while (openAt != kNotFound) {
    const std::size_t valueAt = openAt + open.size();
    const std::size_t closeAt = FindPattern(text, close, valueAt);
    if (closeAt == kNotFound) return;
    found.emplace_back(text.substr(valueAt, closeAt - valueAt));
    openAt = FindPattern(text, open, closeAt + close.size());
  }
}

void UpperCaseTags(std::string& text) {
  const std::string_view view(text);
  bool inTag = false;
  bool inQuote = false;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!inTag || inQuote) {
      // Nothing to raise here: skip to the next byte that changes a flag. Outside a tag that
      // is '<' (also inside quotes) or a quote; inside a quoted part, '>' or a quote.
      i = FindEitherByte(view, inTag ? '>' : '<', '"', i);
      if (i == kNotFound) return;
      if (text[i] == '"') {
        inQuote = !inQuote;
      } else {
        inTag = !inTag;
      }
      ++i;
      continue;
    }
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '>' || c == '"') break;
      if (c >= 'a' && c <= 'z') text[i] = static_cast<char>(c - ('a' - 'A'));
    }
    if (i == text.size()) return;
    if (text[i] == '>') {
      inTag = false;
    } else {
      inQuote = true;
    }
    ++i;
  }
}

ScannedPage ScanPage(std::string_view body, bool isLevel) {
  PagePasses passes(body);
  passes.RemoveBlocks("<!--", "-->");  // before any case change, so the patterns are exact
  passes.UpperCaseTags();
  passes.RemoveBlocks("<HEAD", "/HEAD>");
  passes.RemoveBlocks("<SCRIPT", "/SCRIPT>");
  RawLinkList links = CollectLinks(passes.page(), isLevel);
  passes.RemoveBlocks("<FRAMESET ", "/FRAMESET>");
  // Tags removed from here to the entities leave nothing behind, so they do not end a
  // sentence; every tag left over becomes a full stop at the end.
  passes.RemoveBlocks("<IMG ", ">");
  passes.RemoveAll("<B>");
  passes.RemoveAll("</B>");
  passes.RemoveBlocks("<FONT ", ">");
  passes.RemoveAll("</FONT>");
  passes.RemoveAll("<U>");
  passes.RemoveAll("</U>");
  passes.RemoveBlocks("<A ", ">");
  passes.RemoveAll("</A>");
  passes.RemoveAll("<I>");
  passes.RemoveAll("</I>");
  passes.RemoveAll("&nbsp;");
  passes.RemoveAll("&gt;");
  passes.RemoveAll("&lt;");
  passes.StripTags('.');
  return ScannedPage{passes.TakePage(), std::move(links)};
}

}  // namespace quillmark
