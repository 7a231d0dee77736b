#include "app/meaning_dialog.h"

#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/lazy_font_memo.h"
#include "app/qt_text.h"

namespace quillmark {

QString MeaningWindowText(const Meaning& meaning) {
  if (!meaning.Found()) return QStringLiteral("辞書に見つかりませんでした");
  // The dictionary is UTF-8, unlike the program's Shift-JIS stores.
  QString text = QString::fromStdString(meaning.headword);
  for (const std::string& sense : meaning.senses) text += u'\n' + QString::fromStdString(sense);
  return text;
}

TMeaningDialog::TMeaningDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MeaningDialog"));
  setModal(false);
  KeepOuterSize(this, kDesignedSize, MinimumSize::kFree, Placement::kAsPlaced);
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
}

void TMeaningDialog::setVisible(bool visible) {
  if (visible && memo_ == nullptr) MakeMemo();
  QDialog::setVisible(visible);
}

void TMeaningDialog::MakeMemo() {
  memo_ = new LazyFontMemo;
  memo_->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 14));
  memo_->document()->setDocumentMargin(8);
  layout()->addWidget(memo_);
}

void TMeaningDialog::ShowMeaning(const std::string& word, const Meaning& meaning,
                                 const QWidget* beside, const QRect& coverable) {
  setWindowTitle(QStringLiteral("[") + FromShiftJis(word) + QStringLiteral("]の意味"));
  if (memo_ == nullptr) MakeMemo();
  memo_->LayOutInItsFont();  // before the text, which is laid out once
  memo_->setPlainText(MeaningWindowText(meaning));
  if (!placed_ && beside != nullptr) {
    // Beside the main window, not over it: its button, tick boxes and figures stay in reach.
    placed_ = true;
    const QScreen* screen = beside->screen();
    if (screen != nullptr) {
      SetOuterGeometry(this, PlaceBeside(beside->frameGeometry(), kDesignedSize, kLeastSize,
                                         screen->availableGeometry(), coverable));
    }
  }
  show();
  raise();
  activateWindow();
}

}  // namespace quillmark
