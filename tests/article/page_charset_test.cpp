#include "article/page_charset.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace quillmark {
namespace {

// "café" in each encoding the cases use.
const std::string kUtf8 = "caf\xC3\xA9";
const std::string kLatin = "caf\xE9";

TEST(PageCharset, TheHeaderThenTheMarkThenTheMetaThenTheBytesDecide) {
  const struct {
    const char* why;
    std::string body;
    std::string contentType;
    std::string charset;
  } cases[] = {
      {"the header wins over a meta", "<meta charset=utf-8>" + kLatin,
       "text/html; charset=ISO-8859-1", "WINDOWS-1252"},
      {"a quoted header value", kUtf8, "text/html;charset=\"utf-8\"", "UTF-8"},
      {"the header wins over a mark", "\xEF\xBB\xBF" + kLatin, "text/html; charset=latin1",
       "WINDOWS-1252"},
      {"blanks around the equals sign", "x", "text/html; charset = Windows-31J", "CP932"},
      {"an unknown header label is passed over", "<meta charset=shift_jis>",
       "text/html; charset=no-such-set", "CP932"},
      {"a UTF-8 mark over a meta", "\xEF\xBB\xBF<meta charset=euc-jp>", "", "UTF-8"},
      {"a UTF-16 mark", "\xFF\xFEh\0i\0", "text/html", "UTF-16LE"},
      {"meta charset", "<html><head><META CHARSET='Shift_JIS'>", "", "CP932"},
      {"meta http-equiv",
       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">", "", "EUC-JP"},
      {"a meta within the first 4,096 bytes", std::string(4000, ' ') + "<meta charset=euc-jp>", "",
       "EUC-JP"},
      {"a meta past the first 4,096 bytes is not seen",
       std::string(4100, ' ') + "<meta charset=euc-jp>", "", "UTF-8"},
      {"a page that says UTF-16 in ASCII is UTF-8", "<meta charset=utf-16>" + kUtf8, "", "UTF-8"},
      {"valid UTF-8 without a label", "<p>" + kUtf8, "", "UTF-8"},
      {"four-byte UTF-8", "\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", "", "UTF-8"},
      {"an overlong form is no UTF-8", "\xE0\x9F\xBF", "", "WINDOWS-1252"},
      {"a surrogate is no UTF-8", "\xED\xA0\x80", "", "WINDOWS-1252"},
      {"past U+10FFFF is no UTF-8", "\xF4\x90\x80\x80", "", "WINDOWS-1252"},
      {"a sequence cut at the end is no UTF-8", "ok\xE2\x80", "", "WINDOWS-1252"},
      {"other bytes without a label", "<p>" + kLatin, "", "WINDOWS-1252"},
      {"US-ASCII means Windows-1252", "x", "text/html; charset=us-ascii", "WINDOWS-1252"},
      {"iso8859-1 means Windows-1252", "x", "text/html; charset=iso8859-1", "WINDOWS-1252"},
      {"EUC-KR is its superset", "x", "text/html; charset=ks_c_5601-1987", "CP949"},
      {"a label only iconv knows is passed over", kLatin, "text/html; charset=cp932",
       "WINDOWS-1252"},
      {"the replacement encoding is passed over", kUtf8, "text/html; charset=iso-2022-kr", "UTF-8"},
      // UTF-8 with a few stray bytes is still UTF-8; a page of single bytes is not.
      {"one stray byte among curly quotes", "\xE2\x80\x9CHi\xE2\x80\x9D \x93 \xE2\x80\x99", "",
       "UTF-8"},
      {"as many stray bytes as characters", "\xE2\x80\x9CHi\x93\x94", "", "WINDOWS-1252"},
      {"curly quotes of Windows-1252", "\x93Hi\x94 caf\xE9", "", "WINDOWS-1252"},
  };
  for (const auto& c : cases) EXPECT_EQ(PageCharset(c.body, c.contentType), c.charset) << c.why;
}

TEST(PageToUtf8, ConvertsDropsTheMarkAndReplacesWhatIsNotOfTheSet) {
  const struct {
    const char* why;
    std::string body;
    std::string contentType;
    std::string utf8;
  } cases[] = {
      {"Windows-1252 quotes", "\x93hi\x94 " + kLatin, "", "\xE2\x80\x9Chi\xE2\x80\x9D " + kUtf8},
      {"Shift_JIS", "\x93\xFA\x96\x7B", "text/html; charset=Shift_JIS", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"EUC-JP", "\xC6\xFC\xCB\xDC", "text/html; charset=EUC-JP", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"a cut-off Shift_JIS byte", "a\x93", "text/html; charset=Shift_JIS", "a\xEF\xBF\xBD"},
      {"the UTF-8 mark goes", "\xEF\xBB\xBFok", "", "ok"},
      {"a UTF-8 mark under another header's charset is read as its characters", "\xEF\xBB\xBFok",
       "text/html; charset=windows-1252", "\xC3\xAF\xC2\xBB\xC2\xBFok"},
      {"UTF-16LE", std::string("\xFF\xFEh\0i\0", 6), "", "hi"},
      {"bad bytes in declared UTF-8",
       "a\xFF"
       "b",
       "text/html; charset=utf-8",
       "a\xEF\xBF\xBD"
       "b"},
  };
  for (const auto& c : cases) EXPECT_EQ(PageToUtf8(c.body, c.contentType), c.utf8) << c.why;
}

// Every label of the WHATWG Encoding Standard's encodings.json, each with the encoding it
// names; a label is matched without letter case or the blanks around it.
TEST(WhatwgEncodingOfLabel, EveryLabelOfTheStandardNamesItsEncoding) {
  const std::pair<std::string, std::vector<std::string>> encodings[] = {
      {"UTF-8",
       {"unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8", "x-unicode20utf8"}},
      {"IBM866", {"866", "cp866", "csibm866", "ibm866"}},
      {"ISO-8859-2",
       {"csisolatin2", "iso-8859-2", "iso-ir-101", "iso8859-2", "iso88592", "iso_8859-2",
        "iso_8859-2:1987", "l2", "latin2"}},
      {"ISO-8859-3",
       {"csisolatin3", "iso-8859-3", "iso-ir-109", "iso8859-3", "iso88593", "iso_8859-3",
        "iso_8859-3:1988", "l3", "latin3"}},
      {"ISO-8859-4",
       {"csisolatin4", "iso-8859-4", "iso-ir-110", "iso8859-4", "iso88594", "iso_8859-4",
        "iso_8859-4:1988", "l4", "latin4"}},
      {"ISO-8859-5",
       {"csisolatincyrillic", "cyrillic", "iso-8859-5", "iso-ir-144", "iso8859-5", "iso88595",
        "iso_8859-5", "iso_8859-5:1988"}},
      {"ISO-8859-6",
       {"arabic", "asmo-708", "csiso88596e", "csiso88596i", "csisolatinarabic", "ecma-114",
        "iso-8859-6", "iso-8859-6-e", "iso-8859-6-i", "iso-ir-127", "iso8859-6", "iso88596",
        "iso_8859-6", "iso_8859-6:1987"}},
      {"ISO-8859-7",
       {"csisolatingreek", "ecma-118", "elot_928", "greek", "greek8", "iso-8859-7", "iso-ir-126",
        "iso8859-7", "iso88597", "iso_8859-7", "iso_8859-7:1987", "sun_eu_greek"}},
      {"ISO-8859-8",
       {"csiso88598e", "csisolatinhebrew", "hebrew", "iso-8859-8", "iso-8859-8-e", "iso-ir-138",
        "iso8859-8", "iso88598", "iso_8859-8", "iso_8859-8:1988", "visual"}},
      {"ISO-8859-8-I", {"csiso88598i", "iso-8859-8-i", "logical"}},
      {"ISO-8859-10",
       {"csisolatin6", "iso-8859-10", "iso-ir-157", "iso8859-10", "iso885910", "l6", "latin6"}},
      {"ISO-8859-13", {"iso-8859-13", "iso8859-13", "iso885913"}},
      {"ISO-8859-14", {"iso-8859-14", "iso8859-14", "iso885914"}},
      {"ISO-8859-15",
       {"csisolatin9", "iso-8859-15", "iso8859-15", "iso885915", "iso_8859-15", "l9"}},
      {"ISO-8859-16", {"iso-8859-16"}},
      {"KOI8-R", {"cskoi8r", "koi", "koi8", "koi8-r", "koi8_r"}},
      {"KOI8-U", {"koi8-ru", "koi8-u"}},
      {"macintosh", {"csmacintosh", "mac", "macintosh", "x-mac-roman"}},
      {"windows-874",
       {"dos-874", "iso-8859-11", "iso8859-11", "iso885911", "tis-620", "windows-874"}},
      {"windows-1250", {"cp1250", "windows-1250", "x-cp1250"}},
      {"windows-1251", {"cp1251", "windows-1251", "x-cp1251"}},
      {"windows-1252",
       {"ansi_x3.4-1968", "ascii", "cp1252", "cp819", "csisolatin1", "ibm819", "iso-8859-1",
        "iso-ir-100", "iso8859-1", "iso88591", "iso_8859-1", "iso_8859-1:1987", "l1", "latin1",
        "us-ascii", "windows-1252", "x-cp1252"}},
      {"windows-1253", {"cp1253", "windows-1253", "x-cp1253"}},
      {"windows-1254",
       {"cp1254", "csisolatin5", "iso-8859-9", "iso-ir-148", "iso8859-9", "iso88599", "iso_8859-9",
        "iso_8859-9:1989", "l5", "latin5", "windows-1254", "x-cp1254"}},
      {"windows-1255", {"cp1255", "windows-1255", "x-cp1255"}},
      {"windows-1256", {"cp1256", "windows-1256", "x-cp1256"}},
      {"windows-1257", {"cp1257", "windows-1257", "x-cp1257"}},
      {"windows-1258", {"cp1258", "windows-1258", "x-cp1258"}},
      {"x-mac-cyrillic", {"x-mac-cyrillic", "x-mac-ukrainian"}},
      {"GBK",
       {"chinese", "csgb2312", "csiso58gb231280", "gb2312", "gb_2312", "gb_2312-80", "gbk",
        "iso-ir-58", "x-gbk"}},
      {"gb18030", {"gb18030"}},
      {"Big5", {"big5", "big5-hkscs", "cn-big5", "csbig5", "x-x-big5"}},
      {"EUC-JP", {"cseucpkdfmtjapanese", "euc-jp", "x-euc-jp"}},
      {"ISO-2022-JP", {"csiso2022jp", "iso-2022-jp"}},
      {"Shift_JIS",
       {"csshiftjis", "ms932", "ms_kanji", "shift-jis", "shift_jis", "sjis", "windows-31j",
        "x-sjis"}},
      {"EUC-KR",
       {"cseuckr", "csksc56011987", "euc-kr", "iso-ir-149", "korean", "ks_c_5601-1987",
        "ks_c_5601-1989", "ksc5601", "ksc_5601", "windows-949"}},
      {"replacement",
       {"csiso2022kr", "hz-gb-2312", "iso-2022-cn", "iso-2022-cn-ext", "iso-2022-kr",
        "replacement"}},
      {"UTF-16BE", {"unicodefffe", "utf-16be"}},
      {"UTF-16LE",
       {"csunicode", "iso-10646-ucs-2", "ucs-2", "unicode", "unicodefeff", "utf-16", "utf-16le"}},
      {"x-user-defined", {"x-user-defined"}},
  };
  std::size_t labels = 0;
  for (const auto& [encoding, names] : encodings) {
    for (const std::string& label : names) {
      EXPECT_EQ(WhatwgEncodingOfLabel(label), encoding) << label;
      ++labels;
    }
    std::string shouted = names.front();
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(WhatwgEncodingOfLabel(" \t" + shouted + "\n\f"), encoding) << shouted;
  }
  EXPECT_EQ(labels, 228u);
  for (const char* none : {"", "utf-7", "cp932", "eucjp", "latin-1", "utf 8", "\vutf-8"})
    EXPECT_EQ(WhatwgEncodingOfLabel(none), "") << none;
}

}  // namespace
}  // namespace quillmark
