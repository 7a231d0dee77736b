#include "app/sentence_dialog.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/lazy_font_memo.h"
#include "app/qt_text.h"
#include "study/sentence_finder.h"

namespace quillmark {
namespace {

// The finder's text is ASCII with CR LF line ends; the memo keeps lines apart with LF.
QString MemoText(const std::string& found) {
  QString text = FromShiftJis(found);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace

TSentenceDialog::TSentenceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SentenceDialog"));
  setWindowTitle(QStringLiteral("SentenceDialog"));
  setModal(false);
  move(0, 0);
  KeepOuterSize(this, QSize(447, 287), MinimumSize::kFree, Placement::kAsPlaced);
  QPalette buttonFace = palette();
  buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
  setPalette(buttonFace);
  setAutoFillBackground(true);
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
}

void TSentenceDialog::setVisible(bool visible) {
  if (visible && memo_ == nullptr) MakeMemo();
  QDialog::setVisible(visible);
}

void TSentenceDialog::MakeMemo() {
  memo_ = new LazyFontMemo;
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // long lines wrap
  memo_->setFont(PixelFont(QStringLiteral("Arial"), 12, QFont::Bold));
  layout()->addWidget(memo_);
}

void TSentenceDialog::ShowSentencesFor(const std::string& word, const SentenceStore& store,
                                       const InflectionIndex& index) {
  setWindowTitle(QStringLiteral("[") + FromShiftJis(word) + QStringLiteral("]を含むセンテンス"));
  if (memo_ == nullptr) MakeMemo();
  memo_->LayOutInItsFont();  // before the text, which is laid out once
  memo_->setPlainText(MemoText(FindSentences(store, word, index)));
  show();
  raise();
  activateWindow();
}

}  // namespace quillmark
