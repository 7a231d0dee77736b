#include "study/html_report.h"

#include "study/web_dictionary.h"
#include "text/shift_jis.h"

namespace quillmark {
namespace {

// The report's Japanese texts, in the Shift-JIS the file is read as.
struct ReportTexts {
  std::string dataSize = Utf8ToShiftJis("集計対象データ:");
  std::string bytes = Utf8ToShiftJis("バイト<br>");
  std::string wordsBefore = Utf8ToShiftJis("集計対象語数:");
  std::string wordsAfter = Utf8ToShiftJis("集計後語数:");
  std::string words = Utf8ToShiftJis("語<br>");
  std::string dictionaryLink = Utf8ToShiftJis("webライコスディクショナリ");
  std::string searchedSites = Utf8ToShiftJis("探索対象サイト<br>\r\n");
  std::string articlesRead = Utf8ToShiftJis(" 記事");
  std::string articlesReadEnd = Utf8ToShiftJis("件");
};

const ReportTexts& Texts() {
  static const ReportTexts texts;
  return texts;
}

// The row text is collected in one string given this much room before the first row.
constexpr std::size_t kRowTextCapacity = 100000;

std::string ReplaceLineFeeds(std::string_view content, std::string_view replacement) {
  std::string replaced;
  replaced.reserve(content.size());
  for (char byte : content) {
    if (byte == '\n') {
      replaced += replacement;
    } else {
      replaced += byte;
    }
  }
  return replaced;
}

void AppendRow(std::string& rows, const std::string& word, std::int32_t count) {
  rows += "<tr><td>";
  rows += word;
  rows += "</td><td>";
  rows += std::to_string(count);
  rows += "</td><td><a href=\"";
  rows += WebDictionaryAddress(WebDictionary::kLycos, word);
  rows += "\">";
  rows += Texts().dictionaryLink;
  rows += "</a></td>\r\n</tr>";
}

}  // namespace

std::string HtmlElement(std::string_view tag, std::string_view content) {
  std::string element = "<";
  element += tag;
  element += ">\n\t";
  element += ReplaceLineFeeds(content, "\n\t");
  element += "\r\n</";
  element += tag;
  element += ">\n";
  return element;
}

std::string HtmlElementWithAttributes(std::string_view tag, std::string_view attributes,
                                      std::string_view content) {
  std::string element = "<";
  element += tag;
  element += ' ';
  element += attributes;
  element += ">\n\t";
  element += ReplaceLineFeeds(content, "\r\n\t");
  element += "\n</";
  element += tag;
  element += ">\n";
  return element;
}

std::string HtmlAnchor(std::string_view href, std::string_view text) {
  std::string attributes = "href=\"";
  attributes += href;
  attributes += '"';
  return HtmlElementWithAttributes("a", attributes, text);
}

std::string WithCrLfLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 16 + 2);
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.append(text.substr(start, i - start));
    lines += "\r\n";
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) {
    lines.append(text.substr(start));
    lines += "\r\n";
  }
  return lines;
}

std::string WriteHtmlReport(const RunFigures& figures, const RankedWordList& ranking,
                            const std::set<std::string>& ngWords, std::int32_t itemViewCount,
                            const std::vector<std::string>& sites,
                            const std::map<std::string, std::int32_t>& articlesRead) {
  const ReportTexts& texts = Texts();
  std::string rows;
  rows.reserve(kRowTextCapacity);
  // The data size is the unsigned figure the status bar shows too; read as signed, a run of
  // 2 GiB or more would report a negative size.
  rows += texts.dataSize + std::to_string(figures.dataSize) + texts.bytes;
  rows += texts.wordsBefore + std::to_string(figures.wordsBeforeAggregation) + texts.words;
  rows += texts.wordsAfter + std::to_string(figures.wordsAfterAggregation) + texts.words;

  // 64 bits, so a huge ItemViewCount from the configuration file cannot overflow the bound.
  // The test comes before the count goes up, so one row more than twice the count is written.
  const std::int64_t lastRow = 2 * static_cast<std::int64_t>(itemViewCount);
  std::int64_t written = 0;
  for (auto entry = ranking.rbegin(); entry != ranking.rend(); ++entry) {
    if (ngWords.count(entry->first) != 0) continue;
    if (written > lastRow) break;
    ++written;
    AppendRow(rows, entry->first, entry->second);
  }

  std::string siteText = texts.searchedSites;
  for (const std::string& site : sites) {
    siteText += HtmlAnchor(site, site);
    if (const auto read = articlesRead.find(site); read != articlesRead.end()) {
      siteText += texts.articlesRead + std::to_string(read->second) + texts.articlesReadEnd;
    }
    siteText += "<br>\r\n";
  }
  siteText += "<br>";

  const std::string body =
      HtmlElement("body", HtmlElementWithAttributes("table", "border=1", rows) + siteText);
  const std::string head = HtmlElement("head", HtmlElement("title", "Quillmark"));
  return WithCrLfLines(HtmlElement("html", head + body));
}

}  // namespace quillmark
