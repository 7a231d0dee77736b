#pragma once
// `level`: the vocabulary check on a terminal (or for a script), and the level kept in the
// configuration.

#include <cstdint>
#include <cstdio>
#include <optional>

#include "study/vocabulary_level.h"

namespace quillmark {

// Runs `check` to its end: each word on a line of its own (lower case) on `out`, then one
// answer a line from `in`: "y" (knows it) or "n" (does not), blanks and case ignored; any
// other line is said on `err` and the same word asked again. Returns the estimate, or nothing
// when `in` ends before the check does.
std::optional<std::int32_t> RunLevelCheck(VocabularyCheck& check, std::FILE* in, std::FILE* out,
                                          std::FILE* err);

}  // namespace quillmark
