#pragma once
// A fetched page's bytes as UTF-8: which character set the page is in, and the conversion.

#include <string>
#include <string_view>

namespace quillmark {

// The character set of `body`, as an iconv name ("UTF-8", "CP932", "EUC-JP", "WINDOWS-1252",
// "UTF-16LE", ...), chosen in this order: the `charset` parameter of the HTTP `contentType`;
// a byte-order mark; a `<meta charset>` or `<meta http-equiv="Content-Type" content="...">`
// in the page's first 4,096 bytes; UTF-8 when the bytes are valid UTF-8, or when they hold
// more valid multi-byte UTF-8 characters than stray bytes that fit none (each stray byte then
// becomes U+FFFD); else Windows-1252. Labels are exactly the WHATWG Encoding Standard's, read
// as browsers read them: ISO-8859-1, US-ASCII and Latin-1 mean Windows-1252, Shift_JIS and its
// aliases CP932, EUC-KR CP949. A label the standard does not list, or one of its "replacement"
// and "x-user-defined" encodings, is passed over.
std::string PageCharset(std::string_view body, std::string_view contentType);

// The WHATWG Encoding Standard's name of the encoding `label` names ("latin1" gives
// "windows-1252"), blanks around it and letter case ignored; empty when it lists no such label.
std::string_view WhatwgEncodingOfLabel(std::string_view label);

// `body` converted from PageCharset to UTF-8, a byte-order mark left out; a byte that is not
// of the character set becomes U+FFFD. Throws std::bad_alloc only.
std::string PageToUtf8(std::string_view body, std::string_view contentType);

}  // namespace quillmark
