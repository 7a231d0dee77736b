#include "app/web_dic_dialog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "app/qt_text.h"

namespace quillmark {

void TWebDicDialog::OpenWithDesktop(const std::string& address) {
  QDesktopServices::openUrl(
      QUrl::fromEncoded(QByteArray::fromStdString(address), QUrl::TolerantMode));
}

TWebDicDialog::TWebDicDialog(QWidget* owner, AddressOpener open)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      open_(std::move(open)) {
  setObjectName(QStringLiteral("WebDicDialog"));
  setWindowTitle(QStringLiteral("Web辞書の選択"));
  setFont(PixelFont(QStringLiteral("MS Serif"), 12));
  QPalette black = palette();
  black.setColor(QPalette::WindowText, Qt::black);
  setPalette(black);
  // Two rows taller than the three dictionaries of old needed: Weblio's and the built-in
  // dictionary's, below them.
  constexpr int kRow = 24 * 2;
  KeepClientSizeCentred(this, QSize(356, 172 + kRow));

  groupBox1_ = new QGroupBox(QStringLiteral("使用するWeb辞書を選択してください"), this);
  groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
  groupBox1_->setGeometry(16, 20, 317, 105 + kRow);
  const auto radio = [this](const char* name, const char* text, int top) {
    auto* button = new QRadioButton(QString::fromUtf8(text), groupBox1_);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(12, top, 241, 17);
    return button;
  };
  gooCheck_ = radio("GooCheck", "goo EXCEED英和辞典 ", 24);
  lycosCheck_ = radio("LycosCheck", "LYCOSディクショナリ ", 48);
  rnnCheck_ = radio("RNNCheck", "RNN時事英語辞典 ", 72);
  weblioCheck_ = radio("WeblioCheck", "Weblio英和辞典", 96);
  builtInCheck_ = radio("BuiltInCheck", "内蔵英和辞書（オフライン）", 120);
  builtInCheck_->setChecked(true);

  okButton_ = new QPushButton(QStringLiteral("OK"), this);
  okButton_->setObjectName(QStringLiteral("OKButton"));
  okButton_->setGeometry(244, 136 + kRow, 89, 25);
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &TWebDicDialog::OKButtonClick);

  noQueryCheck_ = new QCheckBox(QStringLiteral("以後この辞書を使う"), this);
  noQueryCheck_->setObjectName(QStringLiteral("NoQueryCheck"));
  noQueryCheck_->setGeometry(16, 136 + kRow, 129, 13);

  setTabOrder(gooCheck_, okButton_);
  setTabOrder(okButton_, noQueryCheck_);
}

bool TWebDicDialog::BuiltInSelected() const { return builtInCheck_->isChecked(); }

WebDictionary TWebDicDialog::Selected() const {
  if (gooCheck_->isChecked()) return WebDictionary::kGoo;
  if (lycosCheck_->isChecked()) return WebDictionary::kLycos;
  if (rnnCheck_->isChecked()) return WebDictionary::kRnn;
  return kFirstChoiceDictionary;  // Weblio, or the built-in dictionary, which has no address
}

void TWebDicDialog::OpenInWebDictionary(const std::string& word) {
  if (!noQueryCheck_->isChecked()) exec();
  if (BuiltInSelected()) {
    if (showMeaning_) showMeaning_(word);
    return;
  }
  open_(WebDictionaryAddress(Selected(), word));
}

void TWebDicDialog::MnuConfigSelectDicClick() {
  noQueryCheck_->hide();
  exec();
  noQueryCheck_->show();
  noQueryCheck_->setChecked(true);
}

void TWebDicDialog::OKButtonClick() { accept(); }

}  // namespace quillmark
