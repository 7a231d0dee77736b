#include "gather/byte_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "text/byte_tricks.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUILLMARK_HAVE_SSE2 1
#endif

namespace quillmark {
namespace {

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

bool StartsNamedTag(const char* p) {
  return p[0] == '<' && ((p[1] >= 'A' && p[1] <= 'Z') || p[1] == '/');
}

std::size_t FindNamedTagStartScalar(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i + 1 < text.size(); ++i) {
    if (StartsNamedTag(text.data() + i)) return i;
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

std::size_t FindNamedTagStartBlocks(std::string_view text, std::size_t from) {
  // Signed compares, as in LowerCaseLetters: bytes of 0x80 and above are never letters.
  const __m128i open = _mm_set1_epi8('<');
  const __m128i slash = _mm_set1_epi8('/');
  const __m128i belowUpper = _mm_set1_epi8('A' - 1);
  const __m128i aboveUpper = _mm_set1_epi8('Z' + 1);
  const char* data = text.data();
  const auto startsAt = [&](std::size_t k) {
    const __m128i next = Load(data + k + 1);
    const __m128i named = _mm_or_si128(
        _mm_and_si128(_mm_cmpgt_epi8(next, belowUpper), _mm_cmplt_epi8(next, aboveUpper)),
        _mm_cmpeq_epi8(next, slash));
    return _mm_and_si128(_mm_cmpeq_epi8(Load(data + k), open), named);
  };
  std::size_t i = from;
  for (; i + 1 + kStride <= text.size(); i += kStride) {
    const std::uint64_t starts = StrideMask(startsAt, i);
    if (starts != 0) return i + std::countr_zero(starts);
  }
  return FindNamedTagStartScalar(text, i);
}

// Bit k set where byte k of the 64 bytes at `p` equals `c`.
std::uint64_t BytesEqual(const char* p, char c) {
  const __m128i want = _mm_set1_epi8(c);
  const auto equalAt = [&](std::size_t k) { return _mm_cmpeq_epi8(Load(p + k), want); };
  return std::uint64_t{Mask(equalAt(0))} | std::uint64_t{Mask(equalAt(kBlock))} << 16 |
         std::uint64_t{Mask(equalAt(2 * kBlock))} << 32 |
         std::uint64_t{Mask(equalAt(3 * kBlock))} << 48;
}

// Bit k set where byte k of the 64 bytes at `p` is one of a-z.
std::uint64_t LowerCaseLetters(const char* p) {
  // Signed compares: bytes of 0x80 and above are negative and so never letters.
  const __m128i belowLower = _mm_set1_epi8('a' - 1);
  const __m128i aboveLower = _mm_set1_epi8('z' + 1);
  const auto lowerAt = [&](std::size_t k) {
    const __m128i block = Load(p + k);
    return _mm_and_si128(_mm_cmpgt_epi8(block, belowLower), _mm_cmplt_epi8(block, aboveLower));
  };
  return std::uint64_t{Mask(lowerAt(0))} | std::uint64_t{Mask(lowerAt(kBlock))} << 16 |
         std::uint64_t{Mask(lowerAt(2 * kBlock))} << 32 |
         std::uint64_t{Mask(lowerAt(3 * kBlock))} << 48;
}

// Bit k set where an odd number of the bits 0..k of `bits` are set.
std::uint64_t PrefixParity(std::uint64_t bits) {
  for (int shift = 1; shift < 64; shift *= 2) bits ^= bits << shift;
  return bits;
}

// Bit k set where the last '<' or '>' at or before byte k is a '<' (or, with none, where a tag
// was open before the stride). Adding the '<' bits to the bits that are not '>' sends a carry
// from every '<' up to the next '>', where it stops; the carry out of the top is the in-tag
// flag behind the stride.
std::uint64_t InsideTags(std::uint64_t opens, std::uint64_t closes, bool& inTag) {
  const std::uint64_t notCloses = ~closes;
  const std::uint64_t partial = notCloses + opens;
  const std::uint64_t sum = partial + (inTag ? 1 : 0);
  const std::uint64_t carries = sum ^ notCloses ^ opens;  // bit k: a carry came into byte k
  inTag = partial < notCloses || sum < partial;
  return (carries | opens) & notCloses;
}

// Sixteen bytes, 0xFF where the matching bit of `bits` is set.
__m128i ExpandBits(unsigned bits) {
  const __m128i x = _mm_cvtsi32_si128(static_cast<int>(bits));
  const __m128i pairs = _mm_unpacklo_epi8(x, x);
  const __m128i quads = _mm_unpacklo_epi16(pairs, pairs);
  const __m128i spread = _mm_unpacklo_epi32(quads, quads);  // low byte 8 times, then high byte
  const __m128i select = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  return _mm_cmpeq_epi8(_mm_and_si128(spread, select), select);
}

// Writes the 64 bytes at `from` to `to`, the bytes marked in `marked` raised. In place (`to`
// equal to `from`), blocks with nothing to raise are not written at all.
void RaiseMarkedBytes(const char* from, char* to, std::uint64_t marked) {
  const __m128i caseBit = _mm_set1_epi8('a' - 'A');
  for (std::size_t k = 0; k < kStride; k += kBlock, marked >>= kBlock) {
    const unsigned blockBits = static_cast<unsigned>(marked & 0xFFFF);
    if (blockBits == 0 && from == to) continue;
    const __m128i block = Load(from + k);
    const __m128i raised = _mm_sub_epi8(block, _mm_and_si128(ExpandBits(blockBits), caseBit));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + k), raised);
  }
}

// Copies the 64 bytes at `p` to `to` with each '>' turned into `replacement`.
void CopyReplacingCloses(const char* p, char replacement, char* to) {
  const __m128i close = _mm_set1_epi8('>');
  const __m128i put = _mm_set1_epi8(replacement);
  for (std::size_t k = 0; k < kStride; k += kBlock) {
    const __m128i block = Load(p + k);
    const __m128i isClose = _mm_cmpeq_epi8(block, close);
    const __m128i replaced =
        _mm_or_si128(_mm_andnot_si128(isClose, block), _mm_and_si128(isClose, put));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + k), replaced);
  }
}

// Writes the bytes of the stride at `p` whose bit in `keep` is set to `out`, each '>' (a bit
// of `closes`) as `replacement`, and returns how many.
std::size_t WriteKeptBytes(const char* p, std::uint64_t keep, std::uint64_t closes,
                           char replacement, char* out) {
  if (keep == ~0ull && closes == 0) {  // a stride of running text
    std::memmove(out, p, kStride);     // `out` may be `p` itself or lie behind it
    return kStride;
  }
  // Byte by byte, but without a branch on the byte: tags that crowd together make the runs
  // between them short and unpredictable.
  alignas(16) char replaced[kStride];
  CopyReplacingCloses(p, replacement, replaced);
  std::size_t n = 0;
  for (; keep != 0; keep &= keep - 1) out[n++] = replaced[std::countr_zero(keep)];
  return n;
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

std::size_t FindNamedTagStart(std::string_view text, std::size_t from) {
#ifdef QUILLMARK_HAVE_SSE2
  return FindNamedTagStartBlocks(text, from);
#else
  return FindNamedTagStartScalar(text, from);
#endif
}

std::size_t RaiseLettersUntilEither(std::span<char> text, std::size_t from, char a, char b) {
  // Only the bytes behind the last stride of RaiseTagLettersInStrides come here, unless the
  // processor has no block instructions: a plain loop does.
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == a || c == b) return i;
    if (c >= 'a' && c <= 'z') text[i] = static_cast<char>(c - ('a' - 'A'));
  }
  return kNotFound;
}

std::size_t RaiseTagLettersInStrides(std::string_view text, char* out, TagCaseState& state) {
#ifdef QUILLMARK_HAVE_SSE2
  // A quote switches in-quote wherever it stands and only '<' and '>' move in-tag, so both
  // flags follow from where these bytes stand: a parity and a carry, 64 bytes at a time.
  std::size_t i = 0;
  for (; i + kStride <= text.size(); i += kStride) {
    const char* p = text.data() + i;
    const std::uint64_t quoted = PrefixParity(BytesEqual(p, '"')) ^ (state.inQuote ? ~0ull : 0);
    state.inQuote = (quoted >> 63) != 0;
    const std::uint64_t inTag = InsideTags(BytesEqual(p, '<'), BytesEqual(p, '>'), state.inTag);
    const std::uint64_t raise = LowerCaseLetters(p) & inTag & ~quoted;
    if (raise != 0 || out != text.data()) RaiseMarkedBytes(p, out + i, raise);
  }
  return i;
#else
  (void)text;
  (void)out;
  (void)state;
  return 0;
#endif
}

std::size_t StripTagsInStrides(std::string_view text, char replacement, char* out,
                               std::size_t& written, bool& inTag) {
#ifdef QUILLMARK_HAVE_SSE2
  // A byte is dropped exactly where UpperCaseTags' in-tag carry is set: at a '<' and behind
  // it up to, not including, the next '>'.
  std::size_t i = 0;
  for (; i + kStride <= text.size(); i += kStride) {
    const char* p = text.data() + i;
    const std::uint64_t closes = BytesEqual(p, '>');
    const std::uint64_t keep = ~InsideTags(BytesEqual(p, '<'), closes, inTag);
    if (keep != 0) written += WriteKeptBytes(p, keep, closes, replacement, out + written);
  }
  return i;
#else
  (void)text;
  (void)replacement;
  (void)out;
  (void)written;
  (void)inTag;
  return 0;
#endif
}

}  // namespace quillmark
