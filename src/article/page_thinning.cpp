#include "article/page_thinning.h"

#include <algorithm>
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

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Where the (kMaxAttributesPerTag + 1)-th attribute of the tag text `tag` ("<p a=1 b ...>")
// starts (with the blanks before it), or npos when it has no more than that. Attributes are read as
// the HTML tokenizer reads them: a name up to a blank, '/', '>' or '=', then maybe '=' and a quoted
// or bare value.
std::size_t ExcessAttributesStart(std::string_view tag) {
  std::size_t i = 1;
  while (i < tag.size() && !IsNameEnd(tag[i])) ++i;  // the tag's name
  std::size_t attributes = 0;
  while (i < tag.size()) {
    const std::size_t previousEnd = i;  // the blanks before an attribute go with it
    while (i < tag.size() && (IsBlank(tag[i]) || tag[i] == '/')) ++i;
    if (i >= tag.size() || tag[i] == '>') return std::string_view::npos;
    if (++attributes > kMaxAttributesPerTag) return previousEnd;
    ++i;  // a name's first character may be '='
    while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '/' && tag[i] != '>' && tag[i] != '=')
      ++i;
    std::size_t after = i;
    while (after < tag.size() && IsBlank(tag[after])) ++after;
    if (after >= tag.size() || tag[after] != '=') continue;
    i = after + 1;
    while (i < tag.size() && IsBlank(tag[i])) ++i;
    if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
      const std::size_t close = tag.find(tag[i], i + 1);
      i = close == std::string_view::npos ? tag.size() : close + 1;
    } else {
      while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '>') ++i;
    }
  }
  return std::string_view::npos;
}

// Elements that never hold others (void) or whose end the parser implies (a new `<p>` or
// `<li>` ends the one before): they are not counted in the nesting depth, which would
// otherwise climb on every page that leaves them open.
constexpr std::array<std::string_view, 36> kUncountedElements = {
    "area", "base",  "br",     "col",   "embed", "hr",    "img",    "input",    "link",
    "meta", "param", "source", "track", "wbr",   "frame", "keygen", "basefont", "bgsound",
    "p",    "li",    "dt",     "dd",    "tr",    "td",    "th",     "option",   "optgroup",
    "rb",   "rp",    "rt",     "rtc",   "tbody", "thead", "tfoot",  "colgroup", "html"};

// The lower-case name of the tag that opens at `lt` ("<div ..." or "</div>"), without '/'.
std::string_view TagNameAt(std::string_view text, std::size_t lt, std::string& buffer) {
  std::size_t i = lt + 1 + (lt + 1 < text.size() && text[lt + 1] == '/');
  const std::size_t start = i;
  while (i < text.size() && !IsNameEnd(text[i]) && i - start < 15) ++i;  // fits in place
  buffer.assign(text.substr(start, i - start));
  for (char& c : buffer) c = Lower(c);
  return buffer;
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
  std::size_t depth = 0;  // elements open, as the counted start and end tags say
  std::string name;
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
      // A tag of more attributes than any page needs keeps the first ones and its end: the
      // parser checks each new attribute against all before it.
      const std::size_t excess = tagEnd - lt > 2 * kMaxAttributesPerTag
                                     ? ExcessAttributesStart(text.substr(lt, tagEnd - lt))
                                     : std::string_view::npos;
      // Past kMaxNestingDepth open elements a tag is dropped and its text kept: the parser's
      // work on each tag grows with the depth, so a page nested without end would cost the
      // square of its length.
      const char kind = text[lt + 1];
      if (kind != '!' && kind != '?' &&
          std::find(kUncountedElements.begin(), kUncountedElements.end(),
                    TagNameAt(text, lt, name)) == kUncountedElements.end() &&
          text.substr(tagEnd - 2, 2) != "/>") {
        const bool tooDeep = depth >= kMaxNestingDepth + (kind == '/' ? 1 : 0);
        if (kind == '/') {
          depth -= depth > 0 ? 1 : 0;
        } else {
          ++depth;
        }
        if (tooDeep) {
          i = tagEnd;
          continue;
        }
      }
      if (excess == std::string_view::npos) {
        keep(lt, tagEnd);
      } else {
        keep(lt, lt + excess);
        const bool selfClosing = tagEnd - lt >= 2 && text.substr(tagEnd - 2, 2) == "/>";
        keep(tagEnd - (selfClosing ? 2 : 1), tagEnd);
      }
      i = tagEnd;
      continue;
    }
    // Foreign content ends itself with "/>" ("<svg class=icon/>"): nothing to wait for.
    if (thinned == "svg" && tagEnd - lt >= 2 && text.substr(tagEnd - 2, 2) == "/>") {
      i = tagEnd;
      continue;
    }
    i = EndTagEnd(text, tagEnd, thinned);
  }
  utf8.resize(out);
}

}  // namespace quillmark
