#include "article/page_charset.h"

#include <iconv.h>

#include <algorithm>
#include <array>
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

// Every label of the WHATWG Encoding Standard (its table "Encodings", encodings.json) and the
// encoding it names, sorted by label for a binary search.
struct LabelEncoding {
  std::string_view label;
  std::string_view encoding;
};
constexpr std::array<LabelEncoding, 228> kLabels = {{
    {"866", "IBM866"},
    {"ansi_x3.4-1968", "windows-1252"},
    {"arabic", "ISO-8859-6"},
    {"ascii", "windows-1252"},
    {"asmo-708", "ISO-8859-6"},
    {"big5", "Big5"},
    {"big5-hkscs", "Big5"},
    {"chinese", "GBK"},
    {"cn-big5", "Big5"},
    {"cp1250", "windows-1250"},
    {"cp1251", "windows-1251"},
    {"cp1252", "windows-1252"},
    {"cp1253", "windows-1253"},
    {"cp1254", "windows-1254"},
    {"cp1255", "windows-1255"},
    {"cp1256", "windows-1256"},
    {"cp1257", "windows-1257"},
    {"cp1258", "windows-1258"},
    {"cp819", "windows-1252"},
    {"cp866", "IBM866"},
    {"csbig5", "Big5"},
    {"cseuckr", "EUC-KR"},
    {"cseucpkdfmtjapanese", "EUC-JP"},
    {"csgb2312", "GBK"},
    {"csibm866", "IBM866"},
    {"csiso2022jp", "ISO-2022-JP"},
    {"csiso2022kr", "replacement"},
    {"csiso58gb231280", "GBK"},
    {"csiso88596e", "ISO-8859-6"},
    {"csiso88596i", "ISO-8859-6"},
    {"csiso88598e", "ISO-8859-8"},
    {"csiso88598i", "ISO-8859-8-I"},
    {"csisolatin1", "windows-1252"},
    {"csisolatin2", "ISO-8859-2"},
    {"csisolatin3", "ISO-8859-3"},
    {"csisolatin4", "ISO-8859-4"},
    {"csisolatin5", "windows-1254"},
    {"csisolatin6", "ISO-8859-10"},
    {"csisolatin9", "ISO-8859-15"},
    {"csisolatinarabic", "ISO-8859-6"},
    {"csisolatincyrillic", "ISO-8859-5"},
    {"csisolatingreek", "ISO-8859-7"},
    {"csisolatinhebrew", "ISO-8859-8"},
    {"cskoi8r", "KOI8-R"},
    {"csksc56011987", "EUC-KR"},
    {"csmacintosh", "macintosh"},
    {"csshiftjis", "Shift_JIS"},
    {"csunicode", "UTF-16LE"},
    {"cyrillic", "ISO-8859-5"},
    {"dos-874", "windows-874"},
    {"ecma-114", "ISO-8859-6"},
    {"ecma-118", "ISO-8859-7"},
    {"elot_928", "ISO-8859-7"},
    {"euc-jp", "EUC-JP"},
    {"euc-kr", "EUC-KR"},
    {"gb18030", "gb18030"},
    {"gb2312", "GBK"},
    {"gb_2312", "GBK"},
    {"gb_2312-80", "GBK"},
    {"gbk", "GBK"},
    {"greek", "ISO-8859-7"},
    {"greek8", "ISO-8859-7"},
    {"hebrew", "ISO-8859-8"},
    {"hz-gb-2312", "replacement"},
    {"ibm819", "windows-1252"},
    {"ibm866", "IBM866"},
    {"iso-10646-ucs-2", "UTF-16LE"},
    {"iso-2022-cn", "replacement"},
    {"iso-2022-cn-ext", "replacement"},
    {"iso-2022-jp", "ISO-2022-JP"},
    {"iso-2022-kr", "replacement"},
    {"iso-8859-1", "windows-1252"},
    {"iso-8859-10", "ISO-8859-10"},
    {"iso-8859-11", "windows-874"},
    {"iso-8859-13", "ISO-8859-13"},
    {"iso-8859-14", "ISO-8859-14"},
    {"iso-8859-15", "ISO-8859-15"},
    {"iso-8859-16", "ISO-8859-16"},
    {"iso-8859-2", "ISO-8859-2"},
    {"iso-8859-3", "ISO-8859-3"},
    {"iso-8859-4", "ISO-8859-4"},
    {"iso-8859-5", "ISO-8859-5"},
    {"iso-8859-6", "ISO-8859-6"},
    {"iso-8859-6-e", "ISO-8859-6"},
    {"iso-8859-6-i", "ISO-8859-6"},
    {"iso-8859-7", "ISO-8859-7"},
    {"iso-8859-8", "ISO-8859-8"},
    {"iso-8859-8-e", "ISO-8859-8"},
    {"iso-8859-8-i", "ISO-8859-8-I"},
    {"iso-8859-9", "windows-1254"},
    {"iso-ir-100", "windows-1252"},
    {"iso-ir-101", "ISO-8859-2"},
    {"iso-ir-109", "ISO-8859-3"},
    {"iso-ir-110", "ISO-8859-4"},
    {"iso-ir-126", "ISO-8859-7"},
    {"iso-ir-127", "ISO-8859-6"},
    {"iso-ir-138", "ISO-8859-8"},
    {"iso-ir-144", "ISO-8859-5"},
    {"iso-ir-148", "windows-1254"},
    {"iso-ir-149", "EUC-KR"},
    {"iso-ir-157", "ISO-8859-10"},
    {"iso-ir-58", "GBK"},
    {"iso8859-1", "windows-1252"},
    {"iso8859-10", "ISO-8859-10"},
    {"iso8859-11", "windows-874"},
    {"iso8859-13", "ISO-8859-13"},
    {"iso8859-14", "ISO-8859-14"},
    {"iso8859-15", "ISO-8859-15"},
    {"iso8859-2", "ISO-8859-2"},
    {"iso8859-3", "ISO-8859-3"},
    {"iso8859-4", "ISO-8859-4"},
    {"iso8859-5", "ISO-8859-5"},
    {"iso8859-6", "ISO-8859-6"},
    {"iso8859-7", "ISO-8859-7"},
    {"iso8859-8", "ISO-8859-8"},
    {"iso8859-9", "windows-1254"},
    {"iso88591", "windows-1252"},
    {"iso885910", "ISO-8859-10"},
    {"iso885911", "windows-874"},
    {"iso885913", "ISO-8859-13"},
    {"iso885914", "ISO-8859-14"},
    {"iso885915", "ISO-8859-15"},
    {"iso88592", "ISO-8859-2"},
    {"iso88593", "ISO-8859-3"},
    {"iso88594", "ISO-8859-4"},
    {"iso88595", "ISO-8859-5"},
    {"iso88596", "ISO-8859-6"},
    {"iso88597", "ISO-8859-7"},
    {"iso88598", "ISO-8859-8"},
    {"iso88599", "windows-1254"},
    {"iso_8859-1", "windows-1252"},
    {"iso_8859-15", "ISO-8859-15"},
    {"iso_8859-1:1987", "windows-1252"},
    {"iso_8859-2", "ISO-8859-2"},
    {"iso_8859-2:1987", "ISO-8859-2"},
    {"iso_8859-3", "ISO-8859-3"},
    {"iso_8859-3:1988", "ISO-8859-3"},
    {"iso_8859-4", "ISO-8859-4"},
    {"iso_8859-4:1988", "ISO-8859-4"},
    {"iso_8859-5", "ISO-8859-5"},
    {"iso_8859-5:1988", "ISO-8859-5"},
    {"iso_8859-6", "ISO-8859-6"},
    {"iso_8859-6:1987", "ISO-8859-6"},
    {"iso_8859-7", "ISO-8859-7"},
    {"iso_8859-7:1987", "ISO-8859-7"},
    {"iso_8859-8", "ISO-8859-8"},
    {"iso_8859-8:1988", "ISO-8859-8"},
    {"iso_8859-9", "windows-1254"},
    {"iso_8859-9:1989", "windows-1254"},
    {"koi", "KOI8-R"},
    {"koi8", "KOI8-R"},
    {"koi8-r", "KOI8-R"},
    {"koi8-ru", "KOI8-U"},
    {"koi8-u", "KOI8-U"},
    {"koi8_r", "KOI8-R"},
    {"korean", "EUC-KR"},
    {"ks_c_5601-1987", "EUC-KR"},
    {"ks_c_5601-1989", "EUC-KR"},
    {"ksc5601", "EUC-KR"},
    {"ksc_5601", "EUC-KR"},
    {"l1", "windows-1252"},
    {"l2", "ISO-8859-2"},
    {"l3", "ISO-8859-3"},
    {"l4", "ISO-8859-4"},
    {"l5", "windows-1254"},
    {"l6", "ISO-8859-10"},
    {"l9", "ISO-8859-15"},
    {"latin1", "windows-1252"},
    {"latin2", "ISO-8859-2"},
    {"latin3", "ISO-8859-3"},
    {"latin4", "ISO-8859-4"},
    {"latin5", "windows-1254"},
    {"latin6", "ISO-8859-10"},
    {"logical", "ISO-8859-8-I"},
    {"mac", "macintosh"},
    {"macintosh", "macintosh"},
    {"ms932", "Shift_JIS"},
    {"ms_kanji", "Shift_JIS"},
    {"replacement", "replacement"},
    {"shift-jis", "Shift_JIS"},
    {"shift_jis", "Shift_JIS"},
    {"sjis", "Shift_JIS"},
    {"sun_eu_greek", "ISO-8859-7"},
    {"tis-620", "windows-874"},
    {"ucs-2", "UTF-16LE"},
    {"unicode", "UTF-16LE"},
    {"unicode-1-1-utf-8", "UTF-8"},
    {"unicode11utf8", "UTF-8"},
    {"unicode20utf8", "UTF-8"},
    {"unicodefeff", "UTF-16LE"},
    {"unicodefffe", "UTF-16BE"},
    {"us-ascii", "windows-1252"},
    {"utf-16", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"},
    {"utf-16le", "UTF-16LE"},
    {"utf-8", "UTF-8"},
    {"utf8", "UTF-8"},
    {"visual", "ISO-8859-8"},
    {"windows-1250", "windows-1250"},
    {"windows-1251", "windows-1251"},
    {"windows-1252", "windows-1252"},
    {"windows-1253", "windows-1253"},
    {"windows-1254", "windows-1254"},
    {"windows-1255", "windows-1255"},
    {"windows-1256", "windows-1256"},
    {"windows-1257", "windows-1257"},
    {"windows-1258", "windows-1258"},
    {"windows-31j", "Shift_JIS"},
    {"windows-874", "windows-874"},
    {"windows-949", "EUC-KR"},
    {"x-cp1250", "windows-1250"},
    {"x-cp1251", "windows-1251"},
    {"x-cp1252", "windows-1252"},
    {"x-cp1253", "windows-1253"},
    {"x-cp1254", "windows-1254"},
    {"x-cp1255", "windows-1255"},
    {"x-cp1256", "windows-1256"},
    {"x-cp1257", "windows-1257"},
    {"x-cp1258", "windows-1258"},
    {"x-euc-jp", "EUC-JP"},
    {"x-gbk", "GBK"},
    {"x-mac-cyrillic", "x-mac-cyrillic"},
    {"x-mac-roman", "macintosh"},
    {"x-mac-ukrainian", "x-mac-cyrillic"},
    {"x-sjis", "Shift_JIS"},
    {"x-unicode20utf8", "UTF-8"},
    {"x-user-defined", "x-user-defined"},
    {"x-x-big5", "Big5"},
}};

// The iconv name of an encoding of the standard; empty for "replacement" and
// "x-user-defined", which no page of ours is read in (their label is passed over).
std::string IconvNameOfEncoding(std::string_view encoding) {
  if (encoding == "replacement" || encoding == "x-user-defined") return {};
  // Where the standard's encoding is a superset iconv names otherwise.
  if (encoding == "Shift_JIS") return "CP932";
  if (encoding == "EUC-KR") return "CP949";
  if (encoding == "Big5") return "BIG5-HKSCS";
  if (encoding == "ISO-8859-8-I") return "ISO-8859-8";
  if (encoding == "x-mac-cyrillic") return "MAC-CYRILLIC";
  std::string upper(encoding);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

// The iconv name of a character-set label, or empty when the standard has no such label.
std::string IconvName(std::string_view label) {
  return IconvNameOfEncoding(WhatwgEncodingOfLabel(Trim(label)));
}

// Whether bytes that are not all UTF-8 are still read as UTF-8: they hold more valid multi-byte
// characters than bytes that fit none (a page of UTF-8 with a few stray bytes). A page in a
// single-byte set has its bytes above 127 alone, which UTF-8 never allows.
bool MostlyUtf8(std::string_view body) {
  std::size_t valid = 0;
  std::size_t stray = 0;
  for (std::size_t i = 0; i < body.size();) {
    const auto lead = static_cast<unsigned char>(body[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length != 0 && i + length <= body.size() && IsValidUtf8(body.substr(i, length))) {
      ++valid;
      i += length;
    } else {
      ++stray;
      ++i;
    }
  }
  return valid > stray;
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
  return IsValidUtf8(body) || MostlyUtf8(body) ? "UTF-8" : "WINDOWS-1252";
}

std::string_view WhatwgEncodingOfLabel(std::string_view label) {
  constexpr std::string_view kBlanks = " \t\n\f\r";
  const std::size_t first = label.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  label = label.substr(first, label.find_last_not_of(kBlanks) - first + 1);
  const std::string lower = Lower(label);
  const auto at = std::lower_bound(
      kLabels.begin(), kLabels.end(), lower,
      [](const LabelEncoding& entry, const std::string& key) { return entry.label < key; });
  return at != kLabels.end() && at->label == lower ? at->encoding : std::string_view();
}

std::string PageToUtf8(std::string_view body, std::string_view contentType) {
  const std::string charset = PageCharset(body, contentType);
  const std::string bom = BomCharset(body);
  if (!bom.empty() && bom == charset) body.remove_prefix(bom == "UTF-8" ? 3 : 2);
  if (charset == "UTF-8") return IsValidUtf8(body) ? std::string(body) : ReplaceInvalidUtf8(body);
  return Convert(body, charset);
}

}  // namespace quillmark
