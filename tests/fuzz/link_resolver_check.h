#pragma once
// What the link-resolver fuzzer and its replay test run on one input.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Input: a page address, a zero byte, then a link (without a zero byte the whole input is the
// link, resolved against "http://a/b/c/d;p?q"). Resolves it and checks the resolver's
// promises: a result is never longer than the bound, and a result is always given when the
// inputs are short enough that it cannot reach the bound; no '%' is ever added; a result with
// a scheme, resolved as its own link, keeps what a second round gives; every byte of the result
// comes from the inputs or is a delimiter the resolver writes ('/', '?', '#', ':'); ExtensionOf
// gives a suffix that starts with '.' behind the first byte, or nothing. Returns the first broken
// promise, or "".
std::string CheckLinkResolver(std::string_view input);

}  // namespace quillmark::testing
