#include "study/word_classes.h"

#include <unordered_map>
#include <vector>

#include "study/sentence_finder.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

struct Occurrences {
  std::size_t total = 0;
  std::size_t inLabelLines = 0;
  std::size_t caseEvidence = 0;  // occurrences that tell the word's case (see kNameEvidence)
  std::size_t capitalised = 0;   // of caseEvidence

  WordClass Class() const {
    if (total == 0) return WordClass::kWord;
    if (100 * inLabelLines >= kLabelPercent * total) return WordClass::kPageLabel;
    if (caseEvidence >= kNameEvidence && 100 * capitalised >= kNameCapitalPercent * caseEvidence)
      return WordClass::kName;
    return WordClass::kWord;
  }
};

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }

bool AllCapitals(std::string_view word) {
  bool letters = false;
  for (char c : word) {
    if (IsAsciiLower(c)) return false;
    letters = letters || IsAsciiUpper(c);
  }
  return letters && word.size() > 1;  // "I" or "A" alone shouts nothing
}

// Whether the word at `start` opens a sentence: nothing but spaces before it, or a '!' or
// '?' (which do not cut the stored sentences) ends the text before it.
bool StartsASentence(std::string_view sentence, std::size_t start) {
  while (start > 0 && sentence[start - 1] == ' ') --start;
  return start == 0 || sentence[start - 1] == '!' || sentence[start - 1] == '?';
}

std::size_t WordCount(std::string_view sentence) {
  std::size_t words = 0;
  AnySentenceWord(sentence, [&](std::string_view) {
    ++words;
    return false;
  });
  return words;
}

}  // namespace

WordClasses ClassifyWords(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                          const SentenceStore& sentences, const InflectionIndex& index) {
  std::vector<const std::string*> words;
  std::unordered_map<std::string, std::vector<std::size_t>> wordsOfForm;
  for (const auto& [word, count] : ranking) {
    if (count < 1 || ngWords.contains(word)) continue;
    wordsOfForm[word].push_back(words.size());
    if (const auto forms = index.find(word); forms != index.end()) {
      for (const std::string& form : forms->second)
        if (form != word) wordsOfForm[form].push_back(words.size());
    }
    words.push_back(&word);
  }

  std::vector<Occurrences> occurrences(words.size());
  std::string upper;
  for (const auto& [host, hostSentences] : sentences) {
    for (const std::string& sentence : hostSentences) {
      const bool labelLine = WordCount(sentence) <= kLabelLineWords;
      AnySentenceWord(sentence, [&](std::string_view word) {
        upper = UpperCaseAscii(word);
        const auto found = wordsOfForm.find(upper);
        if (found == wordsOfForm.end()) return false;
        const auto start = static_cast<std::size_t>(word.data() - sentence.data());
        const bool caseEvidence = !StartsASentence(sentence, start) && !AllCapitals(word);
        for (std::size_t w : found->second) {
          Occurrences& seen = occurrences[w];
          ++seen.total;
          if (labelLine) ++seen.inLabelLines;
          if (caseEvidence) {
            ++seen.caseEvidence;
            if (IsAsciiUpper(word.front())) ++seen.capitalised;
          }
        }
        return false;
      });
    }
  }

  WordClasses classes;
  for (std::size_t w = 0; w < words.size(); ++w) classes[*words[w]] = occurrences[w].Class();
  return classes;
}

std::set<std::string> NamesAndPageLabels(const WordClasses& classes) {
  std::set<std::string> hidden;
  for (const auto& [word, wordClass] : classes)
    if (wordClass != WordClass::kWord) hidden.insert(hidden.end(), word);
  return hidden;
}

std::string_view WordClassName(WordClass wordClass) {
  switch (wordClass) {
    case WordClass::kName:
      return "name";
    case WordClass::kPageLabel:
      return "label";
    case WordClass::kWord:
      break;
  }
  return "word";
}

}  // namespace quillmark
