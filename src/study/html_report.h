#pragma once
// The HTML report of the last gathering run, as the bytes of its file, and the small HTML
// writer it is built with.
//
// Nothing is escaped anywhere: an '&', '<' or '"' in a word, a site address or a content is
// written as it is. The report's own Japanese texts are Shift-JIS; words and addresses are
// the stores' bytes. The file declares no character set and has no byte-order mark.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "study/run_figures.h"
#include "text/word_types.h"

namespace quillmark {

// Returns "<" tag ">\n\t" + content + "\r\n</" tag ">\n", every LF of `content` followed by a
// tab (CR is copied as it is).
std::string HtmlElement(std::string_view tag, std::string_view content);

// Returns "<" tag " " attributes ">\n\t" + content + "\n</" tag ">\n", every LF of `content`
// turned into CR LF TAB (so a CR LF inside becomes CR CR LF TAB). Note the two differences
// from HtmlElement: the line-feed replacement and the bytes after the content.
std::string HtmlElementWithAttributes(std::string_view tag, std::string_view attributes,
                                      std::string_view content);

// Returns HtmlElementWithAttributes("a", "href=\"" href "\"", text).
std::string HtmlAnchor(std::string_view href, std::string_view text);

// Returns `text` cut into lines, each followed by CR LF, the last one included. A line ends
// at CR, at LF, or at CR LF taken as one; so CR CR LF ends a line and then an empty one. A
// line break at the very end adds no empty line.
std::string WithCrLfLines(std::string_view text);

// Returns the bytes of the report file: the figures line and one table row per word, read
// from the end of `ranking` (most frequent first) with a link to its LYCOS dictionary
// address, then one link per site address in the given order. Words on `ngWords` get no
// row and do not count; at most 2 × itemViewCount + 1 rows are written (none when
// itemViewCount is negative). A site address found in `articlesRead` (the articles of the day
// the run read from it) has the count after its link: " 記事3件". Changes nothing.
std::string WriteHtmlReport(const RunFigures& figures, const RankedWordList& ranking,
                            const std::set<std::string>& ngWords, std::int32_t itemViewCount,
                            const std::vector<std::string>& sites,
                            const std::map<std::string, std::int32_t>& articlesRead = {});

}  // namespace quillmark
