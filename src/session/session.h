#pragma once
// The stores of one program run, without any window: what the main window and the
// command-line program both hold.
//
// A session loads every store in the start-up order and saves them in the exit order. It
// remembers whether the load completed: a start-up that failed part-way has partly filled
// lists, and writing them would overwrite the user's files with less than they held.

#include <memory>
#include <string>
#include <string_view>

#include "session/data_files.h"
#include "session/main_stores.h"
#include "study/english_japanese_dictionary.h"
#include "study/vocabulary_level.h"
#include "study/word_cards.h"
#include "text/reading_words.h"

namespace quillmark {

class Session {
 public:
  // `files` must outlive the session.
  explicit Session(StoreFiles& files);

  // Start-up: the site list, NG-word list, sum.dat's sentences, mapped-word list and
  // configuration (changing the current directory to LastSavedDirectory when it exists); first
  // the leftovers of a killed save are removed, unless `leftovers` keeps them (a program without
  // the directory's lock). The mapping dictionary waits for its first use (Dictionary). Throws
  // FileError when a data file exists but cannot be read; the stores then hold what was loaded
  // so far and Save will write nothing.
  void Load(SettingsFile& settings, Leftovers leftovers = Leftovers::kRemove);

  // The mapping dictionary, read from the built-in list at the first call: a window that is
  // only opened and closed never pays for its 24,000 pairs. Read only here, never through
  // Stores().dictionary, which stays empty until then.
  MappingDictionary& Dictionary();

  // Whether Load found no ngwords.dat: nothing was ever saved here, the learner's first start.
  bool FirstStart() const { return firstStart_; }

  // Whether Load ran to its end.
  bool Loaded() const { return loaded_; }

  // Exit: writes hosts.dat, ngwords.dat, the configuration, mappedwords.dat and (when it
  // exists) sum.dat, each tried even when an earlier one failed; throws one FileError naming
  // every file that could not be written. Writes nothing, and returns, unless Load completed.
  // The mapped-word list is left sorted and free of duplicates.
  void Save(SettingsFile& settings);

  // The start of a gathering run: the three figures to 0 and the ranking emptied (the word
  // rows of the previous run stay on screen until the new ones are built).
  void BeginRun();

  // The end of a gathering, before the new rows: the sentence store is replaced by
  // `gathered` (the "History" entry loaded at start-up goes with the rest), then the run
  // aggregation counts, folds and ranks it, fills the figures and extends the mapped-word
  // list, the mapping dictionary and the inflection index; a run read as articles counts its
  // words as the article reading reads them. Throws std::bad_alloc only.
  void AggregateGathered(SentenceStore gathered, WordReading reading = WordReading::kDesigned);

  // The file name the last report (or word-card file) was saved under; its directory becomes
  // LastSavedDirectory at exit when it exists. Empty until a file is saved.
  void SetReportPath(std::string path) { reportPath_ = std::move(path); }
  const std::string& ReportPath() const { return reportPath_; }

  // The built-in English–Japanese dictionary (the resource EJDICT), read at the first call:
  // never at start-up, which it would slow down. Throws std::runtime_error when the resource
  // is damaged.
  const EnglishJapaneseDictionary& EnglishJapanese();

  // The meaning of `word` (any letter case) in the built-in dictionary, its base form taken
  // from the mapping dictionary of this session (built-in pairs and those learned since).
  Meaning MeaningOf(std::string_view word) { return EnglishJapanese().Lookup(word, Dictionary()); }

  // MeaningOf(word)'s senses joined with " / ", as a card and --meanings show them; empty when
  // the dictionary has none.
  std::string MeaningText(std::string_view word) { return JoinedSenses(MeaningOf(word)); }

  // The meanings the cards and --meanings give the last run's words: MeaningText, except for a
  // word the run's own sentences show to be a name or a page label (ClassifyWords) that the
  // dictionary knows only through a spelling rule or not at all: kNameMeaning or
  // kPageLabelMeaning, which tell a learner more than nothing or the meaning of a lookalike
  // (Sanders is no sander). The classes are judged once, at the first such word.
  CardMeaning RunWordMeanings();
  static constexpr std::string_view kNameMeaning = "固有名詞（人名・地名など）";
  static constexpr std::string_view kPageLabelMeaning =
      "ページの見出し語（メニュー・サイト名など）";

  // The learner's level (vocabulary_level.h). The frequency ranks (FREQUENCY_RANKS) and the
  // made-up words (MADE_UP_WORDS), read at the first call.
  const FrequencyRanks& Ranks();
  const std::vector<std::string>& MadeUpWords();
  // Whether the level takes the upper-case word as known: ranked within VocabularyLevel and
  // not on the learner's unknown words. Never with level 0.
  bool LevelKnows(const std::string& upperWord);
  // The words counted as known wherever the NG-word list counts: the NG-word list, plus with a
  // level every word ranked within it that the learner did not mark 知らない. Level 0: exactly
  // the NG-word list.
  std::set<std::string> KnownWords();
  // 知っている: the word goes onto the NG-word list and off the unknown words; a word ranked
  // beyond the level moves it up (LevelAfterMark). Returns whether the level moved.
  bool MarkKnown(const std::string& upperWord);
  // 知らない: the word leaves the NG-word list and, when the level takes it as known, goes onto
  // the unknown words; a word ranked within the level moves it down. Returns whether the
  // level moved.
  bool MarkUnknown(const std::string& upperWord);
  // The main window's ticks, taken into the NG-word list in one go: each word on it now that
  // was not on `before` leaves the unknown words and moves the level as MarkKnown does.
  // Returns whether the level moved.
  bool LearnFromNewKnownWords(const std::set<std::string>& before);
  // With a level, the words of `words` (upper case) the known share leaves out, as reading
  // research counts: the last run's names (ClassifyWords) and words found in none of the
  // lists (NG words, mapped words, mapping dictionary, frequency ranks) nor the dictionary:
  // foreign words, typos. Level 0 leaves nothing out.
  std::set<std::string> LeftOutOfShare(const std::set<std::string>& words);
  // LeftOutOfShare over the words of the last run's ranking.
  std::set<std::string> LeftOutOfRunShare();

  MainStores& Stores() { return stores_; }
  const MainStores& Stores() const { return stores_; }

 private:
  StoreFiles& files_;
  MainStores stores_;
  std::string reportPath_;
  std::unique_ptr<EnglishJapaneseDictionary> dictionary_;
  std::unique_ptr<FrequencyRanks> ranks_;
  std::unique_ptr<std::vector<std::string>> madeUpWords_;
  bool loaded_ = false;
  bool firstStart_ = false;
  bool dictionaryRead_ = false;
};

}  // namespace quillmark
