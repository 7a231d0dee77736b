#include "cli/reading_commands.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "cli/cli_output.h"
#include "cli/run_result.h"
#include "session/kept_articles.h"
#include "study/known_share.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

// A field of a tab-separated line.
std::string OneField(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

std::string StandingText(const ArticleStanding& standing) {
  return "known share: " + PercentText(standing.knownShareTenths) + "% (" +
         std::to_string(standing.runningWords) + " words, " +
         std::to_string(standing.unknownWords) + " unknown)";
}

// Writes `text` as it is: its parts were made printable before the escapes went in.
bool WriteRaw(std::FILE* stream, const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written;
}

}  // namespace

const char* ReadabilityName(Readability readability) {
  switch (readability) {
    case Readability::kEasy:
      return "easy";
    case Readability::kWithDictionary:
      return "dictionary";
    case Readability::kHard:
      break;
  }
  return "hard";
}

std::string FormatArticles(const std::vector<ArticleRow>& rows, ResultFormat format) {
  std::string out;
  if (format != ResultFormat::kJson) {
    out = "# number\tknown share\treadability\twords\tunknown words\tdate\tsite\ttitle\taddress\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const ArticleEntry& entry = rows[i].entry;
      const ArticleStanding& standing = rows[i].standing;
      out += std::to_string(i + 1) + "\t" + PercentText(standing.knownShareTenths) + "\t" +
             ReadabilityName(ReadabilityOf(standing.knownShareTenths)) + "\t" +
             std::to_string(standing.runningWords) + "\t" + std::to_string(standing.unknownWords) +
             "\t" + OneField(entry.date) + "\t" + OneField(entry.site) + "\t" +
             OneField(entry.title) + "\t" + OneField(entry.address) + "\n";
    }
    return out;
  }
  out = "{\"articles\": [";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ArticleEntry& entry = rows[i].entry;
    const ArticleStanding& standing = rows[i].standing;
    out += (i == 0 ? "\n  " : ",\n  ");
    out += "{\"number\": " + std::to_string(i + 1) +
           ", \"knownShare\": " + PercentText(standing.knownShareTenths) + ", \"readability\": \"" +
           ReadabilityName(ReadabilityOf(standing.knownShareTenths)) +
           "\", \"words\": " + std::to_string(standing.runningWords) +
           ", \"unknownWords\": " + std::to_string(standing.unknownWords) +
           ", \"date\": " + JsonString(entry.date) + ", \"site\": " + JsonString(entry.site) +
           ", \"title\": " + JsonString(entry.title) +
           ", \"address\": " + JsonString(entry.address) + "}";
  }
  return out + "]}\n";
}

std::string FormatReading(const KeptArticle& article, const ArticleWords& words,
                          const std::set<std::string>& knownWords, ResultFormat format,
                          UnknownMark mark, const std::set<std::string>& leftOut) {
  const ArticleStanding standing = StandingOf(words.counts, knownWords, leftOut);
  if (format == ResultFormat::kJson) {
    std::string out =
        "{\"address\": " + JsonString(article.address) +
        ", \"title\": " + JsonString(article.title) + ", \"site\": " + JsonString(article.site) +
        ", \"date\": " + JsonString(article.date) +
        ",\n \"knownShare\": " + PercentText(standing.knownShareTenths) +
        ", \"words\": " + std::to_string(standing.runningWords) +
        ", \"unknownWords\": " + std::to_string(standing.unknownWords) + ",\n \"paragraphs\": [";
    for (std::size_t p = 0; p < article.paragraphs.size(); ++p) {
      out += (p == 0 ? "\n  [" : ",\n  [");
      const std::vector<TextPiece> pieces = CutIntoPieces(article.paragraphs[p]);
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        out += (i == 0 ? "" : ", ");
        out += "{\"text\": " + JsonString(pieces[i].text);
        if (pieces[i].word) {
          const std::string counted = CountedWordOf(pieces[i].text, words.baseOf);
          out += ", \"word\": " + JsonString(LowerCaseAscii(counted)) +
                 ", \"unknown\": " + (knownWords.contains(counted) ? "false" : "true");
        }
        out += "}";
      }
      out += "]";
    }
    return out + "]}\n";
  }
  std::string out = PrintableLines(OneField(article.title)) + "\n" +
                    PrintableLines(OneField(article.site) + "  " + OneField(article.date)) + "\n" +
                    PrintableLines(OneField(article.address)) + "\n" + StandingText(standing) +
                    "\n";
  for (const std::string& paragraph : article.paragraphs) {
    out += "\n";
    for (const TextPiece& piece : CutIntoPieces(OneField(paragraph))) {
      const std::string text = PrintableLines(piece.text);
      if (piece.word && !knownWords.contains(CountedWordOf(piece.text, words.baseOf))) {
        out += mark == UnknownMark::kUnderline ? "\033[4m" + text + "\033[24m" : "[" + text + "]";
      } else {
        out += text;
      }
    }
    out += "\n";
  }
  return out;
}

namespace {

// The listed articles against the session's known words, most readable first.
std::vector<ArticleRow> ArticleRows(RunHistory& history, Session& session, std::int32_t days) {
  std::vector<ArticleEntry> entries = ListedArticles(history, days);
  std::set<std::string> words;
  for (const auto& entry : entries) {
    for (const auto& counted : entry.words) words.insert(counted.word);
  }
  return RowsMostReadableFirst(std::move(entries), session.KnownWords(),
                               session.LeftOutOfShare(words));
}

std::set<std::string> WordsOf(const ArticleWords& words) {
  std::set<std::string> result;
  for (const auto& counted : words.counts) result.insert(counted.word);
  return result;
}

}  // namespace

int PrintArticles(RunHistory& history, Session& session, std::int32_t days, ResultFormat format) {
  const std::vector<ArticleRow> rows = ArticleRows(history, session, days);
  if (!Print(stdout, FormatArticles(rows, format))) {
    Print(stderr, std::string(kOutputFailedMessage) + "\n");
    return 1;
  }
  return rows.empty() ? 1 : 0;
}

int PrintReading(RunHistory& history, Session& session, const std::string& address,
                 std::int32_t days, ResultFormat format) {
  std::string chosen = address;
  std::size_t number = 0;
  const auto [end, error] =
      std::from_chars(address.data(), address.data() + address.size(), number);
  if (error == std::errc() && end == address.data() + address.size()) {
    // Only the standings of the table are made, not the table (the list may be long); with a
    // level, what the share leaves out depends on all the table's words, so the table is made.
    std::optional<std::string> numbered;
    if (session.Stores().configuration.vocabularyLevel <= 0) {
      numbered = AddressOfListedArticle(history, session.KnownWords(), days, number);
    } else if (std::vector<ArticleRow> rows = ArticleRows(history, session, days);
               number >= 1 && number <= rows.size()) {
      numbered = std::move(rows[number - 1].entry.address);
    }
    if (!numbered) {
      Print(stderr,
            "quillmark-cli: no article number " + address + " (see quillmark-cli articles)\n");
      return 1;
    }
    chosen = std::move(*numbered);
  }
  const std::optional<KeptArticle> article = history.ArticleAt(chosen);
  if (!article) {
    Print(stderr, "quillmark-cli: no article kept for " + chosen + "\n");
    return 1;
  }
  const ArticleWords words = KeptArticleWords(
      ArticleWordCounter(session.Stores().mappedWords, session.Dictionary()), *article);
  const bool underline =
      format != ResultFormat::kJson &&
      UnderlineWanted(::isatty(STDOUT_FILENO) == 1, std::getenv("TERM"), std::getenv("NO_COLOR"));
  const std::string out =
      FormatReading(*article, words, session.KnownWords(), format,
                    underline ? UnknownMark::kUnderline : UnknownMark::kBrackets,
                    session.LeftOutOfShare(WordsOf(words)));
  if (WriteRaw(stdout, out)) return 0;
  Print(stderr, std::string(kOutputFailedMessage) + "\n");
  return 1;
}

}  // namespace quillmark
