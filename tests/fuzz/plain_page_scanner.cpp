#include "plain_page_scanner.h"

#include <string>
#include <vector>

namespace quillmark::testing {
namespace {

constexpr auto npos = std::string::npos;

// With `wholeName`, an `open` counts only where the tag name ends behind it.
std::size_t PlainFindOpen(const std::string& text, const std::string& open, std::size_t from,
                          bool wholeName) {
  for (std::size_t o = text.find(open, from); o != npos; o = text.find(open, o + 1)) {
    const std::size_t after = o + open.size();
    if (!wholeName || after == text.size() || std::string(" \t\n\r\f>/").find(text[after]) != npos)
      return o;
  }
  return npos;
}

std::string PlainRemoveBlocks(const std::string& text, const std::string& open,
                              const std::string& close, bool wholeName = false) {
  std::string out;
  std::size_t p = 0;
  while (true) {
    const std::size_t o = PlainFindOpen(text, open, p, wholeName);
    if (o == npos) return out + text.substr(p);
    out += text.substr(p, o - p);
    const std::size_t c = text.find(close, o + open.size());
    if (c == npos) return out;
    p = c + close.size();
  }
}

std::string PlainRemoveAll(std::string text, const std::string& pattern) {
  std::string out;
  std::size_t p = 0;
  for (std::size_t at = text.find(pattern); at != npos; at = text.find(pattern, p)) {
    out += text.substr(p, at - p);
    p = at + pattern.size();
  }
  return out + text.substr(p);
}

void PlainCollectBetween(const std::string& text, const std::string& open, const std::string& close,
                         std::vector<std::string>& found) {
  std::size_t p = 0;
  while (true) {
    const std::size_t o = text.find(open, p);
    if (o == npos) return;
    const std::size_t c = text.find(close, o + open.size());
    if (c == npos) return;
    found.push_back(text.substr(o + open.size(), c - o - open.size()));
    p = c + close.size();
  }
}

void PlainUpperCaseTags(std::string& text) {
  bool inTag = false;
  bool inQuote = false;
  for (char& c : text) {
    if (c == '<' && !inTag) {
      inTag = true;
    } else if (c == '>' && inTag) {
      inTag = false;
    } else if (c == '"' && !inQuote) {
      inQuote = true;
    } else if (c == '"' && inQuote) {
      inQuote = false;
    } else if (c >= 'a' && c <= 'z' && inTag && !inQuote) {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
}

std::string PlainStripTags(const std::string& text, char replacement) {
  std::string out;
  bool inTag = false;
  for (char c : text) {
    if (c == '<') {
      inTag = true;
    } else if (c == '>') {
      inTag = false;
      out += replacement;
    } else if (!inTag) {
      out += c;
    }
  }
  return out;
}

}  // namespace

ScannedPage PlainScanPage(std::string_view body, FollowAnchors anchors) {
  std::string p(body.substr(0, body.find('\0')));
  p = PlainRemoveBlocks(p, "<!--", "-->");
  PlainUpperCaseTags(p);
  p = PlainRemoveBlocks(p, "<HEAD", "/HEAD>", /*wholeName=*/true);
  p = PlainRemoveBlocks(p, "<SCRIPT", "/SCRIPT>");
  std::vector<std::string> frames;
  PlainCollectBetween(p, "<FRAME ", ">", frames);
  PlainCollectBetween(p, "<IFRAME ", ">", frames);
  RawLinkList links;
  for (const std::string& frame : frames) PlainCollectBetween(frame, "SRC=\"", "\"", links);
  if (anchors == FollowAnchors::kYes) {
    std::vector<std::string> anchors;
    PlainCollectBetween(p, "<A ", ">", anchors);
    for (const std::string& anchor : anchors) {
      PlainCollectBetween(anchor, "HREF=\"", "\"", links);
    }
  }
  p = PlainRemoveBlocks(p, "<FRAMESET ", "/FRAMESET>");
  p = PlainRemoveBlocks(p, "<IMG ", ">");
  for (const char* tag : {"<B>", "</B>"}) p = PlainRemoveAll(p, tag);
  p = PlainRemoveBlocks(p, "<FONT ", ">");
  p = PlainRemoveAll(p, "</FONT>");
  for (const char* tag : {"<U>", "</U>"}) p = PlainRemoveAll(p, tag);
  p = PlainRemoveBlocks(p, "<A ", ">");
  p = PlainRemoveAll(p, "</A>");
  for (const char* tag : {"<I>", "</I>"}) p = PlainRemoveAll(p, tag);
  for (const char* entity : {"&nbsp;", "&gt;", "&lt;"}) p = PlainRemoveAll(p, entity);
  return ScannedPage{PlainStripTags(p, '.'), links};
}

}  // namespace quillmark::testing
