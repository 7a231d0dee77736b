#include "study/article_names.h"

#include <map>

namespace quillmark {
namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

bool AllCapitals(const std::string& word) {
  for (char c : word)
    if (IsLower(c)) return false;
  return true;
}

}  // namespace

std::set<std::string> NamesOfArticle(const std::vector<std::string>& paragraphs,
                                     const MappingDictionary& baseOf) {
  struct Evidence {
    int capitalised = 0;
    int lowerCase = 0;
  };
  std::map<std::string, Evidence> evidence;
  for (const std::string& paragraph : paragraphs) {
    bool sentenceStart = true;
    for (const TextPiece& piece : CutIntoPieces(paragraph)) {
      if (!piece.word) {
        if (piece.text.find_first_of(".!?") != std::string::npos) sentenceStart = true;
        continue;
      }
      const bool tellsCase = !sentenceStart && !(piece.text.size() > 1 && AllCapitals(piece.text));
      sentenceStart = false;
      if (!tellsCase) continue;
      Evidence& seen = evidence[CountedWordOf(piece.text, baseOf)];
      ++(IsUpper(piece.text.front()) ? seen.capitalised : seen.lowerCase);
    }
  }
  std::set<std::string> names;
  for (const auto& [word, seen] : evidence)
    if (seen.capitalised > 0 && seen.lowerCase == 0) names.insert(word);
  return names;
}

}  // namespace quillmark
