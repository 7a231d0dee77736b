#pragma once
// Cutting a paragraph of running text into sentences as a reader sees them.

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The sentences of `paragraph` (UTF-8), in order, each trimmed, white space inside collapsed
// to one space. A sentence ends at '.', '?', '!' or an ellipsis, with any closing quotes or
// brackets behind it, where white space and then a capital letter, a digit or an opening quote
// or bracket follow; the paragraph's end always ends one. Where a reader would read on:
//  - a full stop after a title (Mr., Dr., Gov.) never ends one; after another abbreviation or
//    an initial (Inc., Jan., fig., J., U.S.) only when a capitalised word that begins
//    sentences follows (The, It, However …): "moved to the U.K. Its staff followed." ends
//    twice, "J. K. Rowling" and "See fig. 4 below." not at all;
//  - a full stop inside a number (3.5, 4.30) or before a lower-case word (4 p.m. on Monday);
//  - an ellipsis ("...", ". . .", "…") ends one only before a capitalised word other than "I";
//    a full stop and an ellipsis (". . . .") before any sentence start;
//  - a short parenthesis without a stop inside that ends the paragraph or comes before a stop
//    stays with the sentence before it, as a citation: "… stairways." (Smith 55).
// Items of a list written in one paragraph ("1) Cut costs 2) Hire staff", "a. One b. Two",
// "• 9. Nine • 10. Ten") each start a sentence, at their marker or its bullet, when a marker of
// the same kind numbered next to it is there too; the marker's own stop ends nothing.
// Digits, hyphens, quotes, apostrophes and dashes are kept as written.
std::vector<std::string> SplitSentences(std::string_view paragraph);

// The sentences of every paragraph in turn: the sentences a gathering keeps of an article.
std::vector<std::string> SentencesOf(const std::vector<std::string>& paragraphs);

// `text` with every run of white space (ASCII blanks and U+00A0) made one space, and none at
// either end.
std::string CollapseWhiteSpace(std::string_view text);

}  // namespace quillmark
