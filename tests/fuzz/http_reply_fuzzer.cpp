// libFuzzer target: the HTTP client reading any response (status line, header lines,
// Location, Set-Cookie, body), redirects included.

#include "fuzz_entry.h"
#include "http_reply_check.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckHttpReply)
