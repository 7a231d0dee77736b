#include "study/sentence_finder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "study/form_prefilter.h"
#include "text/byte_tricks.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

constexpr int kSentencesAhead = 4;

}  // namespace

std::vector<std::string> SearchForms(std::string_view word, const InflectionIndex& index) {
  std::vector<std::string> forms{UpperCaseAscii(word)};
  if (const auto entry = index.find(forms.front()); entry != index.end()) {
    forms.insert(forms.end(), entry->second.begin(), entry->second.end());
  }
  // An empty token stands between two separators, not for a word.
  std::erase(forms, std::string());
  return forms;
}

// `upperForm` holds no a-z, so comparing with each byte of `word` upper-cased is the same as
// comparing with UpperCaseAscii(word).
bool MatchesForm(std::string_view word, std::string_view upperForm) {
  if (word.size() != upperForm.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (AsciiUpper(word[i]) != upperForm[i]) return false;
  }
  return true;
}

bool HoldsAnyForm(std::string_view sentence, const std::vector<std::string>& upperForms) {
  // The same words as SplitText(UpperCaseAscii(sentence), SentenceWordSeparators), found
  // without building either: each lookup walks every stored sentence.
  return AnySentenceWord(sentence, [&](std::string_view word) {
    for (const std::string& form : upperForms) {
      if (MatchesForm(word, form)) return true;
    }
    return false;
  });
}

namespace {

// A form holding a separator is never a word of a sentence.
std::vector<std::string> FormsThatCanBeWords(const std::vector<std::string>& upperForms) {
  std::vector<std::string> forms;
  for (const std::string& form : upperForms) {
    if (std::none_of(form.begin(), form.end(), IsSentenceWordSeparator)) forms.push_back(form);
  }
  return forms;
}

// Whether `upperForm` stands at `position` of `sentence` as a whole word, case ignored.
bool StandsAsWordAt(std::string_view sentence, std::size_t position, std::string_view upperForm) {
  const std::size_t end = position + upperForm.size();
  if (end > sentence.size()) return false;
  if (position > 0 && !IsSentenceWordSeparator(sentence[position - 1])) return false;
  if (end < sentence.size() && !IsSentenceWordSeparator(sentence[end])) return false;
  return MatchesForm(sentence.substr(position, upperForm.size()), upperForm);
}

}  // namespace

FormSearch::FormSearch(const std::vector<std::string>& upperForms)
    : forms_(FormsThatCanBeWords(upperForms)), prefilter_(forms_) {}

bool FormSearch::Holds(std::string_view sentence) const {
  return prefilter_.AnyCandidate(sentence, [&](std::size_t position) {
    for (const std::string& form : forms_) {
      if (StandsAsWordAt(sentence, position, form)) return true;
    }
    return false;
  });
}

std::string FindSentences(const SentenceStore& store, std::string_view word,
                          const InflectionIndex& index) {
  const std::vector<std::string> forms = SearchForms(word, index);
  const FormSearch search(forms);
  // The matches are gathered first and the text written once at its full size: growing it
  // match by match copied every byte about twice more for a common word.
  std::vector<std::pair<const std::string*, std::size_t>> hosts;  // with their match counts
  std::vector<const std::string*> matches;
  if (!forms.empty()) {
    for (const auto& [host, sentences] : store) {
      const std::size_t before = matches.size();
      // The host's set is in byte order already, so the matches come out in that order.
      // The bytes of each sentence lie apart from its node: ask for those of a sentence a few
      // nodes ahead while this one is tested.
      auto ahead = sentences.begin();
      for (int n = 0; n < kSentencesAhead && ahead != sentences.end(); ++n) ++ahead;
      for (const std::string& sentence : sentences) {
        if (ahead != sentences.end()) PrefetchForReading((ahead++)->data());
        if (search.Holds(sentence)) matches.push_back(&sentence);
      }
      if (matches.size() > before) hosts.emplace_back(&host, matches.size() - before);
    }
  }
  if (matches.empty()) return std::string(kNoSentenceFound);
  constexpr std::string_view kHostStart = "[from ", kHostEnd = "]\r\n", kSentenceEnd = "...\r\n";
  // The scanner's sentences never hold a full stop, a double quote or a bracket: only an
  // article's sentence, already ended as written, goes without the dots.
  const auto endOf = [&](const std::string& sentence) {
    const bool ended = sentence.ends_with('.') || sentence.ends_with('"') ||
                       sentence.ends_with(')') || sentence.ends_with("\xE2\x80\x9D") ||
                       sentence.ends_with("\xE2\x80\x99");
    return ended ? kSentenceEnd.substr(3) : kSentenceEnd;
  };
  std::size_t size = 0;
  for (const auto& [host, count] : hosts)
    size += kHostStart.size() + host->size() + kHostEnd.size() + 2;
  for (const std::string* sentence : matches) size += sentence->size() + endOf(*sentence).size();
  std::string found;
  found.reserve(size);
  auto match = matches.begin();
  for (const auto& [host, count] : hosts) {
    found.append(kHostStart).append(*host).append(kHostEnd);
    for (std::size_t n = 0; n < count; ++n, ++match) found.append(**match).append(endOf(**match));
    found += "\r\n";
  }
  return found;
}

}  // namespace quillmark
