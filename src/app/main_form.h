#pragma once
// The main window: the program's fixed controls and menus, and the owner of every store.

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "app/data_files.h"
#include "app/main_stores.h"
#include "study/sentence_dialog.h"

class QAction;
class QFileDialog;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QWidget;

namespace quillmark {

// Shows an error text to the user (a message box in the program; tests record it).
using ErrorDisplay = std::function<void(QWidget* parent, const QString& message)>;
void ShowErrorBox(QWidget* parent, const QString& message);

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the fixed controls, then loads every store from `files` and `settings` in the
  // start-up order. Throws FileError when a data file exists but cannot be read; the
  // caller must then not save anything. `arguments` are the command line without the
  // program name.
  TMainForm(StoreFiles& files, SettingsFile& settings, QStringList arguments,
            ErrorDisplay showError = ShowErrorBox);
  ~TMainForm() override;

  // The windows that live beside the main window until the end: the sentence window.
  void CreateStudyWindows();
  TSentenceDialog* SentenceDialog() const { return sentenceDialog_.get(); }

  // The exit half of the window's life: ticked known words go to the NG-word list, then
  // every store is written. Throws FileError naming the files that could not be written.
  void SaveOnExit(SettingsFile& settings);

  MainStores& Stores() { return stores_; }
  const MainStores& Stores() const { return stores_; }

  // The gathering run: what ExecuteButton and the automatic mode start.
  void ExecuteButtonClick();

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

  StoreFiles& files_;
  QStringList arguments_;
  ErrorDisplay showError_;
  MainStores stores_;
  bool activated_ = false;
  bool centred_ = false;
  std::string reportPath_;  // the save dialog's current file name

  QWidget* toolBar_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QLabel* descLabel_ = nullptr;
  QPushButton* executeButton_ = nullptr;
  QScrollArea* scrollBox_ = nullptr;
  std::array<QLabel*, 3> statusPanels_{};
  QFileDialog* saveDialog_ = nullptr;
  std::unique_ptr<TSentenceDialog> sentenceDialog_;
};

// The description shown under the title.
extern const char* const kDescriptionText;

}  // namespace quillmark
