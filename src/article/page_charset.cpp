#include "article/page_charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "text/valid_utf8.h"

namespace quillmark {
namespace {

// How far into the page a <meta> naming the character set is looked for.
constexpr std::size_t kMetaPrescanBytes = 4096;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t\r\n\f\"'";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The value after "charset=" in `text` (a Content-Type value), up to ';', a quote or a blank.
std::string CharsetParameter(std::string_view text) {
  const std::string lower = Lower(text);
  const std::size_t at = lower.find("charset");
  if (at == std::string::npos) return {};
  std::size_t p = at + 7;
  while (p < lower.size() && (lower[p] == ' ' || lower[p] == '\t')) ++p;
  if (p >= lower.size() || lower[p] != '=') return {};
  ++p;
  while (p < lower.size() && (lower[p] == ' ' || lower[p] == '"' || lower[p] == '\'')) ++p;
  std::size_t end = p;
  while (end < lower.size() && std::strchr(" \t;\"'>/", lower[end]) == nullptr) ++end;
  // "/" ends it only as the end of a tag: labels do not hold one.
  return lower.substr(p, end - p);
}

// The iconv name of a character-set label, or empty when it names nothing iconv has.
std::string IconvName(std::string_view label) {
  const std::string l = Lower(Trim(label));
  if (l.empty()) return {};
  if (l == "utf-8" || l == "utf8" || l == "unicode-1-1-utf-8") return "UTF-8";
  if (l == "iso-8859-1" || l == "latin1" || l == "l1" || l == "us-ascii" || l == "ascii" ||
      l == "iso8859-1" || l == "windows-1252" || l == "cp1252" || l == "x-cp1252")
    return "WINDOWS-1252";
  if (l == "shift_jis" || l == "shift-jis" || l == "sjis" || l == "x-sjis" || l == "ms_kanji" ||
      l == "windows-31j" || l == "cp932" || l == "csshiftjis")
    return "CP932";
  if (l == "euc-jp" || l == "x-euc-jp" || l == "eucjp") return "EUC-JP";
  if (l == "utf-16" || l == "utf-16le") return "UTF-16LE";
  if (l == "utf-16be") return "UTF-16BE";
  std::string upper = l;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const iconv_t probe = iconv_open("UTF-8", upper.c_str());
  if (probe == reinterpret_cast<iconv_t>(-1)) return {};
  iconv_close(probe);
  return upper;
}

std::string BomCharset(std::string_view body) {
  if (body.substr(0, 3) == "\xEF\xBB\xBF") return "UTF-8";
  if (body.substr(0, 2) == "\xFF\xFE") return "UTF-16LE";
  if (body.substr(0, 2) == "\xFE\xFF") return "UTF-16BE";
  return {};
}

// The charset a <meta> of the page's start names: `<meta charset=X>` or a meta whose content
// holds "charset=X".
std::string MetaCharset(std::string_view body) {
  const std::string head = Lower(body.substr(0, kMetaPrescanBytes));
  for (std::size_t at = head.find("<meta"); at != std::string::npos;
       at = head.find("<meta", at + 5)) {
    const std::size_t close = head.find('>', at);
    const std::string_view tag = std::string_view(head).substr(
        at, close == std::string::npos ? std::string::npos : close - at);
    const std::string label = CharsetParameter(tag);
    if (!label.empty()) {
      const std::string name = IconvName(label);
      if (!name.empty()) return name;
    }
  }
  return {};
}

std::string Convert(std::string_view body, const std::string& from) {
  const iconv_t cd = iconv_open("UTF-8", from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return ReplaceInvalidUtf8(body);
  std::string out;
  out.resize(body.size() * 3 + 16);
  char* in = const_cast<char*>(body.data());
  std::size_t inLeft = body.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      const std::size_t used = out.size() - outLeft;
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    // A byte that is not of the character set, or a sequence cut off at the end.
    if (outLeft < 3) {
      const std::size_t used = out.size() - outLeft;
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
    }
    std::memcpy(outPtr, "\xEF\xBF\xBD", 3);
    outPtr += 3;
    outLeft -= 3;
    ++in;
    --inLeft;
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::string PageCharset(std::string_view body, std::string_view contentType) {
  if (std::string name = IconvName(CharsetParameter(contentType)); !name.empty()) return name;
  if (std::string bom = BomCharset(body); !bom.empty()) return bom;
  if (std::string meta = MetaCharset(body); !meta.empty()) {
    // A page that says UTF-16 in ASCII bytes is not UTF-16; browsers take it as UTF-8.
    if (meta.rfind("UTF-16", 0) != 0) return meta;
    return "UTF-8";
  }
  return IsValidUtf8(body) ? "UTF-8" : "WINDOWS-1252";
}

std::string PageToUtf8(std::string_view body, std::string_view contentType) {
  const std::string charset = PageCharset(body, contentType);
  const std::string bom = BomCharset(body);
  if (!bom.empty() && bom == charset) body.remove_prefix(bom == "UTF-8" ? 3 : 2);
  if (charset == "UTF-8") return IsValidUtf8(body) ? std::string(body) : ReplaceInvalidUtf8(body);
  return Convert(body, charset);
}

}  // namespace quillmark
