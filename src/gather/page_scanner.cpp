#include "gather/page_scanner.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "gather/byte_search.h"
#include "text/byte_tricks.h"

namespace quillmark {
namespace {

// The passes below never erase with a shift of the rest: each reads its text once and writes
// what it keeps to the front of an output, so each costs one walk whatever it removes. No pass
// makes its text longer, and each writes a byte only after reading it, so the output may be
// the text itself: ScanPage compacts one buffer pass after pass. They return the length of
// what they wrote, or kUnchanged, writing nothing, when the text would come back unchanged:
// ScanPage then keeps its current text and copies nothing.
constexpr std::size_t kUnchanged = std::string::npos;

// Writes a pass's output, which is never longer than its input, straight into the front of a
// reused buffer, which may hold the input itself: no per-byte capacity checks, and no clearing
// of bytes that are about to be overwritten. The buffer only ever grows (so an input inside it
// stays where it is), and one that is reused is not cleared again either; the output is its
// first size() bytes.
class OutputWriter {
 public:
  OutputWriter(std::string& out, std::size_t inputSize) : out_(out) {
    if (out_.size() < inputSize) out_.resize(inputSize);
  }

  void Append(std::string_view text, std::size_t from, std::size_t to) {
    // Behind the input's own bytes when the pass works in place.
    if (to > from) std::memmove(out_.data() + size_, text.data() + from, to - from);
    size_ += to - from;
  }
  void Put(char c) { out_[size_++] = c; }
  // Where the next byte goes, for a writer that fills the rest of the room itself and then
  // reports how many bytes it wrote.
  char* next() { return out_.data() + size_; }
  void Advance(std::size_t count) { size_ += count; }
  std::size_t size() const { return size_; }

 private:
  std::string& out_;
  std::size_t size_ = 0;
};

// Whether an `open` pattern must be a whole tag name: "<HEAD" then stands for the head only,
// not for HTML5's "<HEADER", whose missing "/HEAD>" would otherwise drop the rest of the page.
enum class OpenMatch { kAnyPrefix, kWholeTagName };

bool EndsTagName(std::string_view text, std::size_t at) {
  if (at >= text.size()) return true;
  const char c = text[at];
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '>' || c == '/';
}

std::size_t FindOpen(std::string_view text, std::string_view open, std::size_t from,
                     OpenMatch match) {
  std::size_t at = FindPattern(text, open, from);
  if (match == OpenMatch::kWholeTagName) {
    while (at != kNotFound && !EndsTagName(text, at + open.size()))
      at = FindPattern(text, open, at + 1);
  }
  return at;
}

std::size_t RemoveBlocksInto(std::string_view text, std::string_view open, std::string_view close,
                             std::string& out, OpenMatch match = OpenMatch::kAnyPrefix) {
  if (open.empty()) return kUnchanged;
  std::size_t openAt = FindOpen(text, open, 0, match);
  if (openAt == kNotFound) return kUnchanged;
  OutputWriter writer(out, text.size());
  std::size_t p = 0;
  while (openAt != kNotFound) {
    writer.Append(text, p, openAt);
    const std::size_t closeAt = FindPattern(text, close, openAt + open.size());
    if (closeAt == kNotFound) return writer.size();  // an unclosed block cuts the rest
    p = closeAt + close.size();
    openAt = FindOpen(text, open, p, match);
  }
  writer.Append(text, p, text.size());
  return writer.size();
}

std::size_t RemoveAllInto(std::string_view text, std::string_view pattern, std::string& out) {
  if (pattern.empty()) return kUnchanged;
  std::size_t at = FindPattern(text, pattern, 0);
  if (at == kNotFound) return kUnchanged;
  OutputWriter writer(out, text.size());
  std::size_t p = 0;
  while (at != kNotFound) {
    writer.Append(text, p, at);
    p = at + pattern.size();
    at = FindPattern(text, pattern, p);
  }
  writer.Append(text, p, text.size());
  return writer.size();
}

std::size_t StripTagsInto(std::string_view text, char replacement, std::string& out) {
  if (FindEitherByte(text, '<', '>', 0) == kNotFound) return kUnchanged;
  OutputWriter writer(out, text.size());
  bool inTag = false;
  std::size_t written = 0;
  std::size_t i = StripTagsInStrides(text, replacement, writer.next(), written, inTag);
  writer.Advance(written);
  // The rest, and all of it without block instructions: byte by byte where tags crowd
  // together, a block search across runs of text or of tag.
  while (i < text.size()) {
    const char c = text[i];
    if (c == '>') {
      writer.Put(replacement);  // also for a '>' outside any tag
      inTag = false;
      ++i;
    } else if (inTag) {
      // Inside a tag only '>' counts; a further '<' is dropped like any other byte.
      i = FindEitherByte(text, '>', '>', i + 1);
      if (i == kNotFound) return writer.size();  // an unclosed tag cuts the rest
    } else if (c == '<') {
      inTag = true;
      ++i;
    } else {
      const std::size_t runEnd = std::min(FindEitherByte(text, '<', '>', i + 1), text.size());
      writer.Append(text, i, runEnd);
      i = runEnd;
    }
  }
  return writer.size();
}

// UpperCaseTags' work on `text` from `i` on, with `state` the flags before byte `i`.
void FinishUpperCaseTags(std::span<char> text, std::size_t i, TagCaseState state) {
  bool inTag = state.inTag;
  bool inQuote = state.inQuote;
  // The rest, and all of it without block instructions: byte by byte where the flags change
  // often, a block pass across the runs between changes.
  const std::string_view view(text.data(), text.size());
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

// UpperCaseTags on bytes that need not fill a string of their own.
void UpperCaseTagsIn(std::span<char> text) {
  TagCaseState state;
  const std::size_t done =
      RaiseTagLettersInStrides(std::string_view(text.data(), text.size()), text.data(), state);
  FinishUpperCaseTags(text, done, state);
}

// The one buffer the passes of ScanPage compact the page in. It stays with the thread from
// one page to the next: a freshly allocated buffer costs a page fault for every 4 KiB written
// on every page, which on a 10 MB page costs more than the passes themselves. Only memory is
// kept, never a byte of one page's text that the next could read. One buffer, not one per
// pass, keeps a large page's peak at the body, one copy of it and the page text.
struct PassBuffer {
  std::string buffer;

  // Frees a buffer that a page far larger than any news page grew, so that one such page does
  // not hold its memory for the life of the thread. Buffers up to this size are kept.
  void ReleaseOutsized() {
    constexpr std::size_t kLargestKept = std::size_t{16} << 20;
    if (buffer.size() > kLargestKept) std::string().swap(buffer);
  }
};

// Runs the passes of ScanPage on one page, each on the output of the one before. The text is
// read from the page itself until a pass changes it; that pass writes it into the buffer, and
// every later pass rewrites the buffer in place.
class PagePasses {
 public:
  PagePasses(std::string_view body, PassBuffer& buffer)
      : buffer_(buffer.buffer), page_(body.substr(0, body.find('\0'))) {}

  void RemoveBlocks(std::string_view open, std::string_view close,
                    OpenMatch match = OpenMatch::kAnyPrefix) {
    Take(RemoveBlocksInto(page_, open, close, buffer_, match));
  }
  void RemoveAll(std::string_view pattern) { Take(RemoveAllInto(page_, pattern, buffer_)); }
  void StripTags(char replacement) { Take(StripTagsInto(page_, replacement, buffer_)); }
  void UpperCaseTags() {
    if (inBuffer_) {
      UpperCaseTagsIn(WritablePage());
      return;
    }
    // The page itself is never written to: its strides are raised on their way into a
    // buffer, one walk instead of a copy and a pass.
    OutputWriter writer(buffer_, page_.size());
    TagCaseState state;
    const std::size_t done = RaiseTagLettersInStrides(page_, writer.next(), state);
    writer.Advance(done);
    writer.Append(page_, done, page_.size());
    Take(writer.size());
    FinishUpperCaseTags(WritablePage(), done, state);
  }

  std::string_view page() const { return page_; }

 private:
  // The current text, once it is in the buffer.
  std::span<char> WritablePage() { return {buffer_.data(), page_.size()}; }

  // Makes the `length` bytes a pass wrote into the buffer the current text.
  void Take(std::size_t length) {
    if (length == kUnchanged) return;
    inBuffer_ = true;
    page_ = std::string_view(buffer_.data(), length);
  }

  std::string& buffer_;
  std::string_view page_;
  bool inBuffer_ = false;  // whether page_ is the front of buffer_ rather than the body
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

RawLinkList CollectLinks(std::string_view page, FollowAnchors anchors) {
  // The tag insides point into the page, which does not change while links are collected.
  std::vector<std::string_view> tags;
  const auto keepTag = [&](std::string_view inside) { tags.push_back(inside); };
  RawLinkList links;
  ForEachBetween(page, "<FRAME ", ">", keepTag);
  ForEachBetween(page, "<IFRAME ", ">", keepTag);
  CollectQuotedValues(tags, "SRC=\"", links);
  if (anchors == FollowAnchors::kYes) {
    tags.clear();
    ForEachBetween(page, "<A ", ">", keepTag);
    CollectQuotedValues(tags, "HREF=\"", links);
  }
  return links;
}

// Returns what a pass run on its own left: its output cut to `length`, or `text` unchanged.
std::string Finish(std::size_t length, std::string_view text, std::string& out) {
  if (length == kUnchanged) return std::string(text);
  out.resize(length);
  return std::move(out);
}

// Runs the passes from the head to the italic end tag, collecting the links among them, and
// returns the links. Every pattern these passes look for is '<' followed by an upper-case
// letter or '/', and a pass that finds nothing leaves the text as it was for the next one: on
// a page with no such pair (all stray '<' or empty "<>" tags) one search stands for them all.
RawLinkList RemoveNamedTags(PagePasses& passes, FollowAnchors anchors) {
  if (FindNamedTagStart(passes.page(), 0) == kNotFound) return {};
  passes.RemoveBlocks("<HEAD", "/HEAD>", OpenMatch::kWholeTagName);
  passes.RemoveBlocks("<SCRIPT", "/SCRIPT>");
  RawLinkList links = CollectLinks(passes.page(), anchors);
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
  return links;
}

}  // namespace

std::string RemoveBlocks(std::string_view text, std::string_view open, std::string_view close) {
  std::string out;
  return Finish(RemoveBlocksInto(text, open, close, out), text, out);
}

std::string RemoveAll(std::string_view text, std::string_view pattern) {
  std::string out;
  return Finish(RemoveAllInto(text, pattern, out), text, out);
}

std::string StripTags(std::string_view text, char replacement) {
  std::string out;
  return Finish(StripTagsInto(text, replacement, out), text, out);
}

void CollectBetween(std::string_view text, std::string_view open, std::string_view close,
                    std::vector<std::string>& found) {
  ForEachBetween(text, open, close, [&](std::string_view value) { found.emplace_back(value); });
}

void UpperCaseTags(std::string& text) { UpperCaseTagsIn(text); }

ScannedPage ScanPage(std::string_view body, FollowAnchors anchors) {
  thread_local PassBuffer buffer;
  PagePasses passes(body, buffer);
  RawLinkList links;
  // Every pattern up to the entities begins with '<', and no pass brings a '<' back: in a page
  // without one (a plain text) those passes would find nothing, so they are not run.
  if (passes.page().find('<') != std::string_view::npos) {
    passes.RemoveBlocks("<!--", "-->");  // before any case change, so the patterns are exact
    passes.UpperCaseTags();
    links = RemoveNamedTags(passes, anchors);
  }
  passes.RemoveAll("&nbsp;");
  passes.RemoveAll("&gt;");
  passes.RemoveAll("&lt;");
  passes.StripTags('.');
  ScannedPage scanned{std::string(passes.page()), std::move(links)};
  buffer.ReleaseOutsized();  // only now: the page text was read from it
  return scanned;
}

}  // namespace quillmark
