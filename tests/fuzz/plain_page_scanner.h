#pragma once
// The page scanner written the plainest way — std::string::find and one byte at a time — to
// check the fast one against. Slow on purpose; only tests and the fuzzer use it.

#include <string_view>

#include "gather/page_scanner.h"

namespace quillmark::testing {

ScannedPage PlainScanPage(std::string_view body, FollowAnchors anchors);

}  // namespace quillmark::testing
