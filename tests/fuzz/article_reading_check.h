#pragma once
// What the article-reading fuzzers and their replay tests run on one input.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Input: a fetched page's bytes, read by ReadPage with its bounds (no Content-Type). Checks
// that it returns (a std::bad_alloc aside, nothing thrown); that the title, the date and every
// paragraph and link text are valid UTF-8; and that no link text passes its cap. Returns the
// first broken promise, or "".
std::string CheckReadPage(std::string_view input);

// Input: one byte choosing the key (its value modulo 3: articleBody, datePublished, @type),
// then a JSON-LD document. Checks that JsonLdString returns (nothing thrown but bad_alloc) a
// valid UTF-8 value, and that the escape repair is done once for all (repairing its own output
// changes nothing). Returns the first broken promise, or "".
std::string CheckJsonLd(std::string_view input);

}  // namespace quillmark::testing
