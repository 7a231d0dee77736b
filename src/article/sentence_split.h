#pragma once
// Cutting a paragraph of running text into sentences as a reader sees them.

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The sentences of `paragraph` (UTF-8), in order, each trimmed, white space inside collapsed
// to one space. A sentence ends at '.', '?', '!' or an ellipsis, with any closing quotes or
// brackets behind it, where white space and then a capital letter, a digit or an opening quote
// or bracket follow; the paragraph's end always ends one. A full stop does not end a sentence
// after a title or a common abbreviation (Mr., Dr., Jan., Inc., No., U.S.), after an initial
// (J. K. Rowling), inside a number (3.5, 4.30) or before a lower-case word (4 p.m. on Monday).
// Digits, hyphens, quotes, apostrophes and dashes are kept as written.
std::vector<std::string> SplitSentences(std::string_view paragraph);

// The sentences of every paragraph in turn: the sentences a gathering keeps of an article.
std::vector<std::string> SentencesOf(const std::vector<std::string>& paragraphs);

// `text` with every run of white space (ASCII blanks and U+00A0) made one space, and none at
// either end.
std::string CollapseWhiteSpace(std::string_view text);

}  // namespace quillmark
