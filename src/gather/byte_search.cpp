#include "gather/byte_search.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLMARK_HAVE_SSE2 1
#endif

namespace quillmark {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

bool MiddleMatches(const char* candidate, std::string_view pattern) {
  // The first and the last byte are already known to match.
  return pattern.size() <= 2 ||
         std::memcmp(candidate + 1, pattern.data() + 1, pattern.size() - 2) == 0;
}

std::size_t FindPatternScalar(std::string_view text, std::string_view pattern, std::size_t from) {
  const std::size_t lastStart = text.size() - pattern.size();
  for (std::size_t i = from; i <= lastStart; ++i) {
    if (text[i] == pattern.front() && text[i + pattern.size() - 1] == pattern.back() &&
        MiddleMatches(text.data() + i, pattern)) {
      return i;
    }
  }
  return kNotFound;
}

std::size_t FindEitherByteScalar(std::string_view text, char a, char b, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == a || text[i] == b) return i;
  }
  return kNotFound;
}

#ifdef QUILLMARK_HAVE_SSE2

constexpr std::size_t kBlock = 16;

__m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

unsigned Mask(__m128i bytesEqual) { return static_cast<unsigned>(_mm_movemask_epi8(bytesEqual)); }

std::size_t FindPatternBlocks(std::string_view text, std::string_view pattern, std::size_t from) {
  const __m128i first = _mm_set1_epi8(pattern.front());
  const __m128i last = _mm_set1_epi8(pattern.back());
  const std::size_t lastOffset = pattern.size() - 1;
  const char* data = text.data();
  std::size_t i = from;
  // Both loads of a block must stay inside the text.
  for (; i + lastOffset + kBlock <= text.size(); i += kBlock) {
    unsigned candidates = Mask(_mm_and_si128(_mm_cmpeq_epi8(Load(data + i), first),
                                             _mm_cmpeq_epi8(Load(data + i + lastOffset), last)));
    while (candidates != 0) {
      const std::size_t at = i + std::countr_zero(candidates);
      if (MiddleMatches(data + at, pattern)) return at;
      candidates &= candidates - 1;
    }
  }
  return FindPatternScalar(text, pattern, i);
}

std::size_t FindEitherByteBlocks(std::string_view text, char a, char b, std::size_t from) {
  const __m128i wantA = _mm_set1_epi8(a);
  const __m128i wantB = _mm_set1_epi8(b);
  const char* data = text.data();
  std::size_t i = from;
  for (; i + kBlock <= text.size(); i += kBlock) {
    const __m128i block = Load(data + i);
    const unsigned hits =
        Mask(_mm_or_si128(_mm_cmpeq_epi8(block, wantA), _mm_cmpeq_epi8(block, wantB)));
    if (hits != 0) return i + std::countr_zero(hits);
  }
  return FindEitherByteScalar(text, a, b, i);
}

#endif  // QUILLMARK_HAVE_SSE2

}  // namespace

std::size_t FindPattern(std::string_view text, std::string_view pattern, std::size_t from) {
  if (pattern.empty()) return from <= text.size() ? from : kNotFound;
  if (from >= text.size() || text.size() - from < pattern.size()) return kNotFound;
  if (pattern.size() == 1) {
    const void* hit = std::memchr(text.data() + from, pattern.front(), text.size() - from);
    return hit == nullptr ? kNotFound : static_cast<const char*>(hit) - text.data();
  }
#ifdef QUILLMARK_HAVE_SSE2
  return FindPatternBlocks(text, pattern, from);
#else
  return FindPatternScalar(text, pattern, from);
#endif
}

std::size_t FindEitherByte(std::string_view text, char a, char b, std::size_t from) {
  if (from >= text.size()) return kNotFound;
#ifdef QUILLMARK_HAVE_SSE2
  return FindEitherByteBlocks(text, a, b, from);
#else
  return FindEitherByteScalar(text, a, b, from);
#endif
}

}  // namespace quillmark
