#pragma once
// The options dialog: the site list, the number of words shown and the link settings.
// Created for one use; confirmed values change the stores in memory only (they are written
// at exit).

#include <QDialog>

#include "session/main_stores.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace quillmark {

class TConfigDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TConfigDialog(QWidget* owner = nullptr);

  // Lists the sites in their order and sets the spin controls (ItemViewCount and
  // AllowedLevel taken as 16-bit numbers, then held within 5..200 and 1..5), LinkCheck,
  // HttpsCheck, HideNamesCheck, ArticleTextCheck, ArticlesCheck and ArticlesUpDown
  // (FollowArticles and ArticlesPerSite, held within 1..100).
  void Fill(const SiteList& sites, const Configuration& configuration);

  // Replaces the sites by the listed items (sorted and freed of case-only duplicates by the
  // site list) and sets ItemViewCount, AllowedLevel, IsLevel, FetchHttps and HideNames from
  // the controls.
  void Store(SiteList& sites, Configuration& configuration) const;

  // AddButton: appends URLEdit's text as it is (empty or a duplicate too) and empties URLEdit.
  void AddButtonClick();
  // DeleteButton: moves the selected item's text into URLEdit; nothing without a selection.
  void DeleteButtonClick();

  // Adds the line "データの保存先:" + `directory` to the about line, wrapped within the frame.
  void ShowDataDirectory(const std::string& directory);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  // A tick box at the end of the options frame's column: every switch added after the
  // designed ones goes there, inside the frame and above OK and Cancel.
  QCheckBox* AddTickBox(const char* name, const QString& text);
  // Sizes the options frame to its tick boxes, puts OK and Cancel below it and fits the
  // dialog's height to them.
  void FitToTickBoxes();
  void AddArticlesRow();

  QLabel* copyLightLabel_ = nullptr;
  QLineEdit* urlEdit_ = nullptr;
  QListWidget* urlListBox_ = nullptr;
  QSpinBox* itemNoUpDown_ = nullptr;
  QCheckBox* linkCheck_ = nullptr;
  QSpinBox* linkUpDown_ = nullptr;
  QCheckBox* httpsCheck_ = nullptr;
  QCheckBox* hideNamesCheck_ = nullptr;
  QCheckBox* articleTextCheck_ = nullptr;
  QFrame* optionsFrame_ = nullptr;
  QVBoxLayout* tickColumn_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QCheckBox* articlesCheck_ = nullptr;
  QSpinBox* articlesUpDown_ = nullptr;
};

// The menu action "オプション(&O)": shows the dialog filled from `stores` (the about line
// with the directory of the data files) and, when it is
// closed with OK, stores its values back; Cancel changes nothing. Returns whether OK closed it.
bool OpenOptions(QWidget* owner, MainStores& stores);

// The about line: the title, our credit line and "最終ビルド日" with the build date.
QString AboutText();

}  // namespace quillmark
