#pragma once
// Folding inflected forms (STUDIES, RUNNING, WALKED, CARS) onto their base forms.
//
// Three sources decide a word's base form, in this order: the mapping dictionary (built-in
// pairs plus pairs learned since start-up), nine suffix rules, and two fallbacks that put a
// final E back after ED or ING. The rules and the fallbacks are trusted only when their
// result is an attested word: a key of the run's raw tally, whatever its count.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "text/word_types.h"

namespace quillmark {

// Returns `word` without `suffix` when the word is strictly longer than the suffix and ends
// with it byte for byte; otherwise returns the empty string (a match never leaves an empty
// stem, so the empty result always means no match).
std::string StripSuffix(std::string_view word, std::string_view suffix);

// Returns the base form given by the first matching rule of IES->Y, MMING->M, NNING->N,
// IED->Y, PPED->P, PPING->P, ED->'', S->'', ING->'' (in that order), or `word` itself when
// no rule matches. Only the first match is tried: STUDIES gives STUDY, never STUDIE.
std::string ApplySuffixRules(std::string_view word);

// The words that a suffix rule or a fallback may fold onto `base`: for every rule and
// fallback whose replacement ends `base`, `base` with the replacement traded for the
// suffix (STUDY gives STUDIES and STUDIED among others). More than the fold would ever take:
// whether that rule is the first to fit, and whether its result is attested, is left to it.
std::vector<std::string> WordsThatMayFoldOnto(std::string_view base);

// The words whose presence in a raw tally decides where the fold puts `word` when the
// dictionary does not hold it: its suffix-rule result and its fallback candidate, those it has.
std::vector<std::string> FoldTargetsOf(std::string_view word);

// Folds the counts of inflected forms onto their base forms in one pass over `rawTally`
// (ascending byte order) and returns the folded tally. For each word W with raw count n:
//  - W in `dictionary`: W's entry is removed and n is added to its dictionary base form
//    (created with 0 when absent, attested or not). A self-mapping resets W to n.
//  - otherwise the rule result S, or failing that (only when W ends in ED, else ING) the
//    stem + "E", is accepted when it is a key of the raw tally: W's entry is removed, n is
//    added to S's entry, `dictionary` learns W->S and S joins `newBaseForms`.
//  - otherwise W keeps its entry.
// Always the raw count moves: counts already folded onto W are lost when W itself is folded
// (MEET 1, MEETING 2, MEETINGS 4 gives MEET 3, MEETING 4). Changes `dictionary` and
// `newBaseForms` only by adding. On allocation failure throws std::bad_alloc; pairs learned
// until then stay.
WordTally FoldInflections(WordTally rawTally, MappingDictionary& dictionary,
                          std::set<std::string>& newBaseForms);

}  // namespace quillmark
