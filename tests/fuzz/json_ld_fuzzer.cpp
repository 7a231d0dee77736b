// libFuzzer target: the structured data's JSON reader on any document.

#include "article_reading_check.h"
#include "fuzz_entry.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckJsonLd)
