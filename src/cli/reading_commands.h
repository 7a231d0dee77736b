#pragma once
// quillmark-cli's side of the kept articles: `articles` (the table of the articles the last
// runs read, most readable first) and `read` (one article's text with the words the learner
// does not know marked), both from the history, without the network.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "session/run_history.h"
#include "session/session.h"
#include "study/article_words.h"

namespace quillmark {

// "easy" (98 % known or more), "dictionary" (95 % or more) or "hard".
const char* ReadabilityName(Readability readability);

// tsv: "# number<TAB>known share<TAB>readability<TAB>words<TAB>unknown words<TAB>date<TAB>
// site<TAB>title<TAB>address", then one line per row in the order given, numbered from 1 (the
// number `read` takes). json: {"articles": [{...}]} with the same fields. Tabs and line
// breaks in a title become spaces. Every line ends with LF.
std::string FormatArticles(const std::vector<ArticleRow>& rows, ResultFormat format);

// How `read` marks a word not on the known list.
enum class UnknownMark { kBrackets, kUnderline };

// text: the title, "site  date", the address, "known share: 93.5% (412 words, 23 unknown)",
// then each paragraph after an empty line, every word not on `knownWords` as "[word]" (or
// underlined with the terminal's escapes); the texts made printable (PrintableLines) before
// any escape is added. json: one object with the article's fields, its standing and
// "paragraphs": [[{"text": ..., "word": "run", "unknown": true}, {"text": " "}...]...] (each
// word with the word it counts under, lower case). `words` are the article's words counted
// with the session's lists (ArticleWordCounter). The words of `leftOut` stay out of the
// known share (StandingOf).
std::string FormatReading(const KeptArticle& article, const ArticleWords& words,
                          const std::set<std::string>& knownWords, ResultFormat format,
                          UnknownMark mark, const std::set<std::string>& leftOut = {});

// `articles`: prints the table of ListedArticles(history, days) against the session's known
// words (Session::KnownWords, its LeftOutOfShare left out of the share). Returns 1 when there
// is no article. Throws HistoryError.
int PrintArticles(RunHistory& history, Session& session, std::int32_t days, ResultFormat format);

// `read`: prints the article at `address`, or at row `address` of the table `articles`
// prints with the same `days` when it is a whole number. Returns 1, said on standard error,
// when no such article is kept. Throws HistoryError.
int PrintReading(RunHistory& history, Session& session, const std::string& address,
                 std::int32_t days, ResultFormat format);

}  // namespace quillmark
