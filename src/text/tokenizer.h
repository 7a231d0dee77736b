#pragma once
// Cutting gathered text into upper-case English words.
//
// Every text is a byte string; nothing is decoded. A byte of 0x80 or above is
// never a letter, so Shift-JIS text passes through as bytes and never forms words.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/ascii_case.h"  // UpperCaseAscii, the third text helper
#include "text/word_types.h"

namespace quillmark {

using TokenList = std::vector<std::string>;

// The 17 bytes that cut a text into words: colon, comma, full stop, exclamation mark,
// double quote, ampersand, both parentheses, both curly braces, less-than, greater-than,
// question mark, space, CR, LF and TAB. Apostrophe, hyphen, semicolon, slash, square
// brackets and digits are not among them: a token holding one is dropped whole.
inline constexpr std::string_view WordSeparators{":,.!\"&(){}<>? \r\n\t", 17};

// Cuts `text` at every byte that occurs in `separators` (used as a set of bytes).
// Every separator ends a token, also an empty one, so two separators in a row give
// an empty token between them and a leading separator gives an empty first token;
// a trailing separator gives no empty last token. The empty text gives no token.
TokenList SplitText(std::string_view text, std::string_view separators);

// Returns `text` without leading and trailing spaces (0x20 only: tabs, CR and LF stay).
std::string TrimBlanks(std::string_view text);

// Returns, in order, the tokens whose upper-cased form holds only 'A'..'Z'. The tokens
// are kept as given (not upper-cased). The empty token passes: it has no failing byte.
TokenList KeepAlphabetic(const TokenList& tokens);

// Counts the words of `text` into `tally`: the text is upper-cased, cut at
// WordSeparators, tokens that are not purely alphabetic are dropped, and every kept
// token (the empty one included) gets +1 in the tally, entered with 0 first when new.
// Adds the number of kept tokens to `tokenCounter`.
// Example: "Hello, world." adds HELLO, '' and WORLD once each and 3 to the counter.
// Not reentrant: it upper-cases into one working buffer per thread, reused by every call.
void CountWords(WordTally& tally, std::string_view text, std::int32_t& tokenCounter);

}  // namespace quillmark
