#pragma once
// The main window: the program's fixed controls and menus, over the session that holds
// every store.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/meaning_dialog.h"
#include "app/qt_text.h"
#include "app/sentence_dialog.h"
#include "app/web_dic_dialog.h"
#include "app/word_get_dialog.h"
#include "app/word_list_view.h"
#include "session/run_history.h"
#include "session/session.h"

class QAction;
class QFileDialog;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QWidget;

namespace quillmark {

class TArticlesWindow;
class TReadingWindow;
class TTrendsWindow;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the fixed controls over `session`, which must be loaded and outlive the window.
  // `arguments` are the command line without the program name.
  TMainForm(Session& session, QStringList arguments, ErrorDisplay showError = ShowErrorBox);
  ~TMainForm() override;

  // The windows that live beside the main window until the end: the web dictionary dialog,
  // the sentence window and the meaning window.
  void CreateStudyWindows();
  TWebDicDialog* WebDicDialog() const { return webDicDialog_; }
  TSentenceDialog* SentenceDialog() const { return sentenceDialog_.get(); }
  TMeaningDialog* MeaningDialog() const { return meaningDialog_.get(); }

  // The window's part of the exit, before the session saves: ticked known words go to the
  // NG-word list.
  void PrepareForExit();

  Session& CurrentSession() { return session_; }

  // The gathering run: what ExecuteButton and the automatic mode start. Gathers the site
  // list into a new sentence store, aggregates it, rebuilds the word rows and shows the
  // three figures; an error ends the run, is shown, and the program goes on.
  void ExecuteButtonClick();

  // What SIGTERM and SIGHUP ask for: the menu's exit (the window closes, then the session
  // saves). A gathering run in progress is cancelled first, as its Cancel button does, and the
  // window closes once the run has ended.
  void ExitOnRequest();

  // The gathering dialog's intervals (the program's own unless a test shortens them).
  void SetGatheringIntervals(TWordGetDialog::Intervals intervals) { intervals_ = intervals; }

  // The menu actions "HTMLに出力(&H)" (the report) and "オプション(&O)" (the options dialog).
  void MnuSaveToHTMLClick();
  // The menu action "単語帳に書き出す(&E)...": the shown words as flashcards, their addresses in
  // the dictionary the web dictionary dialog has selected now (CreateStudyWindows first).
  void MnuExportWordCardsClick();
  void MnuConfigOptionClick();
  // 設定 → 語彙チェック...: the check; its estimate, when the learner takes it, becomes the
  // level, and the rows, figures and open windows follow.
  void MnuConfigVocabularyCheckClick();
  // Whether the first start (no ngwords.dat) offers the check; never with /AUTO.
  void SetLevelCheckOffer(bool offer) { offerLevelCheck_ = offer; }

  // The run history every gathering run is added to when it ends (none until this is called),
  // each run stamped with `now` (seconds since 1970). `history` must outlive the window; it is
  // read only when the trends window opens. A history that cannot be written is shown as an
  // error; the run itself and the data files are unaffected.
  void SetRunHistory(RunHistory* history, std::function<std::int64_t()> now);
  // The menu action "ニュースの推移(&T)...": opens (or raises) the trends window, refreshed.
  void MnuHistoryTrendsClick();
  TTrendsWindow* TrendsWindow() const { return trendsWindow_; }
  // The menu action "今日の記事(&A)..." and ArticlesButton: opens (or raises) the articles
  // window, refreshed.
  void MnuHistoryArticlesClick();
  TArticlesWindow* ArticlesWindow() const { return articlesWindow_; }
  // Opens the article kept for `address` in the reading window; a history that cannot be read
  // is shown as an error.
  void OpenArticle(const std::string& address);
  TReadingWindow* ReadingWindow() const { return readingWindow_; }

 signals:
  // The window was closed: the program leaves its message loop.
  void Closed();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void FormActivate();
  void RunAutomatically();
  void OfferLevelCheck();
  void ShowLevel();
  void RebuildRows();
  void KnownWordsChanged();
  bool HasAutoSwitch() const;
  void RunGathering();
  void ShowRunFigures();
  void ShowSentencesOf(const std::string& caption);
  void ShowMeaningOf(const std::string& caption);
  void ShowSentencesFromTrends(const std::string& caption);
  // A tick in the word rows, and one in the reading window: the other window and the articles
  // table's shares show it at once.
  void RowKnownChanged(const std::string& upperWord, bool known);
  void ReaderKnownChanged();
  void RefreshArticleShares();
  // The lower two thirds of the word rows, in global coordinates: what a window that finds
  // no room beside this one may cover.
  QRect LowerWordRows() const;
  void RecordRunInHistory(std::int32_t pagesFetched, const std::vector<KeptArticle>& articles);
  RankedWordList DayRanking();
  QFileDialog& SaveDialog();

  Session& session_;
  QStringList arguments_;
  ErrorDisplay showError_;
  TWordGetDialog::Intervals intervals_;
  bool shown_ = false;
  bool firstActivationHandled_ = false;  // by an activation, or by the first showing
  bool gatheringRunning_ = false;
  bool exitRequested_ = false;          // by ExitOnRequest while a gathering ran
  QPointer<TWordGetDialog> gathering_;  // while its run is on

  QWidget* toolBar_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QLabel* descLabel_ = nullptr;
  QPushButton* executeButton_ = nullptr;
  QPushButton* articlesButton_ = nullptr;
  QScrollArea* scrollBox_ = nullptr;
  std::array<QLabel*, 4> statusPanels_{};  // the three figures, then the known share
  QLabel* levelPanel_ = nullptr;           // the vocabulary level
  bool offerLevelCheck_ = false;
  // The known words the articles and trends windows count with (Session::KnownWords).
  std::set<std::string> windowKnownWords_;
  QFileDialog* saveDialog_ = nullptr;  // built at the first save; kept for the directory it shows
  std::unique_ptr<TWordListView> wordList_;
  TWebDicDialog* webDicDialog_ = nullptr;  // a child of the window
  std::unique_ptr<TSentenceDialog> sentenceDialog_;
  std::unique_ptr<TMeaningDialog> meaningDialog_;
  RunHistory* history_ = nullptr;
  std::function<std::int64_t()> now_;
  TTrendsWindow* trendsWindow_ = nullptr;      // a window of its own, owned by this one
  TArticlesWindow* articlesWindow_ = nullptr;  // as the trends window
  TReadingWindow* readingWindow_ = nullptr;    // as the trends window
  // The words ticked in the rows since their last rebuild: on the known-word list at once, still
  // in the report and the cards (which list what the rows show) until the next run.
  std::set<std::string> rowTicks_;
};

// What the sentence window says for a trends word no kept sentence holds.
extern const char* const kNoTrendSentenceText;

// The description shown under the title.
extern const char* const kDescriptionText;

}  // namespace quillmark
