// libFuzzer target: a fetched page through the whole article reading, within its bounds.

#include "article_reading_check.h"
#include "fuzz_entry.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckReadPage)
