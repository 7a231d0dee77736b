#pragma once
// The meaning window: for the word whose dictionary link was clicked, with the built-in
// dictionary selected, its meaning from that dictionary. Created once at start-up and reused
// for every click; modeless, beside the main window, like the sentence window. No network,
// no browser.

#include <QDialog>
#include <string>

#include "study/english_japanese_dictionary.h"

namespace quillmark {

class LazyFontMemo;

// The text the window shows: the headword, then each sense on its own line; or
// "辞書に見つかりませんでした" when the dictionary has no meaning.
QString MeaningWindowText(const Meaning& meaning);

class TMeaningDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TMeaningDialog(QWidget* parent = nullptr);

  // Sets the caption to "[" word "]の意味" and the text to MeaningWindowText(meaning), and
  // shows the window without making it modal, on top of the others; the first time beside
  // `beside` (the main window) when one is given, where it covers none of its controls
  // (PlaceBeside: right, left, below, else over `coverable`, the main window's lower word
  // rows). `word` is the word as the list shows it.
  void ShowMeaning(const std::string& word, const Meaning& meaning, const QWidget* beside,
                   const QRect& coverable = {});

  // The designed outer size, and the least it shrinks to where the room beside is smaller.
  static constexpr QSize kDesignedSize{447, 287};
  static constexpr QSize kLeastSize{240, 120};

  // Makes the memo at the first showing.
  void setVisible(bool visible) override;

 private:
  // The memo is made at the window's first showing, not with the window: an empty text
  // editor measures its cursor in the application's default font, which no window of the
  // program shows, and loading that font was a twentieth of every start-up.
  void MakeMemo();

  LazyFontMemo* memo_ = nullptr;
  bool placed_ = false;
};

}  // namespace quillmark
