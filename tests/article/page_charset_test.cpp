#include "article/page_charset.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace quillmark
