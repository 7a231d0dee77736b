#include "study/sentence_finder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/byte_tricks.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

// A quick test that lets through every sentence that may hold one of the forms: whether the
// first three bytes of a form (all of a shorter one) stand in it, with letter case folded.
// Most sentences fail it after a few word-sized steps; only the rest are cut into words.
class FormPrefilter {
 public:
  explicit FormPrefilter(const std::vector<std::string>& upperForms) {
    for (const std::string& form : upperForms) {
      const Head head = HeadOf(form);
      if (std::find(heads_.begin(), heads_.end(), head) == heads_.end()) heads_.push_back(head);
    }
  }

  bool MayHold(std::string_view sentence) const {
    const char* bytes = sentence.data();
    constexpr std::size_t kStep = sizeof(std::uint64_t);
    constexpr std::size_t kSpan = kStep + 2;  // the bytes the three loads of a step read
    std::size_t scalarFrom = 0;
    if (sentence.size() >= kSpan) {
      const auto anyHeadInStep = [&](std::size_t i) {
        return AnyHeadAt(Load(bytes + i), Load(bytes + i + 1), Load(bytes + i + 2));
      };
      std::size_t i = 0;
      for (; i + kSpan <= sentence.size(); i += kStep) {
        if (anyHeadInStep(i)) return true;
      }
      // One more step flush with the end covers the rest; it may test some positions again.
      if (i < sentence.size() - 2 && anyHeadInStep(sentence.size() - kSpan)) return true;
      scalarFrom = sentence.size() - 2;  // where only forms shorter than three bytes may start
    }
    for (std::size_t i = scalarFrom; i < sentence.size(); ++i) {
      const auto byteAt = [&](std::size_t at) {
        return at < sentence.size() ? Broadcast(bytes[at]) : kPastTheEnd;
      };
      if (AnyHeadAt(byteAt(i), byteAt(i + 1), byteAt(i + 2))) return true;
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

  // `at0`, `at1`, `at2` hold, in byte j, the bytes 0, 1 and 2 places behind position j.
  bool AnyHeadAt(std::uint64_t at0, std::uint64_t at1, std::uint64_t at2) const {
    for (const Head& head : heads_) {
      if ((ZeroBytes(at0 ^ head.first) & ZeroBytes((at1 ^ head.second) & head.careSecond) &
           ZeroBytes((at2 ^ head.third) & head.careThird)) != 0) {
        return true;
      }
    }
    return false;
  }

  std::vector<Head> heads_;
};

constexpr int kSentencesAhead = 4;

}  // namespace

std::vector<std::string> SearchForms(std::string_view word, const InflectionIndex& index) {
  std::vector<std::string> forms{UpperCaseAscii(word)};
  if (const auto entry = index.find(forms.front()); entry != index.end()) {
    forms.insert(forms.end(), entry->second.begin(), entry->second.end());
  }
  // An empty token stands between two separators, not for a word.
  std::erase(forms, std::string());
  return forms;
}

// `upperForm` holds no a-z, so comparing with each byte of `word` upper-cased is the same as
// comparing with UpperCaseAscii(word).
bool MatchesForm(std::string_view word, std::string_view upperForm) {
  if (word.size() != upperForm.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (AsciiUpper(word[i]) != upperForm[i]) return false;
  }
  return true;
}

bool HoldsAnyForm(std::string_view sentence, const std::vector<std::string>& upperForms) {
  // The same words as SplitText(UpperCaseAscii(sentence), SentenceWordSeparators), found
  // without building either: each lookup walks every stored sentence.
  return AnySentenceWord(sentence, [&](std::string_view word) {
    for (const std::string& form : upperForms) {
      if (MatchesForm(word, form)) return true;
    }
    return false;
  });
}

std::string FindSentences(const SentenceStore& store, std::string_view word,
                          const InflectionIndex& index) {
  const std::vector<std::string> forms = SearchForms(word, index);
  const FormPrefilter prefilter(forms);
  std::string found;
  if (!forms.empty()) {
    for (const auto& [host, sentences] : store) {
      bool hostShown = false;
      // The host's set is in byte order already, so the matches come out in that order.
      // The bytes of each sentence lie apart from its node: ask for those of a sentence a few
      // nodes ahead while this one is tested.
      auto ahead = sentences.begin();
      for (int n = 0; n < kSentencesAhead && ahead != sentences.end(); ++n) ++ahead;
      for (const std::string& sentence : sentences) {
        if (ahead != sentences.end()) PrefetchForReading((ahead++)->data());
        if (!prefilter.MayHold(sentence) || !HoldsAnyForm(sentence, forms)) continue;
        if (!hostShown) {
          found += "[from " + host + "]\r\n";
          hostShown = true;
        }
        found += sentence;
        found += "...\r\n";
      }
      if (hostShown) found += "\r\n";
    }
  }
  if (found.empty()) found = kNoSentenceFound;
  return found;
}

}  // namespace quillmark
