#pragma once
// The words of a run as cards for a flashcard program: a tab-separated UTF-8 file that such
// programs import, one card per word with an example sentence and its dictionary address.

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "study/sentence_store.h"
#include "study/web_dictionary.h"
#include "text/word_types.h"

namespace quillmark {

// Which ranked words become cards: the rows the word list shows, or every ranked word that
// is not on the NG-word list.
enum class CardWords { kShown, kAllRanked };

// The meaning a card shows for a word (lower case): its senses joined with " / ", empty when
// the dictionary has none.
using CardMeaning = std::function<std::string(const std::string& word)>;

// The header lines that let Anki import the file without settings.
extern const char* const kWordCardsHeader;

// Returns the bytes of the card file: kWordCardsHeader, then one line per word of `ranking`
// that `which` selects (SelectShownWords' order and NG filter; for kShown at most
// itemViewCount + 1), each line
//   word TAB count TAB example TAB host TAB address TAB meaning LF
// (the meaning last, so an import that reads five fields still finds the first five):
//  - word: as the list shows it (ASCII letters lowered); count: decimal;
//  - example: of the sentences of `sentences` that hold the word or an inflected form of it
//    (as FindSentences matches them, forms from `index`), the shortest in bytes of the whole
//    sentences (a capital letter first, at least five words, not cut by the store's full stop
//    after a single letter or a title such as "Mr", "Mrs", "Dr", "St", "No", "vs", "Sen":
//    "Bush reacts to the U", "ruling in Bush v"),
//    else of those with at least five words, else the shortest; on a tie the first in host,
//    then sentence, byte order. HTML-escaped ('&', '<', '>', '"'), with every word that matches
//    wrapped in "<b>" and "</b>". Empty, as is host, when no sentence holds the word;
//  - host: the host the example is stored under, HTML-escaped as the example is;
//  - address: WebDictionaryAddress(dictionary, word), what the row's dictionary link opens;
//  - meaning: meaningOf(word), HTML-escaped as the example is.
// Every field is valid UTF-8 (ValidUtf8: Shift-JIS converted, other bad bytes U+FFFD). A tab,
// CR or LF inside any field becomes a space, so every line has exactly six fields; any other
// control byte is written as "\xNN" (EscapeControlBytes).
// Changes nothing.
std::string WriteWordCards(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                           std::int32_t itemViewCount, CardWords which,
                           const SentenceStore& sentences, const InflectionIndex& index,
                           WebDictionary dictionary, const CardMeaning& meaningOf);

}  // namespace quillmark
