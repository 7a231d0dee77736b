// libFuzzer target: the tokenizer and the inflection fold, fast paths against plain ones.

#include "fold_words_check.h"
#include "fuzz_entry.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckFoldWords)
