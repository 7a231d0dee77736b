#pragma once
// A quick test of a sentence before it is cut into words: whether one of a few upper-case
// forms may stand in it. Shared by the sentence finder and the command line's search, which
// both walk every stored sentence for a handful of forms.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quillmark {

// A quick test that lets through every sentence that may hold one of the forms: whether the
// first three bytes of a form (all of a shorter one) stand in it, with letter case folded.
// Most sentences fail it after a few word-sized steps; only the rest are cut into words.
class FormPrefilter {
 public:
  // `upperForms` hold no a-z and none is empty.
  explicit FormPrefilter(const std::vector<std::string>& upperForms) {
    for (const std::string& form : upperForms) {
      const Head head = HeadOf(form);
      if (std::find(heads_.begin(), heads_.end(), head) == heads_.end()) heads_.push_back(head);
    }
    // Every step tests every head: a head that a shorter one marks wherever it stands (GOE
    // beside GO) only costs time.
    std::erase_if(heads_, [this](const Head& longer) {
      return std::any_of(heads_.begin(), heads_.end(), [&longer](const Head& shorter) {
        return !(shorter == longer) && Marks(shorter, longer);
      });
    });
  }

  // False only when no form can be a word of `sentence`, letter case ignored.
  bool MayHold(std::string_view sentence) const {
    return AnyCandidate(sentence, [](std::size_t) { return true; });
  }

  // Calls `atCandidate` with positions of `sentence`, in no set order, among them every
  // position where a form's head stands (and some where none does); stops, returning true, at
  // the first call that returns true. Returns false when none did.
  template <class AtCandidate>
  bool AnyCandidate(std::string_view sentence, AtCandidate&& atCandidate) const {
    const char* bytes = sentence.data();
    const std::size_t size = sentence.size();
    std::size_t scalarFrom = 0;
    std::size_t i = 0;
#ifdef __SSE2__
    // Sixteen positions a step while they fit; the word-sized steps below take the rest.
    for (; i + kWideSpan <= size; i += kWideStep) {
      const std::uint64_t marks = WideStepMarks(bytes + i);
      if (marks != 0 && AnyMarked(marks, i, 1, atCandidate)) return true;
    }
#endif
    if (size >= kSpan) {
      // The steps stay small enough to be inlined: the rare marked ones are handled apart.
      for (; i + kSpan <= size; i += kStep) {
        const std::uint64_t marks = StepMarks(bytes + i);
        if (marks != 0 && AnyMarked(marks, i, 8, atCandidate)) return true;
      }
      // One more step flush with the end covers the rest; it may test some positions again.
      if (i < size - 2) {
        const std::uint64_t marks = StepMarks(bytes + size - kSpan);
        if (marks != 0 && AnyMarked(marks, size - kSpan, 8, atCandidate)) return true;
      }
      scalarFrom = size - 2;  // where only forms shorter than three bytes may start
    }
    for (std::size_t i = scalarFrom; i < size; ++i) {
      const auto byteAt = [&](std::size_t at) {
        return at < size ? Broadcast(bytes[at]) : kPastTheEnd;
      };
      if (HeadMarks(byteAt(i), byteAt(i + 1), byteAt(i + 2)) != 0 && atCandidate(i)) return true;
    }
    return false;
  }

 private:
  // The first three bytes of a form, case folded and copied into every byte of a word; a
  // shorter form does not care what stands behind its end.
  struct Head {
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    std::uint64_t third = 0;
    std::uint64_t careSecond = 0;
    std::uint64_t careThird = 0;
    bool operator==(const Head&) const = default;
  };

  static constexpr std::uint64_t kOnes = 0x0101010101010101;
  static constexpr std::uint64_t kHighBits = 0x8080808080808080;
  static constexpr std::uint64_t kAll = ~std::uint64_t{0};
  // Clearing bit 5 of every byte folds a-z onto A-Z (and some other bytes onto each other,
  // which only lets a few more sentences through to the exact test).
  static constexpr std::uint64_t kFoldCase = 0xDFDFDFDFDFDFDFDF;
  // Folded bytes never have bit 5 set, so this equals none of them.
  static constexpr std::uint64_t kPastTheEnd = kAll;

  // Whether `shorter` stands wherever `longer` does: the bytes it cares about are the same.
  static bool Marks(const Head& shorter, const Head& longer) {
    return shorter.first == longer.first && (shorter.careSecond & ~longer.careSecond) == 0 &&
           (shorter.careThird & ~longer.careThird) == 0 &&
           ((shorter.second ^ longer.second) & shorter.careSecond) == 0 &&
           ((shorter.third ^ longer.third) & shorter.careThird) == 0;
  }

  static Head HeadOf(std::string_view form) {
    Head head;
    head.first = Broadcast(form[0]);
    if (form.size() > 1) head = {head.first, Broadcast(form[1]), 0, kAll, 0};
    if (form.size() > 2) head = {head.first, head.second, Broadcast(form[2]), kAll, kAll};
    return head;
  }
  static std::uint64_t Broadcast(char c) { return kOnes * (static_cast<unsigned char>(c) & 0xDF); }
  static std::uint64_t Load(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word & kFoldCase;
  }
  // The high bit of every zero byte is set; a byte above a zero byte may be marked too, which
  // lets a sentence through but never holds one back.
  static std::uint64_t ZeroBytes(std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; }

  static constexpr std::size_t kStep = sizeof(std::uint64_t);
  static constexpr std::size_t kSpan = kStep + 2;  // the bytes the three loads of a step read

  // The marks of the eight positions from `bytes` on (kSpan bytes are read).
  std::uint64_t StepMarks(const char* bytes) const {
    return HeadMarks(Load(bytes), Load(bytes + 1), Load(bytes + 2));
  }

#ifdef __SSE2__
  static constexpr std::size_t kWideStep = 16;
  static constexpr std::size_t kWideSpan = kWideStep + 2;

  // Bit j set where a head stands at position j of the sixteen from `bytes` (kWideSpan bytes
  // are read). Exact, unlike the word-sized marks.
  std::uint64_t WideStepMarks(const char* bytes) const {
    const __m128i fold = _mm_set1_epi8(static_cast<char>(0xDF));
    const auto load = [&](const char* p) {
      return _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), fold);
    };
    const __m128i at0 = load(bytes);
    const __m128i at1 = load(bytes + 1);
    const __m128i at2 = load(bytes + 2);
    std::uint32_t marks = 0;
    for (const Head& head : heads_) {
      const auto equal = [](__m128i at, std::uint64_t want, std::uint64_t care) {
        return _mm_cmpeq_epi8(_mm_and_si128(at, _mm_set1_epi64x(static_cast<long long>(care))),
                              _mm_set1_epi64x(static_cast<long long>(want)));
      };
      const __m128i hit = _mm_and_si128(
          _mm_and_si128(equal(at0, head.first, kAll), equal(at1, head.second, head.careSecond)),
          equal(at2, head.third, head.careThird));
      marks |= static_cast<std::uint32_t>(_mm_movemask_epi8(hit));
    }
    return marks;
  }
#endif

  // Calls `atCandidate` with `from` + j for every position j marked in `marks` (by `bitsPer`
  // bits each, the highest of them set), in order, until one call returns true.
  template <class AtCandidate>
  static bool AnyMarked(std::uint64_t marks, std::size_t from, unsigned bitsPer,
                        AtCandidate& atCandidate) {
    for (; marks != 0; marks &= marks - 1) {
      if (atCandidate(from + static_cast<std::size_t>(std::countr_zero(marks)) / bitsPer))
        return true;
    }
    return false;
  }

  // `at0`, `at1`, `at2` hold, in byte j, the bytes 0, 1 and 2 places behind position j.
  // Returns the high bit of byte j set where some head may start at j.
  std::uint64_t HeadMarks(std::uint64_t at0, std::uint64_t at1, std::uint64_t at2) const {
    std::uint64_t marks = 0;
    for (const Head& head : heads_) {
      marks |= ZeroBytes(at0 ^ head.first) & ZeroBytes((at1 ^ head.second) & head.careSecond) &
               ZeroBytes((at2 ^ head.third) & head.careThird);
    }
    return marks;
  }

  std::vector<Head> heads_;
};

}  // namespace quillmark
