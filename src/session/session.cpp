#include "session/session.h"

#include <optional>

#include "session/run_aggregation.h"
#include "study/known_share.h"
#include "study/word_classes.h"
#include "text/ascii_case.h"

namespace quillmark {

Session::Session(StoreFiles& files) : files_(files) {}

void Session::Load(SettingsFile& settings, Leftovers leftovers) {
  loaded_ = false;
  firstStart_ = !files_.Exists(kNgWordsFile);
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

const FrequencyRanks& Session::Ranks() {
  if (!ranks_) ranks_ = std::make_unique<FrequencyRanks>(files_.BuiltIn("FREQUENCY_RANKS"));
  return *ranks_;
}

const std::vector<std::string>& Session::MadeUpWords() {
  if (!madeUpWords_) {
    madeUpWords_ =
        std::make_unique<std::vector<std::string>>(WordLines(files_.BuiltIn("MADE_UP_WORDS")));
  }
  return *madeUpWords_;
}

bool Session::LevelKnows(const std::string& upperWord) {
  const std::int32_t level = stores_.configuration.vocabularyLevel;
  if (level <= 0 || stores_.unknownWords.contains(upperWord)) return false;
  const std::int32_t rank = Ranks().RankOf(upperWord);
  return rank > 0 && rank <= level;
}

std::set<std::string> Session::KnownWords() {
  std::set<std::string> known = stores_.ngWords;
  if (stores_.configuration.vocabularyLevel <= 0) return known;
  for (auto& word : Ranks().WordsWithin(stores_.configuration.vocabularyLevel)) {
    if (!stores_.unknownWords.contains(word)) known.insert(word);
  }
  return known;
}

bool Session::MarkKnown(const std::string& upperWord) {
  stores_.ngWords.insert(upperWord);
  stores_.unknownWords.erase(upperWord);
  std::int32_t& level = stores_.configuration.vocabularyLevel;
  if (level <= 0) return false;
  const std::int32_t before = level;
  level = LevelAfterMark(level, Ranks().RankOf(upperWord), true, Ranks().Size());
  return level != before;
}

bool Session::MarkUnknown(const std::string& upperWord) {
  stores_.ngWords.erase(upperWord);
  std::int32_t& level = stores_.configuration.vocabularyLevel;
  if (level <= 0) return false;
  if (LevelKnows(upperWord)) stores_.unknownWords.insert(upperWord);
  const std::int32_t before = level;
  level = LevelAfterMark(level, Ranks().RankOf(upperWord), false, Ranks().Size());
  return level != before;
}

std::set<std::string> Session::LeftOutOfShare(const std::set<std::string>& words) {
  std::set<std::string> leftOut;
  if (stores_.configuration.vocabularyLevel <= 0) return leftOut;
  const WordClasses classes =
      ClassifyWords(stores_.ranking, stores_.ngWords, stores_.sentences, stores_.inflectionIndex);
  const std::set<std::string> mapped(stores_.mappedWords.begin(), stores_.mappedWords.end());
  std::set<std::string> bases;
  for (const auto& [form, base] : Dictionary()) bases.insert(base);
  for (const auto& word : words) {
    if (word.empty()) continue;
    const auto found = classes.find(word);
    if (found != classes.end() && found->second == WordClass::kName) {
      leftOut.insert(word);
      continue;
    }
    const bool listed = stores_.ngWords.contains(word) || mapped.contains(word) ||
                        Dictionary().contains(word) || bases.contains(word) ||
                        Ranks().RankOf(word) > 0;
    if (!listed && !MeaningOf(word).Found()) leftOut.insert(word);
  }
  return leftOut;
}

bool Session::LearnFromNewKnownWords(const std::set<std::string>& before) {
  std::int32_t& level = stores_.configuration.vocabularyLevel;
  if (level <= 0) return false;
  const std::int32_t start = level;
  for (const auto& word : stores_.ngWords) {
    if (before.contains(word)) continue;
    stores_.unknownWords.erase(word);
    level = LevelAfterMark(level, Ranks().RankOf(word), true, Ranks().Size());
  }
  return level != start;
}

std::set<std::string> Session::LeftOutOfRunShare() {
  std::set<std::string> words;
  if (stores_.configuration.vocabularyLevel <= 0) return words;
  for (const auto& [word, count] : stores_.ranking) words.insert(word);
  return LeftOutOfShare(words);
}

}  // namespace quillmark
