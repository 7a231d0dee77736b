// libFuzzer target: the line-file reader and the site list's whole-file load on any bytes.

#include "fuzz_entry.h"
#include "session_files_checks.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckLineFile)
