#pragma once
// Which ranked words are names or page labels, judged from the run's own sentences, which
// keep the case the pages wrote them in. A learner may hide both from the word list: a name
// (Florida, Bush, Aristide) needs no dictionary, a page label (Related, Top Stories, Sign in)
// is the page's furniture, not its news.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

enum class WordClass { kWord, kName, kPageLabel };

// Upper-case ranked word -> its class.
using WordClasses = std::map<std::string, WordClass>;

// A stored "sentence" of this many words or fewer is a label line of the page (a menu entry,
// a heading, a button): "Related sites", "TOP STORIES", "Sign in".
inline constexpr std::size_t kLabelLineWords = 3;
// A word is a page label when at least kLabelPercent of its occurrences are in label lines:
// two thirds, not a bare majority, so that a news word that also names a section of the site
// ("Business", "Health") stays a word unless the page uses it almost only so.
inline constexpr std::size_t kLabelPercent = 66;  // two thirds, rounded down
// A word is a name when it has at least kNameEvidence occurrences that tell its case, and
// at least kNameCapitalPercent of those start with a capital letter: "nearly all", so that an
// ordinary word capitalised now and then stays a word, while a name miswritten once is still
// a name. An occurrence tells nothing about case when it starts a sentence (the first word,
// or one after '!' or '?') or is written all in capitals (a shouted heading). Two are
// enough: a day's pages name most people and places only a few times, and an ordinary word
// that ranks high is seldom written only in the capitals of headings.
inline constexpr std::size_t kNameEvidence = 2;
inline constexpr std::size_t kNameCapitalPercent = 90;

// Returns the class of every word of `ranking` with a count of at least 1 that is not on
// `ngWords`, counting the occurrences of the word and of the inflected forms `index` lists
// for it in every sentence of `sentences` (words cut as the sentence finder cuts them). The
// label test comes first: a menu's words are capitalised too. A word without occurrences
// (a form folded away, a word of another run) is kWord. Changes nothing.
WordClasses ClassifyWords(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                          const SentenceStore& sentences, const InflectionIndex& index);

// The words of `classes` that are names or page labels: what the rows leave out when the
// learner hides them (they are still counted, ranked and reported).
std::set<std::string> NamesAndPageLabels(const WordClasses& classes);

// "word", "name" or "label", as the command line's JSON writes a class.
std::string_view WordClassName(WordClass wordClass);

}  // namespace quillmark
