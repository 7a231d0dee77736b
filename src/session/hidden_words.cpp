#include "session/hidden_words.h"

#include "study/word_classes.h"

namespace quillmark {

std::set<std::string> HiddenRowWords(const MainStores& stores, bool hideNames) {
  if (!hideNames) return {};
  return NamesAndPageLabels(
      ClassifyWords(stores.ranking, stores.ngWords, stores.sentences, stores.inflectionIndex));
}

std::set<std::string> WordsNotShown(const MainStores& stores, bool hideNames) {
  std::set<std::string> words = stores.ngWords;
  words.merge(HiddenRowWords(stores, hideNames));
  return words;
}

}  // namespace quillmark
