#include "study/sentence_finder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/tokenizer.h"

namespace quillmark {
namespace {

// The upper-case forms a sentence word is compared with: the word and its inflected forms.
std::vector<std::string> SearchForms(std::string_view word, const InflectionIndex& index) {
  std::vector<std::string> forms{UpperCaseAscii(word)};
  if (const auto entry = index.find(forms.front()); entry != index.end()) {
    forms.insert(forms.end(), entry->second.begin(), entry->second.end());
  }
  // An empty token stands between two separators, not for a word.
  std::erase(forms, std::string());
  return forms;
}

constexpr std::array<bool, 256> MakeSeparatorTable() {
  std::array<bool, 256> table{};
  for (char c : SentenceWordSeparators) table[static_cast<unsigned char>(c)] = true;
  return table;
}

constexpr std::array<bool, 256> kIsSeparator = MakeSeparatorTable();

// `upperForm` holds no a-z, so comparing with each byte of `token` upper-cased is the same as
// comparing with UpperCaseAscii(token).
bool EqualsUpperCased(std::string_view token, std::string_view upperForm) {
  if (token.size() != upperForm.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    char c = token[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
    if (c != upperForm[i]) return false;
  }
  return true;
}

// A quick test that lets through every sentence that may hold one of the forms: whether the
// first three bytes of a form (all of a shorter one) stand in it, with letter case folded.
// Most sentences fail it after a few word-sized steps; only the rest are cut into words.
class FormPrefilter {
 public:
  explicit FormPrefilter(const std::vector<std::string>& upperForms) {
    for (const std::string& form : upperForms) {
      Head head;
      head.length = std::min(form.size(), kHeadBytes);
      for (std::size_t k = 0; k < head.length; ++k) head.bytes[k] = Broadcast(form[k]);
      if (std::find(heads_.begin(), heads_.end(), head) == heads_.end()) heads_.push_back(head);
    }
  }

  bool MayHold(std::string_view sentence) const {
    Words words;
    std::size_t i = 0;
    // Eight positions at a time while every load stays inside the sentence.
    for (; i + sizeof(std::uint64_t) + kHeadBytes - 1 <= sentence.size();
         i += sizeof(std::uint64_t)) {
      for (std::size_t k = 0; k < kHeadBytes; ++k) words[k] = Load(sentence.data() + i + k);
      if (AnyHeadIn(words)) return true;
    }
    for (; i < sentence.size(); ++i) {
      for (std::size_t k = 0; k < kHeadBytes; ++k) {
        words[k] = i + k < sentence.size() ? Broadcast(sentence[i + k]) : kPastTheEnd;
      }
      if (AnyHeadIn(words)) return true;
    }
    return false;
  }

 private:
  static constexpr std::size_t kHeadBytes = 3;
  // words[k] holds, in byte j, the byte k places behind position j.
  using Words = std::array<std::uint64_t, kHeadBytes>;

  // The first bytes of a form, case folded and copied into every byte of a word.
  struct Head {
    Words bytes{};
    std::size_t length = 0;
    bool operator==(const Head&) const = default;
  };

  static constexpr std::uint64_t kOnes = 0x0101010101010101;
  static constexpr std::uint64_t kHighBits = 0x8080808080808080;
  // Clearing bit 5 of every byte folds a-z onto A-Z (and some other bytes onto each other,
  // which only lets a few more sentences through to the exact test).
  static constexpr std::uint64_t kFoldCase = 0xDFDFDFDFDFDFDFDF;
  // Folded bytes never have bit 5 set, so this equals none of them.
  static constexpr std::uint64_t kPastTheEnd = ~std::uint64_t{0};

  static std::uint64_t Broadcast(char c) { return kOnes * (static_cast<unsigned char>(c) & 0xDF); }
  static std::uint64_t Load(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word & kFoldCase;
  }
  // The high bit of every zero byte is set; a byte above a zero byte may be marked too, which
  // lets a sentence through but never holds one back.
  static std::uint64_t ZeroBytes(std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; }

  bool AnyHeadIn(const Words& words) const {
    for (const Head& head : heads_) {
      std::uint64_t startsHere = kHighBits;
      for (std::size_t k = 0; k < head.length; ++k) {
        startsHere &= ZeroBytes(words[k] ^ head.bytes[k]);
      }
      if (startsHere != 0) return true;
    }
    return false;
  }

  std::vector<Head> heads_;
};

}  // namespace

bool HoldsAnyForm(std::string_view sentence, const std::vector<std::string>& upperForms) {
  // The same tokens as SplitText(UpperCaseAscii(sentence), SentenceWordSeparators), found
  // without building either: each lookup walks every stored sentence.
  std::size_t tokenStart = 0;
  for (std::size_t i = 0; i <= sentence.size(); ++i) {
    if (i < sentence.size() && !kIsSeparator[static_cast<unsigned char>(sentence[i])]) continue;
    const std::string_view token = sentence.substr(tokenStart, i - tokenStart);
    tokenStart = i + 1;
    if (token.empty()) continue;
    for (const std::string& form : upperForms) {
      if (EqualsUpperCased(token, form)) return true;
    }
  }
  return false;
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
      for (const std::string& sentence : sentences) {
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
