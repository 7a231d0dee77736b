#pragma once
// The articles window ("今日の記事"): a non-modal table of the articles the last run read (or
// those of the last days, a choice), each with its words, its unknown words and the share of
// its words the learner knows, most readable first and sortable by any column; a mark for the
// articles read without help (98 % known) and with a dictionary (95 %). Double-click or Return
// opens the article; the table has the focus, so Return at once opens the selected (first) row.
// Dates are read whatever form the page wrote them in and shown in one, in local time; the
// date column sorts by time, the undated last.
//
// Thin: the history (session/kept_articles.h) and the standings (study/article_words.h)
// decide everything. The history is read when the window is opened or refreshed.

#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "app/qt_text.h"
#include "session/run_history.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace quillmark {

// The readability marks.
extern const char* const kEasyReadingMark;
extern const char* const kReadingWithDictionaryMark;

// An article's date as the windows show it: "2026-12-07 09:30" in local time, "2026-12-07" for
// a day without a time; empty for a text that is no date (ReadArticleDate), or one after `now`.
QString ArticleDateText(const std::string& date, std::optional<std::int64_t> now = std::nullopt);

class TArticlesWindow : public QWidget {
  Q_OBJECT

 public:
  // Called with the address of the article to open.
  using ArticleAction = std::function<void(const std::string& address)>;

  // The columns of the table.
  enum Column { kMark, kShare, kWords, kUnknown, kTitle, kSite, kDate, kColumnCount };

  // `history` and `knownWords` must outlive the window.
  TArticlesWindow(RunHistory& history, const std::set<std::string>& knownWords,
                  ArticleAction onOpen, ErrorDisplay showError, QWidget* owner);

  // Reads the history again and fills the table, most readable first; a history that cannot
  // be read is shown as an error and leaves the table empty.
  void Refresh();

  // Opens the article of table row `row` (as the table shows it now).
  void OpenRow(int row);

  // The present, for the dates that lie after it (seconds since 1970; the system's by default).
  void SetClock(std::function<std::int64_t()> now) { now_ = std::move(now); }

  // The designed outer size, and the least it shrinks to beside the main window.
  static constexpr QSize kDesignedSize{900, 500};
  static constexpr QSize kLeastSize{600, 200};

  // With a level: the words of the listed articles that their known share leaves out.
  using LeftOutOf = std::function<std::set<std::string>(const std::set<std::string>& words)>;
  void SetLeftOutOf(LeftOutOf leftOutOf) { leftOutOf_ = std::move(leftOutOf); }

 private:
  RunHistory& history_;
  const std::set<std::string>& knownWords_;
  LeftOutOf leftOutOf_;
  ArticleAction onOpen_;
  ErrorDisplay showError_;
  std::function<std::int64_t()> now_;

  QComboBox* scope_ = nullptr;
  QLabel* countLabel_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace quillmark
