#pragma once
// The sentence finder: the stored sentences that hold a word or one of its inflected forms.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "study/form_prefilter.h"
#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

// The bytes at which the finder cuts a sentence into words. The apostrophe and the grave
// accent are not among them, so "DON'T" and "GO'S" are single words. The designed six come
// first; the rest of the tokenizer's separators follow, which no sentence of the page scanner
// holds, so that a word an article's sentence holds in quotes or brackets is found where it
// was counted.
inline constexpr std::string_view SentenceWordSeparators{"!?.,$ :\"&(){}<>\r\n\t"};

// The text shown when no stored sentence holds the word; it has no line break.
inline constexpr std::string_view kNoSentenceFound{"Sentence NOT Found."};

// Returns, host by host in byte order, "[from " host "]\r\n", then each sentence of that host
// that holds `word` or one of the forms `index` lists for it, in byte order, as
// sentence "...\r\n" (an article's sentence that ends with its own full stop, closing quote or
// bracket without the "..."), then one more "\r\n"; hosts without such a sentence are left out. A
// word matches a whole word of a sentence, ignoring the case of ASCII letters. Returns
// kNoSentenceFound when no host has one. `word` is the word as the word list shows it (lower
// case); an empty word or form matches nothing. Neither `store` nor `index` is changed.
std::string FindSentences(const SentenceStore& store, std::string_view word,
                          const InflectionIndex& index);

// The upper-case forms a shown `word` is matched with: the word itself and the inflected
// forms `index` lists for it, empty ones left out (an empty form would match nothing).
std::vector<std::string> SearchForms(std::string_view word, const InflectionIndex& index);

namespace detail {
constexpr std::array<bool, 256> MakeSeparatorTable() {
  std::array<bool, 256> table{};
  for (char c : SentenceWordSeparators) table[static_cast<unsigned char>(c)] = true;
  return table;
}
// A table rather than a search: the finder asks this for every byte of every stored sentence.
inline constexpr std::array<bool, 256> kIsSentenceWordSeparator = MakeSeparatorTable();
}  // namespace detail

inline bool IsSentenceWordSeparator(char byte) {
  return detail::kIsSentenceWordSeparator[static_cast<unsigned char>(byte)];
}

// Calls `visit` with each word of `sentence` in order, cut at SentenceWordSeparators with the
// empty ones skipped; each word is a view into `sentence`. Stops, returning true, at the first
// word for which `visit` returns true; returns false when none did.
template <class Visit>
bool AnySentenceWord(std::string_view sentence, Visit&& visit) {
  std::size_t wordStart = 0;
  for (std::size_t i = 0; i <= sentence.size(); ++i) {
    if (i < sentence.size() && !IsSentenceWordSeparator(sentence[i])) continue;
    if (i > wordStart && visit(sentence.substr(wordStart, i - wordStart))) return true;
    wordStart = i + 1;
  }
  return false;
}

// Returns whether `word` upper-cased equals `upperForm` (which holds no a-z).
bool MatchesForm(std::string_view word, std::string_view upperForm);

// Returns whether one of the words of `sentence`, cut at SentenceWordSeparators and
// upper-cased, equals one of `upperForms` (upper-case, none empty).
bool HoldsAnyForm(std::string_view sentence, const std::vector<std::string>& upperForms);

// HoldsAnyForm for many sentences and the same forms, without cutting sentences into words:
// only where the first bytes of a form stand is it compared whole and its ends looked at.
class FormSearch {
 public:
  // `upperForms` as for HoldsAnyForm.
  explicit FormSearch(const std::vector<std::string>& upperForms);
  // The same answer as HoldsAnyForm(sentence, upperForms).
  bool Holds(std::string_view sentence) const;

 private:
  std::vector<std::string> forms_;  // those that can be a word: no separator in them
  FormPrefilter prefilter_;
};

}  // namespace quillmark
