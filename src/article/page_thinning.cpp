#include "article/page_thinning.h"

#include <array>
#include <cstring>
#include <string_view>

namespace quillmark {
namespace {

// Elements whose content is no text of the page.
constexpr std::array<std::string_view, 4> kThinnedElements = {"script", "style", "svg", "noscript"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsNameEnd(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '>' || c == '/';
}

// Whether `text` at `at` holds `name` in any letter case, followed by the end of a tag name.
bool NameAt(std::string_view text, std::size_t at, std::string_view name) {
  if (at + name.size() > text.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (Lower(text[at + i]) != name[i]) return false;
  return at + name.size() == text.size() || IsNameEnd(text[at + name.size()]);
}

// One past the '>' that ends the tag opened at `open`, quotes respected; the text's size when
// it has none.
std::size_t TagEnd(std::string_view text, std::size_t open) {
  char quote = 0;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      // A quote opens a value only after '=' (blanks between): "<p class=x'>" is no value.
      std::size_t before = i;
      while (before > open && (text[before - 1] == ' ' || text[before - 1] == '\t' ||
                               text[before - 1] == '\n' || text[before - 1] == '\r'))
        --before;
      if (before > open && text[before - 1] == '=') quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return text.size();
}

// Where the end tag of `name` behind `from` ends (one past its '>'), or the text's size.
std::size_t EndTagEnd(std::string_view text, std::size_t from, std::string_view name) {
  for (std::size_t at = text.find("</", from); at != std::string_view::npos;
       at = text.find("</", at + 2)) {
    if (NameAt(text, at + 2, name)) {
      const std::size_t close = text.find('>', at + 2 + name.size());
      return close == std::string_view::npos ? text.size() : close + 1;
    }
  }
  return text.size();
}

bool IsStructuredData(std::string_view tag) {
  constexpr std::string_view kType = "application/ld+json";
  for (std::size_t at = 0; at + kType.size() <= tag.size(); ++at) {
    std::size_t i = 0;
    while (i < kType.size() && Lower(tag[at + i]) == kType[i]) ++i;
    if (i == kType.size()) return true;
  }
  return false;
}

}  // namespace

void ThinPage(std::string& utf8) {
  const std::string_view text = utf8;
  std::size_t out = 0;
  std::size_t i = 0;
  // Bytes are only ever moved towards the front: the output never overtakes the input.
  const auto keep = [&](std::size_t from, std::size_t to) {
    if (out != from) std::memmove(utf8.data() + out, utf8.data() + from, to - from);
    out += to - from;
  };
  while (i < text.size()) {
    const std::size_t lt = text.find('<', i);
    if (lt == std::string_view::npos) {
      keep(i, text.size());
      break;
    }
    keep(i, lt);
    if (text.substr(lt, 4) == "<!--") {
      const std::size_t close = text.find("-->", lt + 4);
      i = close == std::string_view::npos ? text.size() : close + 3;
      continue;
    }
    // A '<' before anything but a name, '/', '!' or '?' opens no tag: it is text.
    const char next = lt + 1 < text.size() ? Lower(text[lt + 1]) : ' ';
    if (!((next >= 'a' && next <= 'z') || next == '/' || next == '!' || next == '?')) {
      keep(lt, lt + 1);
      i = lt + 1;
      continue;
    }
    const std::size_t tagEnd = TagEnd(text, lt);
    std::string_view thinned;
    for (std::string_view name : kThinnedElements)
      if (NameAt(text, lt + 1, name)) thinned = name;
    if (thinned.empty() ||
        (thinned == "script" && IsStructuredData(text.substr(lt, tagEnd - lt)))) {
      keep(lt, tagEnd);
      i = tagEnd;
      continue;
    }
    i = EndTagEnd(text, tagEnd, thinned);
  }
  utf8.resize(out);
}

}  // namespace quillmark
