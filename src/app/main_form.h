#pragma once
// The main window: the program's fixed controls and menus, over the session that holds
// every store.

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <memory>

#include "app/qt_text.h"
#include "app/sentence_dialog.h"
#include "app/web_dic_dialog.h"
#include "app/word_get_dialog.h"
#include "app/word_list_view.h"
#include "session/session.h"

class QAction;
class QFileDialog;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QWidget;

namespace quillmark {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the fixed controls over `session`, which must be loaded and outlive the window.
  // `arguments` are the command line without the program name.
  TMainForm(Session& session, QStringList arguments, ErrorDisplay showError = ShowErrorBox);
  ~TMainForm() override;

  // The windows that live beside the main window until the end: the web dictionary dialog
  // and the sentence window.
  void CreateStudyWindows();
  TWebDicDialog* WebDicDialog() const { return webDicDialog_; }
  TSentenceDialog* SentenceDialog() const { return sentenceDialog_.get(); }

  // The window's part of the exit, before the session saves: ticked known words go to the
  // NG-word list.
  void PrepareForExit();

  Session& CurrentSession() { return session_; }

  // The gathering run: what ExecuteButton and the automatic mode start. Gathers the site
  // list into a new sentence store, aggregates it, rebuilds the word rows and shows the
  // three figures; an error ends the run, is shown, and the program goes on.
  void ExecuteButtonClick();

  // The gathering dialog's intervals (the program's own unless a test shortens them).
  void SetGatheringIntervals(TWordGetDialog::Intervals intervals) { intervals_ = intervals; }

  // The menu actions "HTMLに出力(&H)" (the report) and "オプション(&O)" (the options dialog).
  void MnuSaveToHTMLClick();
  // The menu action "単語帳に書き出す(&E)...": the shown words as flashcards, their addresses in
  // the dictionary the web dictionary dialog has selected now (CreateStudyWindows first).
  void MnuExportWordCardsClick();
  void MnuConfigOptionClick();

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
  bool HasAutoSwitch() const;
  void RunGathering();
  void ShowRunFigures();
  void ShowSentencesOf(const std::string& caption);
  QFileDialog& SaveDialog();

  Session& session_;
  QStringList arguments_;
  ErrorDisplay showError_;
  TWordGetDialog::Intervals intervals_;
  bool shown_ = false;
  bool firstActivationHandled_ = false;  // by an activation, or by the first showing

  QWidget* toolBar_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QLabel* descLabel_ = nullptr;
  QPushButton* executeButton_ = nullptr;
  QScrollArea* scrollBox_ = nullptr;
  std::array<QLabel*, 4> statusPanels_{};  // the three figures, then the known share
  QFileDialog* saveDialog_ = nullptr;  // built at the first save; kept for the directory it shows
  std::unique_ptr<TWordListView> wordList_;
  TWebDicDialog* webDicDialog_ = nullptr;  // a child of the window
  std::unique_ptr<TSentenceDialog> sentenceDialog_;
};

// The description shown under the title.
extern const char* const kDescriptionText;

}  // namespace quillmark
