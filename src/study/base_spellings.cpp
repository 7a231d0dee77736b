#include "study/base_spellings.h"

#include <algorithm>

namespace quillmark {
namespace {

constexpr std::size_t kShortestBase = 3;
constexpr std::size_t kShortestDerivedBase = 4;

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

// Consonant, vowel, consonant at the end (not w, x or y last): a stem that dropped a silent e
// (din-ing from dine) as often as it is whole (visit-ing).
bool EndsConsonantVowelConsonant(std::string_view stem) {
  if (stem.size() < 3) return false;
  const char last = stem.back();
  return !IsVowel(last) && last != 'w' && last != 'x' && last != 'y' &&
         IsVowel(stem[stem.size() - 2]) && !IsVowel(stem[stem.size() - 3]);
}

class Candidates {
 public:
  explicit Candidates(std::vector<BaseSpelling>& out) : out_(out) {}

  void Add(std::string spelling, SpellingRelation relation) {
    const std::size_t shortest =
        relation == SpellingRelation::kDerivation ? kShortestDerivedBase : kShortestBase;
    if (spelling.size() < shortest) return;
    const bool known = std::any_of(out_.begin(), out_.end(), [&](const BaseSpelling& base) {
      return base.spelling == spelling;
    });
    if (!known) out_.push_back({std::move(spelling), relation});
  }

  // A stem left by -ed, -ing, -er or -est: whole, with its silent e back, or with a doubled
  // last consonant undone (stopp-ed, bigg-est); -i- stands for a y (earli-er, tidi-est).
  void AddStem(std::string_view stem, SpellingRelation relation) {
    const std::string whole(stem);
    if (EndsConsonantVowelConsonant(stem)) Add(whole + 'e', relation);
    Add(whole, relation);
    Add(whole + 'e', relation);
    if (stem.size() >= 2 && stem.back() == stem[stem.size() - 2] && !IsVowel(stem.back()))
      Add(std::string(stem.substr(0, stem.size() - 1)), relation);
    if (stem.ends_with('i')) Add(std::string(stem.substr(0, stem.size() - 1)) + 'y', relation);
  }

 private:
  std::vector<BaseSpelling>& out_;
};

std::string_view WithoutSuffix(std::string_view word, std::string_view suffix) {
  return word.substr(0, word.size() - suffix.size());
}

void AddInflections(std::string_view word, Candidates& candidates) {
  constexpr SpellingRelation kInflection = SpellingRelation::kInflection;
  if (word.ends_with("ies"))
    candidates.Add(std::string(WithoutSuffix(word, "ies")) + 'y', kInflection);
  if (word.ends_with("ses") || word.ends_with("xes") || word.ends_with("zes") ||
      word.ends_with("ches") || word.ends_with("shes") || word.ends_with("oes"))
    candidates.Add(std::string(WithoutSuffix(word, "es")), kInflection);
  if (word.ends_with('s') && !word.ends_with("ss"))
    candidates.Add(std::string(WithoutSuffix(word, "s")), kInflection);
  if (word.ends_with("ed")) candidates.AddStem(WithoutSuffix(word, "ed"), kInflection);
  if (word.ends_with("ing")) candidates.AddStem(WithoutSuffix(word, "ing"), kInflection);
  if (word.ends_with("est")) candidates.AddStem(WithoutSuffix(word, "est"), kInflection);
}

void AddComparatives(std::string_view word, Candidates& candidates) {
  if (word.ends_with("er"))
    candidates.AddStem(WithoutSuffix(word, "er"), SpellingRelation::kComparative);
}

void AddDerivations(std::string_view word, Candidates& candidates) {
  constexpr SpellingRelation kDerivation = SpellingRelation::kDerivation;
  auto stemOf = [word](std::string_view suffix) {
    return std::string(WithoutSuffix(word, suffix));
  };
  if (word.ends_with("ly")) {
    if (word.ends_with("ically")) candidates.Add(stemOf("ally"), kDerivation);    // genetic-ally
    if (word.ends_with("bly")) candidates.Add(stemOf("y") + 'e', kDerivation);    // possib-ly
    if (word.ends_with("ily")) candidates.Add(stemOf("ily") + 'y', kDerivation);  // eas-ily
    candidates.Add(stemOf("ly"), kDerivation);
  }
  if (word.ends_with("iness")) candidates.Add(stemOf("iness") + 'y', kDerivation);
  if (word.ends_with("ness")) candidates.Add(stemOf("ness"), kDerivation);
  if (word.ends_with("ility")) candidates.Add(stemOf("ility") + "le", kDerivation);
  if (word.ends_with("ity")) {
    candidates.Add(stemOf("ity"), kDerivation);
    candidates.Add(stemOf("ity") + 'e', kDerivation);
  }
  if (word.ends_with("ation")) {
    candidates.Add(stemOf("ation"), kDerivation);
    candidates.Add(stemOf("ation") + 'e', kDerivation);
    candidates.Add(stemOf("ation") + "ate", kDerivation);
  }
  if (word.ends_with("ment")) candidates.Add(stemOf("ment"), kDerivation);
  // The doer of a verb: forecast-ers (a comparative takes no -s); abduct-or whole only, so that
  // Timor does not come from time.
  if (word.ends_with("ers")) candidates.AddStem(WithoutSuffix(word, "ers"), kDerivation);
  if (word.ends_with("or")) candidates.Add(stemOf("or"), kDerivation);
  if (word.ends_with("ors")) candidates.Add(stemOf("ors"), kDerivation);
}

}  // namespace

std::vector<BaseSpelling> BaseSpellingsOf(std::string_view word) {
  std::vector<BaseSpelling> bases;
  if (word.empty() ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
    return bases;
  Candidates candidates(bases);
  AddInflections(word, candidates);
  AddComparatives(word, candidates);
  AddDerivations(word, candidates);
  return bases;
}

}  // namespace quillmark
