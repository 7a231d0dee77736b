#include "text/inflection_normalizer.h"

#include <array>
#include <cstddef>

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

void MoveCount(WordTally& result, const std::string& from, const std::string& to,
               std::int32_t rawCount) {
  result.erase(from);
  std::int32_t& count = result[to];
  count = static_cast<std::int32_t>(static_cast<std::uint32_t>(count) +
                                    static_cast<std::uint32_t>(rawCount));
}

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

WordTally FoldInflections(WordTally rawTally, MappingDictionary& dictionary,
                          std::set<std::string>& newBaseForms) {
  WordTally result = rawTally;
  std::string candidate;
  candidate.reserve(1024);
  for (const auto& [word, rawCount] : rawTally) {
    if (const auto mapped = dictionary.find(word); mapped != dictionary.end()) {
      MoveCount(result, word, mapped->second, rawCount);
      continue;
    }
    if (!ApplySuffixRulesInto(word, candidate)) continue;  // no rule fits: W stays
    if (!rawTally.contains(candidate)) {
      if (!ApplyFallbackInto(word, candidate) || !rawTally.contains(candidate)) continue;
    }
    MoveCount(result, word, candidate, rawCount);
    dictionary.emplace(word, candidate);
    newBaseForms.insert(candidate);
  }
  return result;
}

}  // namespace quillmark
