#pragma once
// What the article reading takes from a page's structured data (its JSON-LD scripts): one
// string value by its key. The JSON itself is read by nlohmann-json (Debian's
// nlohmann-json3-dev) as a stream of events, so no tree of the document is ever built.
//
// Pages write JSON-LD by hand and get escapes wrong ("C:\users", "\uZZZZ", a lone half of a
// surrogate pair). Such a document still gives its values: before it is parsed, every escape
// that is not JSON becomes U+FFFD (a bad "\u" escape loses its "\u" alone; the characters after
// it stay), so does each half of a surrogate pair without its other half, and raw control
// characters inside strings are escaped. A pair written as two escapes is one character. A
// document that still does not parse gives nothing.

#include <string>
#include <string_view>

namespace quillmark {

// The value of the first member named `key` (in document order, at any depth) whose value is a
// string, decoded to UTF-8; empty when there is none or `document` is no JSON. Linear in the
// document; never throws but std::bad_alloc.
std::string JsonLdString(std::string_view document, std::string_view key);

// `document` with the repairs above made: every string's escapes valid JSON. Exposed for the
// tests and the fuzzer.
std::string RepairJsonEscapes(std::string_view document);

}  // namespace quillmark
