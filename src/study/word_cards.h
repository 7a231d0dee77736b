#pragma once
// The words of a run as cards for a flashcard program: a tab-separated UTF-8 file that such
// programs import, one card per word with an example sentence and its dictionary address.

#include <cstdint>
#include <set>
#include <string>

#include "study/sentence_store.h"
#include "study/web_dictionary.h"
#include "text/word_types.h"

namespace quillmark {

// Which ranked words become cards: the rows the word list shows, or every ranked word that
// is not on the NG-word list.
enum class CardWords { kShown, kAllRanked };

// Returns the bytes of the card file, one line per word of `ranking` that `which` selects
// (SelectShownWords' order and NG filter; for kShown at most itemViewCount + 1), each line
//   word TAB count TAB example TAB host TAB address LF
// with no header line:
//  - word: as the list shows it (ASCII letters lowered); count: decimal;
//  - example: of the sentences of `sentences` that hold the word or an inflected form of it
//    (as FindSentences matches them, forms from `index`), the shortest in bytes of the whole
//    sentences (a capital letter first, at least five words, not cut by the store's full stop
//    after a single letter or a title such as "Mr", "Mrs", "Dr", "St", "No", "vs", "Sen":
//    "Bush reacts to the U", "ruling in Bush v"),
//    else of those with at least five words, else the shortest; on a tie the first in host,
//    then sentence, byte order. HTML-escaped ('&', '<', '>', '"'), with every word that matches
//    wrapped in "<b>" and "</b>". Empty, as is host, when no sentence holds the word;
//  - host: the host the example is stored under;
//  - address: WebDictionaryAddress(dictionary, word), what the row's dictionary link opens.
// A tab, CR or LF inside any field becomes a space, so every line has exactly five fields.
// Changes nothing.
std::string WriteWordCards(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                           std::int32_t itemViewCount, CardWords which,
                           const SentenceStore& sentences, const InflectionIndex& index,
                           WebDictionary dictionary);

}  // namespace quillmark
