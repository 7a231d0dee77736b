#pragma once
// The dictionary lookup and its dialog: which of the four outside dictionaries, or the
// built-in one, a word is looked up in, and whether to ask before each lookup.
//
// The dialog's controls are the choice and nothing else holds it: the selected radio button
// is the dictionary (the built-in one at start: it always answers, with no network), and
// NoQueryCheck ("以後この辞書を使う") says to stop asking. Neither is saved; every start of the
// program asks again. OK is the only way out.

#include <QDialog>
#include <functional>
#include <string>

#include "study/web_dictionary.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace quillmark {

class TWebDicDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens an address in the user's browser without waiting for it (tests record it).
  using AddressOpener = std::function<void(const std::string& address)>;
  static void OpenWithDesktop(const std::string& address);

  // Shows a word's meaning from the built-in dictionary (the main window's meaning window).
  using MeaningShower = std::function<void(const std::string& word)>;

  explicit TWebDicDialog(QWidget* owner = nullptr, AddressOpener open = OpenWithDesktop);

  // Unless NoQueryCheck is ticked, shows the dialog modally first (the user may change the
  // dictionary and tick the box there); then shows `word`'s meaning when the built-in
  // dictionary is selected, else opens its address in the selected one (goo, else LYCOS,
  // else RNN, else Weblio). `word` is the word as shown, lower case.
  void OpenInWebDictionary(const std::string& word);

  // The menu's choice of dictionary: shows the dialog without NoQueryCheck, then ticks it,
  // so later lookups no longer ask.
  void MnuConfigSelectDicClick();

  // The selected outside dictionary; with the built-in one selected, Weblio, whose address a
  // word card carries (the built-in dictionary has none, and Weblio answers).
  WebDictionary Selected() const;
  bool BuiltInSelected() const;

  // For tests: where addresses go instead of the browser.
  void SetAddressOpener(AddressOpener open) { open_ = std::move(open); }
  // Where a word goes when the built-in dictionary is selected; until set, nowhere.
  void SetMeaningShower(MeaningShower show) { showMeaning_ = std::move(show); }

 protected:
  // Escape and the window's close: the dialog stays until OK is pressed.
  void reject() override {}

 private:
  void OKButtonClick();

  AddressOpener open_;
  MeaningShower showMeaning_;
  QGroupBox* groupBox1_ = nullptr;
  QRadioButton* gooCheck_ = nullptr;
  QRadioButton* lycosCheck_ = nullptr;
  QRadioButton* rnnCheck_ = nullptr;
  QRadioButton* weblioCheck_ = nullptr;
  QRadioButton* builtInCheck_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QCheckBox* noQueryCheck_ = nullptr;
};

}  // namespace quillmark
