#pragma once
// What the fuzzer and its replay test run on one input: the page scanner, the sentence store
// on its page text, and the finder for words of the stored sentences.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Scans `body`, adds its page text to a sentence store and looks up a few words. Returns a
// description of the first broken promise (page text holding '<' or '>', a result that
// differs from the plain scanner, a stored piece that is no sentence, a stored word the
// finder does not find...), or the empty string when all held.
std::string CheckScanPagePipeline(std::string_view body);

}  // namespace quillmark::testing
