#pragma once
// The reading window: one kept article whole, its title, site, date and paragraphs in a
// readable size and line length, every word not on the known list marked (the day's shown
// words a second way; its names are not marked). A click on a word, or Tab to it and Return, shows
// beside the text its meaning from the built-in dictionary, its count in the day's news and the
// known-word tick. Non-modal, one for the program, reused for every article.
//
// The tick goes straight into the session's NG-word list, the list the main window's ticks
// reach too, saved to ngwords.dat at exit with the rest: the main window's row of the word
// follows at once (through `onKnownWordsChanged`), its 既知語率 at its next rebuild.
// Unticking withdraws only a tick made here or in the main window's rows.

#include <QWidget>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/web_dic_dialog.h"
#include "session/session.h"
#include "study/article_words.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTextBrowser;
class QTextCharFormat;

namespace quillmark {

class TReadingWindow : public QWidget {
  Q_OBJECT

 public:
  // `session` must outlive the window; `onKnownWordsChanged` is called after each tick.
  TReadingWindow(Session& session, TWebDicDialog::AddressOpener open,
                 std::function<void()> onKnownWordsChanged, QWidget* owner);

  // Shows `article`, its words counted with the session's lists and marked against its known
  // list as it is now, and shows the window; `dayRanking` is the day's news (the last run),
  // which gives the words' counts and the shown words. Throws what the dictionary's first
  // reading throws.
  void ShowArticle(const KeptArticle& article, const RankedWordList& dayRanking);

  // The word clicked: its meaning, its count in the day's news and its tick. `word` is as the
  // text has it ("ran"); it counts under its base ("RUN").
  void ShowWord(const std::string& word);

  // The known-word tick of the word shown, as a click on the box makes it.
  void SetKnown(bool known);

  // A tick made in another window (the main window's rows) on the known-word list: re-marks
  // the word `base` (upper case) and, when it is the word shown, its box. `withdrawable`: the
  // tick may be taken back here.
  void KnownWordChanged(const std::string& base, bool withdrawable);

  void SetAddressOpener(TWebDicDialog::AddressOpener open) { open_ = std::move(open); }

  // For the tests: how many of the occurrences of the words that count under `base` are
  // marked in the text now, and how many there are.
  std::pair<int, int> MarkedOccurrencesOf(const std::string& base) const;
  const std::string& ShownBase() const { return shownBase_; }

 private:
  QTextCharFormat FormatOf(const std::string& base) const;
  void Remark(const std::string& base);
  void ShowTick();

  Session& session_;
  TWebDicDialog::AddressOpener open_;
  std::function<void()> onKnownWordsChanged_;
  KeptArticle article_;
  ArticleWords words_;
  std::set<std::string> shownWords_;  // the day's shown words, upper case
  std::set<std::string> names_;       // the article's names (NamesOfArticle): not marked
  std::unordered_map<std::string, std::int32_t> dayCounts_;
  std::set<std::string> tickedHere_;
  // Where each base's occurrences stand in the text: (position, length).
  std::map<std::string, std::vector<std::pair<int, int>>> occurrences_;
  std::string shownBase_;

  QLabel* titleLabel_ = nullptr;
  QLabel* sourceLabel_ = nullptr;
  QLabel* linkLabel_ = nullptr;
  QTextBrowser* text_ = nullptr;
  QLabel* wordLabel_ = nullptr;
  QPlainTextEdit* meaning_ = nullptr;
  QLabel* countLabel_ = nullptr;
  QCheckBox* knownCheck_ = nullptr;
};

}  // namespace quillmark
