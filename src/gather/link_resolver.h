#pragma once
// Resolution of a link found in a page against the address of that page.
//
// Real pages hold links with spaces, raw Shift-JIS bytes and stray '%' signs, so the resolver
// follows RFC 3986 section 5.2 on the bytes as they are: it splits with the pattern of the
// RFC's Appendix B (which accepts any bytes), merges the paths, removes the dot segments and
// puts the parts together again. It never validates, percent-encodes or decodes anything.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

// The longest resolved address the crawl takes; a longer one is refused.
inline constexpr std::size_t kMaxResolvedUrlBytes = 10000;

// Returns `link` resolved against `base` by RFC 3986 section 5.2 (the strict reading: a link
// with a scheme keeps it, "http:g" stays "http:g"), or nothing when the result would be longer
// than kMaxResolvedUrlBytes. Every byte of both inputs is taken as it is. Changes nothing;
// never throws except for allocation failure.
std::optional<std::string> ResolveLink(std::string_view base, std::string_view link);

// Returns the extension of `url`: from the last '.' that stands at its second byte or later up
// to its end ("x/a.html?q=1" gives ".html?q=1"), or an empty view when there is no such '.'
// (a '.' at the first byte is not found). The view points into `url`.
std::string_view ExtensionOf(std::string_view url);

}  // namespace quillmark
