#pragma once
// Two compiler intrinsics the word counting relies on, spelled once for every compiler.

#include <cstdint>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#include <stdlib.h>
#endif

namespace quillmark {

// Reverses the byte order of `value`.
inline std::uint64_t ByteSwap64(std::uint64_t value) {
#if defined(_MSC_VER) && !defined(__clang__)
  return _byteswap_uint64(value);
#else
  return __builtin_bswap64(value);
#endif
}

// Asks the processor to start fetching `address` into the cache; changes nothing observable.
inline void PrefetchForReading(const void* address) {
#if defined(_MSC_VER) && !defined(__clang__)
  _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
#else
  __builtin_prefetch(address);
#endif
}

}  // namespace quillmark
