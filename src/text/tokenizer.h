#pragma once
// Cutting gathered text into upper-case English words.
//
// Every text is a byte string; nothing is decoded. A byte of 0x80 or above is
// never a letter, so Shift-JIS text passes through as bytes and never forms words.

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

using TokenList = std::vector<std::string>;

// Cuts `text` at every byte that occurs in `separators` (used as a set of bytes).
// Every separator ends a token, also an empty one, so two separators in a row give
// an empty token between them and a leading separator gives an empty first token;
// a trailing separator gives no empty last token. The empty text gives no token.
TokenList SplitText(std::string_view text, std::string_view separators);

// Returns a copy in which only the bytes 'a'..'z' are raised to 'A'..'Z'.
std::string UpperCaseAscii(std::string_view text);

// Returns `text` without leading and trailing spaces (0x20 only: tabs, CR and LF stay).
std::string TrimBlanks(std::string_view text);

}  // namespace quillmark
