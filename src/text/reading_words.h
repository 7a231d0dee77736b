#pragma once
// The words of an article's text as a reader sees them: today's typography (curly quotes,
// dashes, ellipses, the right single quote as an apostrophe) separates or joins words as it
// does on the page, a possessive or contraction counts as its word, and a hyphenated compound
// as its parts. Only the article reading counts so; a page read whole keeps the designed
// tokenizer (tokenizer.h), byte for byte.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/word_types.h"

namespace quillmark {

class CountingTally;

// How a run's sentences are cut into words: as designed (a page read whole), or as the article
// reading reads them (ReadingWordText).
enum class WordReading { kDesigned, kArticle };

// `text` rewritten so that the designed tokenizer (CountWords) counts the words a reader sees:
//  - curly double quotes, guillemets, dashes (– — ―), the ellipsis (…), the no-break space and
//    other punctuation outside ASCII, and the ASCII marks that are neither letters, digits,
//    apostrophes nor hyphens (; / [ ] * …) become one space each;
//  - a right or left single quote between two letters is an apostrophe ('), elsewhere a quote
//    (a space);
//  - a possessive or contraction counts as its word, and an unambiguous contraction adds the
//    word it stands for: Trump's and parents' -> Trump, parents; it's, he'd -> it, he (the 's
//    and 'd say is/has and had/would alike, so neither is guessed); don't -> do not, can't ->
//    can not, won't -> will not; we're, I've, she'll, I'm -> we are, I have, she will, I am.
//    Counting "don't" as DO and NOT keeps every counted word to letters alone, the words the
//    list, the dictionary and the marks already know;
//  - a hyphen between letters parts the compound (long-drawn-out -> long drawn out) unless the
//    built-in dictionary knows the compound (well-known, e-mail: IsKnownCompound), which then
//    counts as one word, hyphen and all; a hyphen elsewhere (a dash written "--", a leading or
//    trailing one) is a space.
// A word holding a digit or a letter outside ASCII is left as written (the tokenizer drops it,
// as designed). Text without any of these marks comes back unchanged.
std::string ReadingWordText(std::string_view text);

// Whether `word` (any letter case) is a hyphenated compound of the built-in dictionary
// (resources/EJDICT, read at build time): well-known, e-mail, so-called.
bool IsKnownCompound(std::string_view word);

// The words of `text` as the article reading counts them, as written (case kept), in order:
// ReadingWordText cut at WordSeparators, the empty tokens and the dropped ones left out.
std::vector<std::string> ReadingWords(std::string_view text);

// CountWords over ReadingWordText(text), a known compound counted as one word (WELL-KNOWN).
void CountReadingWords(WordTally& tally, std::string_view text, std::int32_t& tokenCounter);
void CountReadingWords(CountingTally& tally, std::string_view text, std::int32_t& tokenCounter);

}  // namespace quillmark
