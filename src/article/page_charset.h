#pragma once
// A fetched page's bytes as UTF-8: which character set the page is in, and the conversion.

#include <string>
#include <string_view>

namespace quillmark {

// The character set of `body`, as an iconv name ("UTF-8", "CP932", "EUC-JP", "WINDOWS-1252",
// "UTF-16LE", ...), chosen in this order: the `charset` parameter of the HTTP `contentType`;
// a byte-order mark; a `<meta charset>` or `<meta http-equiv="Content-Type" content="...">`
// in the page's first 4,096 bytes; UTF-8 when the bytes are valid UTF-8; else Windows-1252.
// Labels are read as browsers read them: ISO-8859-1, US-ASCII and Latin-1 mean Windows-1252,
// Shift_JIS and its aliases CP932. A label iconv does not know is passed over.
std::string PageCharset(std::string_view body, std::string_view contentType);

// `body` converted from PageCharset to UTF-8, a byte-order mark left out; a byte that is not
// of the character set becomes U+FFFD. Throws std::bad_alloc only.
std::string PageToUtf8(std::string_view body, std::string_view contentType);

}  // namespace quillmark
