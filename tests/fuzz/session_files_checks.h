#pragma once
// What the line-file and configuration fuzzers and their replay test run on one input.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Reads `bytes` as a line file. Returns the first broken promise (a line holding CR, LF or
// NUL, more text out than in, a write that does not read back as the same lines, an
// upper-cased line of another length, a site list loaded whole that differs from one add
// per line), or the empty string when all held.
std::string CheckLineFile(std::string_view bytes);

// The first byte picks a section and a key and the length of a value taken from the next
// bytes; the rest is a configuration file. Reads it, sets the key, reads the result again.
// Returns the first broken promise (the text not given back as read, the value not read
// back, another key's value changed, a second equal write changing bytes, a line other than
// the key's changed or lost), or the empty string when all held.
std::string CheckIniText(std::string_view bytes);

}  // namespace quillmark::testing
