// libFuzzer target: the configuration reader and writer on any bytes.

#include "fuzz_entry.h"
#include "session_files_checks.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckIniText)
