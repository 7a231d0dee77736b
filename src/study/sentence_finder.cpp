#include "study/sentence_finder.h"

#include <algorithm>
#include <vector>

#include "text/tokenizer.h"

namespace quillmark {
namespace {

// The upper-case forms a sentence word is compared with: the word and its inflected forms.
std::vector<std::string> SearchForms(std::string_view word, const InflectionIndex& index) {
  std::vector<std::string> forms{UpperCaseAscii(word)};
  if (const auto entry = index.find(forms.front()); entry != index.end()) {
    forms.insert(forms.end(), entry->second.begin(), entry->second.end());
  }
  // An empty token stands between two separators, not for a word.
  std::erase(forms, std::string());
  return forms;
}

bool HoldsAnyForm(const std::string& sentence, const std::vector<std::string>& forms) {
  const std::string upper = UpperCaseAscii(sentence);
  // Most sentences hold none of the forms anywhere; only those that do are cut into words.
  const bool mayHold = std::any_of(forms.begin(), forms.end(), [&](const std::string& form) {
    return upper.find(form) != std::string::npos;
  });
  if (!mayHold) return false;
  for (const std::string& token : SplitText(upper, SentenceWordSeparators)) {
    if (std::find(forms.begin(), forms.end(), token) != forms.end()) return true;
  }
  return false;
}

}  // namespace

std::string FindSentences(const SentenceStore& store, std::string_view word,
                          const InflectionIndex& index) {
  const std::vector<std::string> forms = SearchForms(word, index);
  std::string found;
  if (!forms.empty()) {
    for (const auto& [host, sentences] : store) {
      bool hostShown = false;
      // The host's set is in byte order already, so the matches come out in that order.
      for (const std::string& sentence : sentences) {
        if (!HoldsAnyForm(sentence, forms)) continue;
        if (!hostShown) {
          found += "[from " + host + "]\r\n";
          hostShown = true;
        }
        found += sentence;
        found += "...\r\n";
      }
      if (hostShown) found += "\r\n";
    }
  }
  if (found.empty()) found = kNoSentenceFound;
  return found;
}

}  // namespace quillmark
