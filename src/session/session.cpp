#include "session/session.h"

#include <optional>

#include "session/run_aggregation.h"
#include "study/word_classes.h"
#include "text/ascii_case.h"

namespace quillmark {

Session::Session(StoreFiles& files) : files_(files) {}

void Session::Load(SettingsFile& settings, Leftovers leftovers) {
  loaded_ = false;
  LoadStoresAndConfiguration(stores_, files_, settings, leftovers);
  loaded_ = true;
}

MappingDictionary& Session::Dictionary() {
  if (!dictionaryRead_) {
    LoadMappingDictionary(stores_, files_);
    dictionaryRead_ = true;
  }
  return stores_.dictionary;
}

void Session::Save(SettingsFile& settings) {
  if (!loaded_) return;
  SaveAllStores(stores_, files_, settings, reportPath_);
}

void Session::BeginRun() {
  stores_.figures = RunFigures{};
  stores_.ranking.clear();
}

void Session::AggregateGathered(SentenceStore gathered, WordReading reading) {
  stores_.sentences = std::move(gathered);
  AggregateRun(stores_.sentences, stores_.mappedWords, Dictionary(), stores_.inflectionIndex,
               stores_.ranking, stores_.figures, reading);
}

CardMeaning Session::RunWordMeanings() {
  auto classes = std::make_shared<std::optional<WordClasses>>();
  return [this, classes](const std::string& word) {
    const Meaning meaning = MeaningOf(word);
    if (meaning.Found() && !meaning.bySpellingRule) return JoinedSenses(meaning);
    if (!*classes)
      *classes = ClassifyWords(stores_.ranking, stores_.ngWords, stores_.sentences,
                               stores_.inflectionIndex);
    const auto found = (*classes)->find(UpperCaseAscii(word));
    const WordClass wordClass = found == (*classes)->end() ? WordClass::kWord : found->second;
    if (wordClass == WordClass::kName) return std::string(kNameMeaning);
    if (wordClass == WordClass::kPageLabel) return std::string(kPageLabelMeaning);
    return JoinedSenses(meaning);
  };
}

const EnglishJapaneseDictionary& Session::EnglishJapanese() {
  if (!dictionary_)
    dictionary_ = std::make_unique<EnglishJapaneseDictionary>(files_.BuiltIn("EJDICT"));
  return *dictionary_;
}

}  // namespace quillmark
