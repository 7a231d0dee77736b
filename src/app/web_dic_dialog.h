#pragma once
// The web dictionary lookup and its dialog: which of the four outside dictionaries a word is
// looked up in, and whether to ask before each lookup.
//
// The dialog's controls are the choice and nothing else holds it: the selected radio button
// is the dictionary (PreselectedButton at start), and NoQueryCheck ("以後この辞書を使う") says to
// stop asking. Neither is saved; every start of the program asks again. OK is the only way out.

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

  explicit TWebDicDialog(QWidget* owner = nullptr, AddressOpener open = OpenWithDesktop);

  // Unless NoQueryCheck is ticked, shows the dialog modally first (the user may change the
  // dictionary and tick the box there); then opens `word`'s address in the selected
  // dictionary (goo, else LYCOS, else RNN, else Weblio). `word` is the word as shown, lower
  // case.
  void OpenInWebDictionary(const std::string& word);

  // The menu's choice of dictionary: shows the dialog without NoQueryCheck, then ticks it,
  // so later lookups no longer ask.
  void MnuConfigSelectDicClick();

  WebDictionary Selected() const;

  // For tests: where addresses go instead of the browser.
  void SetAddressOpener(AddressOpener open) { open_ = std::move(open); }

 protected:
  // Escape and the window's close: the dialog stays until OK is pressed.
  void reject() override {}

 private:
  // The radio button of kFirstChoiceDictionary, selected at every start of the program.
  QRadioButton* PreselectedButton() const;
  void OKButtonClick();

  AddressOpener open_;
  QGroupBox* groupBox1_ = nullptr;
  QRadioButton* gooCheck_ = nullptr;
  QRadioButton* lycosCheck_ = nullptr;
  QRadioButton* rnnCheck_ = nullptr;
  QRadioButton* weblioCheck_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QCheckBox* noQueryCheck_ = nullptr;
};

}  // namespace quillmark
