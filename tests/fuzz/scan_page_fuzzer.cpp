// libFuzzer target: the page scanner, the sentence store and the finder on any bytes.

#include "fuzz_entry.h"
#include "scan_page_pipeline.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckScanPagePipeline)
