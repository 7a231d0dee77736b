#include "gather/page_scanner.h"

#include <algorithm>
#include <cstring>

#include "gather/byte_search.h"

namespace quillmark {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// The passes below write into a second buffer instead of erasing in place, so each costs one
// walk over its text whatever it removes. They return false, leaving `out` alone, when the
// text would come back unchanged: ScanPage then keeps its buffer and copies nothing.

// Writes a pass's output, which is never longer than its input, straight into a reused buffer:
// no per-byte capacity checks, and no clearing of bytes that are about to be overwritten.
class OutputWriter {
 public:
  OutputWriter(std::string& out, std::size_t inputSize) : out_(out) {
    if (out_.size() < inputSize) out_.resize(inputSize);
  }
  ~OutputWriter() { out_.resize(size_); }

  void Append(std::string_view text, std::size_t from, std::size_t to) {
    if (to > from) std::memcpy(out_.data() + size_, text.data() + from, to - from);
    size_ += to - from;
  }
  void Put(char c) { out_[size_++] = c; }

 private:
  std::string& out_;
  std::size_t size_ = 0;
};

bool RemoveBlocksInto(std::string_view text, std::string_view open, std::string_view close,
                      std::string& out) {
  if (open.empty()) return false;
  std::size_t openAt = FindPattern(text, open, 0);
  if (openAt == kNotFound) return false;
  OutputWriter writer(out, text.size());
  std::size_t p = 0;
  while (openAt != kNotFound) {
    writer.Append(text, p, openAt);
    const std::size_t closeAt = FindPattern(text, close, openAt + open.size());
    if (closeAt == kNotFound) return true;  // an unclosed block cuts the rest
    p = closeAt + close.size();
    openAt = FindPattern(text, open, p);
  }
  writer.Append(text, p, text.size());
  return true;
}

bool RemoveAllInto(std::string_view text, std::string_view pattern, std::string& out) {
  if (pattern.empty()) return false;
  std::size_t at = FindPattern(text, pattern, 0);
  if (at == kNotFound) return false;
  OutputWriter writer(out, text.size());
  std::size_t p = 0;
  while (at != kNotFound) {
    writer.Append(text, p, at);
    p = at + pattern.size();
    at = FindPattern(text, pattern, p);
  }
  writer.Append(text, p, text.size());
  return true;
}

bool StripTagsInto(std::string_view text, char replacement, std::string& out) {
  std::size_t i = FindEitherByte(text, '<', '>', 0);
  if (i == kNotFound) return false;
  OutputWriter writer(out, text.size());
  writer.Append(text, 0, i);
  bool inTag = false;
  // Byte by byte where tags crowd together, a block search across runs of text or of tag.
  while (i < text.size()) {
    const char c = text[i];
    if (c == '>') {
      writer.Put(replacement);  // also for a '>' outside any tag
      inTag = false;
      ++i;
    } else if (inTag) {
      // Inside a tag only '>' counts; a further '<' is dropped like any other byte.
      i = FindEitherByte(text, '>', '>', i + 1);
      if (i == kNotFound) return true;  // an unclosed tag cuts the rest
    } else if (c == '<') {
      inTag = true;
      ++i;
    } else {
      const std::size_t runEnd = std::min(FindEitherByte(text, '<', '>', i + 1), text.size());
      writer.Append(text, i, runEnd);
      i = runEnd;
    }
  }
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

// Calls `take` with the bytes strictly between each `open` and the next `close` behind it,
// searching on behind each `close`; an `open` without a later `close` ends the search.
template <typename Take>
void ForEachBetween(std::string_view text, std::string_view open, std::string_view close,
                    const Take& take) {
  if (open.empty()) return;
  std::size_t openAt = FindPattern(text, open, 0);
  while (openAt != kNotFound) {
    const std::size_t valueAt = openAt + open.size();
    const std::size_t closeAt = FindPattern(text, close, valueAt);
    if (closeAt == kNotFound) return;
    take(text.substr(valueAt, closeAt - valueAt));
    openAt = FindPattern(text, open, closeAt + close.size());
  }
}

// Appends, for each tag inside in `tags`, the value of its `attribute` ("SRC=\"") as written.
void CollectQuotedValues(const std::vector<std::string_view>& tags, std::string_view attribute,
                         RawLinkList& links) {
  for (std::string_view tag : tags) {
    ForEachBetween(tag, attribute, "\"",
                   [&](std::string_view value) { links.emplace_back(value); });
  }
}

RawLinkList CollectLinks(std::string_view page, bool isLevel) {
  // The tag insides point into the page, which does not change while links are collected.
  std::vector<std::string_view> tags;
  const auto keepTag = [&](std::string_view inside) { tags.push_back(inside); };
  RawLinkList links;
  ForEachBetween(page, "<FRAME ", ">", keepTag);
  ForEachBetween(page, "<IFRAME ", ">", keepTag);
  CollectQuotedValues(tags, "SRC=\"", links);
  if (isLevel) {
    tags.clear();
    ForEachBetween(page, "<A ", ">", keepTag);
    CollectQuotedValues(tags, "HREF=\"", links);
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
  ForEachBetween(text, open, close, [&](std::string_view value) { found.emplace_back(value); });
}

void UpperCaseTags(std::string& text) {
  TagCaseState state;
  std::size_t i = RaiseTagLettersInStrides(text, state);
  bool inTag = state.inTag;
  bool inQuote = state.inQuote;
  // The rest, and all of it without block instructions: byte by byte where the flags change
  // often, a block pass across the runs between changes.
  const std::string_view view(text);
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"') {
      inQuote = !inQuote;
    } else if (c == '<' && !inTag) {
      inTag = true;
    } else if (c == '>' && inTag) {
      inTag = false;
    } else if (inTag && !inQuote) {
      i = RaiseLettersUntilEither(text, i, '>', '"');
      continue;
    } else {
      // Nothing to raise until a flag changes: outside a tag at '<' (also inside quotes) or
      // a quote, inside a quoted part at '>' or a quote.
      i = FindEitherByte(view, inTag ? '>' : '<', '"', i + 1);
      continue;
    }
    ++i;
  }
}

ScannedPage ScanPage(std::string_view body, bool isLevel) {
  PagePasses passes(body);
  RawLinkList links;
  // Every pattern up to the entities begins with '<', and no pass brings a '<' back: in a page
  // without one (a plain text) those passes would find nothing, so they are not run.
  if (passes.page().find('<') != std::string_view::npos) {
    passes.RemoveBlocks("<!--", "-->");  // before any case change, so the patterns are exact
    passes.UpperCaseTags();
    passes.RemoveBlocks("<HEAD", "/HEAD>");
    passes.RemoveBlocks("<SCRIPT", "/SCRIPT>");
    links = CollectLinks(passes.page(), isLevel);
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
  }
  passes.RemoveAll("&nbsp;");
  passes.RemoveAll("&gt;");
  passes.RemoveAll("&lt;");
  passes.StripTags('.');
  return ScannedPage{passes.TakePage(), std::move(links)};
}

}  // namespace quillmark
