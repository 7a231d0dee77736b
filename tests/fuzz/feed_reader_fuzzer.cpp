// libFuzzer target: the feed reader's and the robots.txt reader's promises on any body.

#include "feed_reader_check.h"
#include "fuzz_entry.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckFeedReader)
