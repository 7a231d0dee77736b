#pragma once
// The sentence finder: the stored sentences that hold a word or one of its inflected forms.

#include <string>
#include <string_view>
#include <vector>

#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

// The bytes at which the finder cuts a sentence into words. The apostrophe and the grave
// accent are not among them, so "DON'T" and "GO'S" are single words.
inline constexpr std::string_view SentenceWordSeparators{"!?.,$ "};

// The text shown when no stored sentence holds the word; it has no line break.
inline constexpr std::string_view kNoSentenceFound{"Sentence NOT Found."};

// Returns, host by host in byte order, "[from " host "]\r\n", then each sentence of that host
// that holds `word` or one of the forms `index` lists for it, in byte order, as
// sentence "...\r\n", then one more "\r\n"; hosts without such a sentence are left out. A word
// matches a whole word of a sentence, ignoring the case of ASCII letters. Returns
// kNoSentenceFound when no host has one. `word` is the word as the word list shows it (lower
// case); an empty word or form matches nothing. Neither `store` nor `index` is changed.
std::string FindSentences(const SentenceStore& store, std::string_view word,
                          const InflectionIndex& index);

// Returns whether one of the words of `sentence`, cut at SentenceWordSeparators and
// upper-cased, equals one of `upperForms` (upper-case, none empty).
bool HoldsAnyForm(std::string_view sentence, const std::vector<std::string>& upperForms);

}  // namespace quillmark
