#pragma once
// The three figures of a gathering run, shown in the status bar and the report.

#include <cstdint>

namespace quillmark {

struct RunFigures {
  std::uint32_t dataSize = 0;               // bytes of sentence text counted (wraps at 4 GiB)
  std::int32_t wordsBeforeAggregation = 0;  // tokens counted, empty ones included, before folding
  std::int32_t wordsAfterAggregation = 0;   // pairs in the ranking, empty word included
};

}  // namespace quillmark
