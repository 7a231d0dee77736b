#include "text/inflection_normalizer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/folded_tally.h"
#include "text/sorted_words.h"

namespace quillmark {
namespace {

struct SuffixRule {
  std::string_view suffix;
  std::string_view replacement;
};

constexpr std::array<SuffixRule, 9> kSuffixRules{{
    {"IES", "Y"},
    {"MMING", "M"},
    {"NNING", "N"},
    {"IED", "Y"},
    {"PPED", "P"},
    {"PPING", "P"},
    {"ED", ""},
    {"S", ""},
    {"ING", ""},
}};

// The fallbacks put back the E that ED and ING swallowed (HOPED -> HOPE, MAKING -> MAKE).
constexpr std::string_view kFallbackSuffixes[] = {"ED", "ING"};
constexpr std::string_view kFallbackEnding = "E";

// Length of the stem left when `word` ends in `suffix` and is longer than it, else 0.
std::size_t StemLength(std::string_view word, std::string_view suffix) {
  if (word.size() <= suffix.size() || !word.ends_with(suffix)) return 0;
  return word.size() - suffix.size();
}

// Writes the first rule's base form into `candidate`; returns false when no rule matches.
bool ApplySuffixRulesInto(std::string_view word, std::string& candidate) {
  for (const SuffixRule& rule : kSuffixRules) {
    if (const std::size_t stem = StemLength(word, rule.suffix); stem > 0) {
      candidate.assign(word.substr(0, stem));
      candidate.append(rule.replacement);
      return true;
    }
  }
  return false;
}

// Writes the fallback candidate into `candidate`; returns false when W ends in neither
// ED nor ING. Only the first fitting fallback is offered, accepted or not.
bool ApplyFallbackInto(std::string_view word, std::string& candidate) {
  for (std::string_view suffix : kFallbackSuffixes) {
    if (const std::size_t stem = StemLength(word, suffix); stem > 0) {
      candidate.assign(word.substr(0, stem));
      candidate.append(kFallbackEnding);
      return true;
    }
  }
  return false;
}

// The result tally while folding: the raw words' entries, each present or removed, plus
// the entries of dictionary base forms that the raw tally does not hold. Such a base form
// never gets removed, because only raw words are visited.
class ResultTally {
 public:
  ResultTally(const std::vector<SortedWord>& raw, const WordPositions& finder)
      : raw_(raw), finder_(finder), entries_(raw.size()) {
    for (std::size_t i = 0; i < raw.size(); ++i) entries_[i] = Entry{raw[i].count, true};
  }

  void Remove(std::size_t index) { entries_[index] = Entry{0, false}; }

  // Adds `count` to the raw word at `index`, bringing its entry back from 0 if removed.
  void AddTo(std::size_t index, std::int32_t count) {
    if (!entries_[index].present) entries_[index] = Entry{0, true};
    entries_[index].count = WrappingSum(entries_[index].count, count);
  }

  // Adds `count` to the entry of `word`, creating it with 0 first when absent.
  void AddTo(std::string_view word, std::int32_t count) {
    if (const std::size_t index = finder_.Find(word); index != kNotFound) {
      AddTo(index, count);
    } else {
      std::int32_t& unattested = unattested_[std::string(word)];
      unattested = WrappingSum(unattested, count);
    }
  }

  // The present entries merged with the unattested ones, in byte order.
  FoldedTally Finish() {
    std::vector<SortedWord> words;
    words.reserve(raw_.size() + unattested_.size());
    auto unattested = unattested_.begin();
    auto takeUnattestedBefore = [&](std::string_view limit, bool all) {
      for (; unattested != unattested_.end() && (all || ByteLess(unattested->first, limit));
           ++unattested) {
        words.push_back(
            SortedWord{PrefixKey(unattested->first), unattested->first, unattested->second});
      }
    };
    for (std::size_t i = 0; i < raw_.size(); ++i) {
      if (!entries_[i].present) continue;
      takeUnattestedBefore(raw_[i].word, false);
      words.push_back(SortedWord{raw_[i].key, raw_[i].word, entries_[i].count});
    }
    takeUnattestedBefore({}, true);
    return FoldedTally(std::move(words), std::move(unattested_));
  }

 private:
  struct Entry {
    std::int32_t count;
    bool present;
  };
  const std::vector<SortedWord>& raw_;
  const WordPositions& finder_;
  std::vector<Entry> entries_;
  WordTally unattested_;
};

}  // namespace

std::string StripSuffix(std::string_view word, std::string_view suffix) {
  const std::size_t stem = StemLength(word, suffix);
  return std::string(word.substr(0, stem));
}

std::string ApplySuffixRules(std::string_view word) {
  std::string candidate;
  if (!ApplySuffixRulesInto(word, candidate)) candidate.assign(word);
  return candidate;
}

std::vector<std::string> WordsThatMayFoldOnto(std::string_view base) {
  std::vector<std::string> words;
  const auto addUndone = [&](std::string_view suffix, std::string_view replacement) {
    if (!base.ends_with(replacement)) return;
    words.push_back(std::string(base.substr(0, base.size() - replacement.size())) +
                    std::string(suffix));
  };
  for (const SuffixRule& rule : kSuffixRules) addUndone(rule.suffix, rule.replacement);
  for (std::string_view suffix : kFallbackSuffixes) addUndone(suffix, kFallbackEnding);
  return words;
}

std::vector<std::string> FoldTargetsOf(std::string_view word) {
  std::vector<std::string> targets;
  std::string candidate;
  if (ApplySuffixRulesInto(word, candidate)) targets.push_back(candidate);
  if (ApplyFallbackInto(word, candidate)) targets.push_back(candidate);
  return targets;
}

std::vector<SortedWord> SortedWordsOf(const WordTally& tally) {
  std::vector<SortedWord> words;
  words.reserve(tally.size());
  for (const auto& [word, count] : tally) words.push_back(SortedWord{PrefixKey(word), word, count});
  return words;
}

FoldedTally FoldSortedWords(const std::vector<SortedWord>& raw, const WordPositions& attested,
                            MappingDictionary& dictionary,
                            std::vector<std::string_view>& newBaseForms) {
  ResultTally result(raw, attested);
  // Learned base forms are raw words: their positions, sorted, give them in byte order.
  std::vector<std::size_t> learned;
  auto handOverLearned = [&] {
    std::sort(learned.begin(), learned.end());
    learned.erase(std::unique(learned.begin(), learned.end()), learned.end());
    for (std::size_t base : learned) newBaseForms.push_back(raw[base].word);
  };
  std::string candidate;
  candidate.reserve(1024);
  // The dictionary and the raw tally share the byte order, so one forward walk through the
  // dictionary finds every raw word's pair; a learned pair is inserted just behind it.
  auto pair = dictionary.begin();
  try {
    for (std::size_t index = 0; index < raw.size(); ++index) {
      const std::string_view word = raw[index].word;
      const std::int32_t rawCount = raw[index].count;
      while (pair != dictionary.end() && ByteLess(pair->first, word)) ++pair;
      if (pair != dictionary.end() && pair->first == word) {
        result.Remove(index);
        result.AddTo(pair->second, rawCount);  // a self-mapping thus resets to the raw count
        continue;
      }
      if (!ApplySuffixRulesInto(word, candidate)) continue;  // no rule fits: the word stays
      std::size_t base = attested.Find(candidate);
      if (base == kNotFound) {
        if (!ApplyFallbackInto(word, candidate)) continue;
        base = attested.Find(candidate);
        if (base == kNotFound) continue;
      }
      result.Remove(index);
      result.AddTo(base, rawCount);
      dictionary.emplace_hint(pair, word, raw[base].word);
      learned.push_back(base);
    }
  } catch (...) {
    handOverLearned();  // what was learned before a failure stays learned
    throw;
  }
  handOverLearned();
  return result.Finish();
}

WordTally FoldInflections(WordTally rawTally, MappingDictionary& dictionary,
                          std::set<std::string>& newBaseForms) {
  std::vector<std::string_view> learned;
  // In byte order, so each insertion lands at the end when the set held nothing greater.
  auto addLearned = [&] {
    for (std::string_view baseForm : learned)
      newBaseForms.emplace_hint(newBaseForms.end(), baseForm);
  };
  WordTally folded;
  try {
    const std::vector<SortedWord> raw = SortedWordsOf(rawTally);
    folded = FoldSortedWords(raw, SortedWordFinder(raw), dictionary, learned).ToTally();
  } catch (...) {
    addLearned();
    throw;
  }
  addLearned();
  return folded;
}

}  // namespace quillmark
