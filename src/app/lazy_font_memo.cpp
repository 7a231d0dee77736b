#include "app/lazy_font_memo.h"

#include <QEvent>

namespace quillmark {

LazyFontMemo::LazyFontMemo() {
  setObjectName(QStringLiteral("Memo"));
  setFrameShape(QFrame::NoFrame);
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void LazyFontMemo::LayOutInItsFont() {
  if (laidOutInItsFont_) return;
  laidOutInItsFont_ = true;
  document()->setDefaultFont(font());
}

void LazyFontMemo::changeEvent(QEvent* event) {
  // The text editor's own handling of a font change is only to lay its text out in it.
  if (event->type() == QEvent::FontChange && !laidOutInItsFont_) {
    QAbstractScrollArea::changeEvent(event);
    return;
  }
  QPlainTextEdit::changeEvent(event);
}

void LazyFontMemo::showEvent(QShowEvent* event) {
  LayOutInItsFont();
  QPlainTextEdit::showEvent(event);
}

}  // namespace quillmark
