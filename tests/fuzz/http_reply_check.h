#pragma once
// What the HTTP response fuzzer and its replay test run on one input: a whole Get whose
// every connection is a socket pair answering with the input, no network at all.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Fetches a page from a server that answers every request with `reply` and closes (so a
// redirect to itself is followed until the redirect limit). Returns a description of the
// first broken promise (an error that is no NetError, a request line holding a line break,
// a header or a cookie over its ceiling, Header + Body that is not what the server sent...),
// or the empty string when all held. Replies longer than kMaxFuzzedReplyBytes are cut.
std::string CheckHttpReply(std::string_view reply);

inline constexpr std::size_t kMaxFuzzedReplyBytes = 128 * 1024;

}  // namespace quillmark::testing
