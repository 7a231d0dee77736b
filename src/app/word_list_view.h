#pragma once
// The word list view: one row per shown word inside the main window's ScrollBox, most
// frequent first, each with the word (click: its sentences), its count, a dictionary link
// (click: the web dictionary) and a known-word check box. Tab reaches the word and the link
// too; Return or Space there acts as a click. The count column is as wide as seven digits
// (or the widest count), and a word too wide for its column is drawn in a smaller font.
//
// A tick is told at once to the known-word listener (the main window puts the word on the
// known-word list, where the reading window and the articles table see it); the ticked boxes
// are read again when the rows are dismantled, at the next rebuild or at exit.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "text/word_types.h"

class QCheckBox;
class QFont;
class QLabel;
class QScrollArea;
class QWidget;

namespace quillmark {

// The known-word tick of each row (and of the reading window's word).
extern const char* const kKnownWordText;

class TWordListView {
 public:
  // Called with the row's word as shown (lower case).
  using WordAction = std::function<void(const std::string& caption)>;

  // Puts an empty page of rows into `scrollBox`, which must outlive the view.
  TWordListView(QScrollArea* scrollBox, WordAction onWordClick, WordAction onDictionaryClick);

  // Dismantles the previous rows (their ticked words go into `ngWords`, upper case), then
  // builds the rows SelectShownWords gives for `ranking` with the NG-word list as it is then
  // and `hiddenWords` (the names and page labels the learner hides) left out too.
  void Rebuild(RankedWordList ranking, std::set<std::string>& ngWords, std::int32_t itemViewCount,
               const std::set<std::string>& hiddenWords = {});

  // The exit: ticked words go into `ngWords`, upper case, and the rows are freed.
  void Dismantle(std::set<std::string>& ngWords);

  std::size_t RowCount() const { return wordLabels_.size(); }

  // Called with a row's word (upper case) and its new tick when the learner ticks or unticks it.
  using KnownWordAction = std::function<void(const std::string& upperWord, bool known)>;
  void SetKnownWordListener(KnownWordAction onKnownChanged) {
    onKnownChanged_ = std::move(onKnownChanged);
  }
  // Sets the tick of the row of `upperWord`, if one is shown, without calling the listener (a
  // tick made in another window).
  void ShowKnown(const std::string& upperWord, bool known);

 private:
  // The width of the page of rows whose links start at `linkLeft`.
  int PageWidth(int linkLeft) const;
  // `linkLeft`: where the dictionary link and the check box start, right of the count column.
  void AddRow(const std::string& caption, std::int32_t count, const QFont& wordFont, int linkLeft);

  QScrollArea* scrollBox_;
  QWidget* page_;
  WordAction onWordClick_;
  WordAction onDictionaryClick_;
  KnownWordAction onKnownChanged_;
  // Row r's controls stand at index r of each list.
  std::vector<QLabel*> wordLabels_;
  std::vector<QLabel*> countLabels_;
  std::vector<QLabel*> dictionaryLinks_;
  std::vector<QCheckBox*> knownWordChecks_;
};

}  // namespace quillmark
