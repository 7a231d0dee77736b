#pragma once
// The libFuzzer entry point every target shares: the target's check runs on the input, and a
// broken promise aborts with its description, so libFuzzer keeps the input that broke it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quillmark::testing {

inline void AbortOnBrokenPromise(const std::string& problem) {
  if (problem.empty()) return;
  std::fprintf(stderr, "broken promise: %s\n", problem.c_str());
  std::abort();
}

}  // namespace quillmark::testing

// Defines LLVMFuzzerTestOneInput over `check`, a function of std::string_view returning "" or
// the first broken promise.
#define QUILLMARK_FUZZ_TARGET(check)                                                  \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    quillmark::testing::AbortOnBrokenPromise(                                         \
        check(std::string_view(reinterpret_cast<const char*>(data), size)));          \
    return 0;                                                                         \
  }
