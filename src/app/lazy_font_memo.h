#pragma once
// The read-only text of the windows that start hidden (the sentence window, the meaning
// window): its font is set as designed, but its text is laid out in that font only from its
// first showing on. Laying out even an empty text loads the font, and those windows' fonts are
// no font of the main window: loading them at every start-up cost a tenth of it, for windows
// most runs open late or never.

#include <QPlainTextEdit>

namespace quillmark {

class LazyFontMemo final : public QPlainTextEdit {
 public:
  // Made without a parent, so that not even the window's font is laid out; the window takes
  // it into its layout. Named "Memo", frameless, read-only, its lines wrapped at its width.
  LazyFontMemo();

  // Lays the text out in the memo's font from now on; the windows call it before they give
  // the memo its first text, which is then laid out once.
  void LayOutInItsFont();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool laidOutInItsFont_ = false;
};

}  // namespace quillmark
