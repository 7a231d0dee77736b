#include "app/sentence_dialog.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/lazy_font_memo.h"
#include "app/qt_text.h"
#include "study/sentence_finder.h"
#include "text/valid_utf8.h"

namespace quillmark {

// The page scanner's sentences are ASCII, an article's are UTF-8 with its typography (’ “ ” —):
// a line is read as UTF-8 where it is UTF-8, as Shift-JIS otherwise (a data file written
// elsewhere). Read whole as Shift-JIS, "Disney’s" showed as "Disney窶冱".
QString SentenceText(std::string_view bytes) {
  QString text;
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // the memo's line end is LF
    text += IsValidUtf8(line) ? QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))
                              : FromShiftJis(line);
    if (end == bytes.size()) break;
    text += u'\n';
    start = end + 1;
  }
  return text;
}

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
                                       const InflectionIndex& index, const QString& notFound) {
  setWindowTitle(QStringLiteral("[") + SentenceText(word) + QStringLiteral("]を含むセンテンス"));
  if (memo_ == nullptr) MakeMemo();
  memo_->LayOutInItsFont();  // before the text, which is laid out once
  const std::string found = FindSentences(store, word, index);
  memo_->setPlainText(found == kNoSentenceFound && !notFound.isEmpty() ? notFound
                                                                       : SentenceText(found));
  show();
  raise();
  activateWindow();
}

}  // namespace quillmark
