#pragma once
// Small byte-level helpers shared by the text passes: two compiler intrinsics, spelled once
// for every compiler, and the position that means "not found".

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#include <stdlib.h>
#endif

namespace quillmark {

// The position a search returns when it finds nothing; equal to std::string_view::npos, so
// results of the standard searches compare with it too.
inline constexpr std::size_t kNotFound = std::string_view::npos;

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
