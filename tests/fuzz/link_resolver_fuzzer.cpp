// libFuzzer target: the link resolver's promises on any page address and link.

#include "fuzz_entry.h"
#include "link_resolver_check.h"

QUILLMARK_FUZZ_TARGET(quillmark::testing::CheckLinkResolver)
