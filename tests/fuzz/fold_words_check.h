#pragma once
// What the tokenizer-and-fold fuzzer and its replay test run on one input.

#include <string>
#include <string_view>

namespace quillmark::testing {

// Input: an optional dictionary, then a zero byte, then the text (without a zero byte the
// whole input is the text and a small fixed dictionary is used). Dictionary lines are
// "INFLECTED BASE", cut at LF, upper-cased. Counts the words of the text with both
// CountWords and the plain definition (SplitText, KeepAlphabetic), folds the tally with both
// FoldInflections and FoldCountedWords, and ranks both results. Returns a description of the
// first disagreement or broken promise (a counted word that is not all 'A'..'Z', a different
// token count, tally, learned dictionary, base forms or ranking), or "" when all held.
std::string CheckFoldWords(std::string_view input);

}  // namespace quillmark::testing
