#include "gather/byte_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLMARK_HAVE_SSE2 1
#endif

namespace quillmark {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

bool MiddleMatches(const char* candidate, std::string_view pattern) {
  // The first, second and last bytes are already known to match. Patterns are a few bytes
  // long, so a plain loop beats a call to memcmp.
  for (std::size_t k = 2; k + 1 < pattern.size(); ++k) {
    if (candidate[k] != pattern[k]) return false;
  }
  return true;
}

std::size_t FindPatternScalar(std::string_view text, std::string_view pattern, std::size_t from) {
  const std::size_t lastStart = text.size() - pattern.size();
  for (std::size_t i = from; i <= lastStart; ++i) {
    if (text[i] == pattern[0] && text[i + 1] == pattern[1] &&
        text[i + pattern.size() - 1] == pattern.back() && MiddleMatches(text.data() + i, pattern)) {
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

std::size_t RaiseLettersUntilEitherScalar(std::string& text, std::size_t from, char a, char b) {
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == a || c == b) return i;
    if (c >= 'a' && c <= 'z') text[i] = static_cast<char>(c - ('a' - 'A'));
  }
  return kNotFound;
}

#ifdef QUILLMARK_HAVE_SSE2

constexpr std::size_t kBlock = 16;

__m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

unsigned Mask(__m128i bytesEqual) { return static_cast<unsigned>(_mm_movemask_epi8(bytesEqual)); }

// Searches go four blocks at a time and branch once per stride: the text is mostly free of
// what they look for, and one branch per block would halve their speed.
constexpr std::size_t kStride = 4 * kBlock;

// Returns the matches that `matchesAt` reports for the 64 positions from `i`, bit k standing
// for position i + k.
template <typename MatchesAt>
std::uint64_t StrideMask(const MatchesAt& matchesAt, std::size_t i) {
  const __m128i m0 = matchesAt(i);
  const __m128i m1 = matchesAt(i + kBlock);
  const __m128i m2 = matchesAt(i + 2 * kBlock);
  const __m128i m3 = matchesAt(i + 3 * kBlock);
  if (Mask(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0) return 0;
  return std::uint64_t{Mask(m0)} | std::uint64_t{Mask(m1)} << 16 | std::uint64_t{Mask(m2)} << 32 |
         std::uint64_t{Mask(m3)} << 48;
}

std::size_t FindPatternBlocks(std::string_view text, std::string_view pattern, std::size_t from) {
  // Testing the second byte as well keeps "</B>" from stopping at every "<>" of a page.
  const __m128i first = _mm_set1_epi8(pattern[0]);
  const __m128i second = _mm_set1_epi8(pattern[1]);
  const __m128i last = _mm_set1_epi8(pattern.back());
  const std::size_t lastOffset = pattern.size() - 1;
  const char* data = text.data();
  const auto candidatesAt = [&](std::size_t k) {
    return _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(Load(data + k), first),
                                       _mm_cmpeq_epi8(Load(data + k + 1), second)),
                         _mm_cmpeq_epi8(Load(data + k + lastOffset), last));
  };
  std::size_t i = from;
  // Every load of a stride must stay inside the text.
  for (; i + lastOffset + kStride <= text.size(); i += kStride) {
    for (std::uint64_t candidates = StrideMask(candidatesAt, i); candidates != 0;
         candidates &= candidates - 1) {
      const std::size_t at = i + std::countr_zero(candidates);
      if (MiddleMatches(data + at, pattern)) return at;
    }
  }
  return FindPatternScalar(text, pattern, i);
}

std::size_t FindEitherByteBlocks(std::string_view text, char a, char b, std::size_t from) {
  const __m128i wantA = _mm_set1_epi8(a);
  const __m128i wantB = _mm_set1_epi8(b);
  const char* data = text.data();
  const auto hitsAt = [&](std::size_t k) {
    const __m128i block = Load(data + k);
    return _mm_or_si128(_mm_cmpeq_epi8(block, wantA), _mm_cmpeq_epi8(block, wantB));
  };
  std::size_t i = from;
  for (; i + kStride <= text.size(); i += kStride) {
    const std::uint64_t hits = StrideMask(hitsAt, i);
    if (hits != 0) return i + std::countr_zero(hits);
  }
  return FindEitherByteScalar(text, a, b, i);
}

std::size_t RaiseLettersUntilEitherBlocks(std::string& text, std::size_t from, char a, char b) {
  const __m128i stopA = _mm_set1_epi8(a);
  const __m128i stopB = _mm_set1_epi8(b);
  // Signed compares: bytes of 0x80 and above are negative and so never letters.
  const __m128i belowLower = _mm_set1_epi8('a' - 1);
  const __m128i aboveLower = _mm_set1_epi8('z' + 1);
  const __m128i caseBit = _mm_set1_epi8('a' - 'A');
  char* data = text.data();
  std::size_t i = from;
  for (; i + kBlock <= text.size(); i += kBlock) {
    __m128i block = Load(data + i);
    if (Mask(_mm_or_si128(_mm_cmpeq_epi8(block, stopA), _mm_cmpeq_epi8(block, stopB))) != 0) {
      break;  // the stop is in this block: the plain loop finishes from here
    }
    const __m128i lower =
        _mm_and_si128(_mm_cmpgt_epi8(block, belowLower), _mm_cmplt_epi8(block, aboveLower));
    block = _mm_sub_epi8(block, _mm_and_si128(lower, caseBit));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(data + i), block);
  }
  return RaiseLettersUntilEitherScalar(text, i, a, b);
}

#endif  // QUILLMARK_HAVE_SSE2

}  // namespace

std::size_t SearchPattern(std::string_view text, std::string_view pattern, std::size_t from) {
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

std::size_t SearchEitherByte(std::string_view text, char a, char b, std::size_t from) {
  if (from >= text.size()) return kNotFound;
#ifdef QUILLMARK_HAVE_SSE2
  return FindEitherByteBlocks(text, a, b, from);
#else
  return FindEitherByteScalar(text, a, b, from);
#endif
}

std::size_t RaiseLettersUntilEither(std::string& text, std::size_t from, char a, char b) {
  if (from < text.size() && (text[from] == a || text[from] == b)) return from;
#ifdef QUILLMARK_HAVE_SSE2
  return RaiseLettersUntilEitherBlocks(text, from, a, b);
#else
  return RaiseLettersUntilEitherScalar(text, from, a, b);
#endif
}

}  // namespace quillmark
