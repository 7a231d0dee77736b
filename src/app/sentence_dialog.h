#pragma once
// The sentence window: shows, for the word clicked in the word list, the stored sentences
// that hold it. Created once at start-up and reused for every click; modeless.

#include <QDialog>
#include <string>
#include <string_view>

#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

class LazyFontMemo;

// The finder's text as the memo shows it: each line as UTF-8 where it is UTF-8 (an article's
// sentences, with their curly quotes and dashes), else as Shift-JIS; CR LF line ends as LF.
QString SentenceText(std::string_view bytes);

class TSentenceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TSentenceDialog(QWidget* parent = nullptr);

  // Sets the caption to "[" word "]を含むセンテンス", replaces the whole memo text with
  // FindSentences(store, word, index), and shows the window without making it modal, on top
  // of the others. `word` is the word as the word list shows it (lower case). Changes
  // neither store nor index.
  // `notFound`, when given, is shown in place of kNoSentenceFound.
  void ShowSentencesFor(const std::string& word, const SentenceStore& store,
                        const InflectionIndex& index, const QString& notFound = {});

  // Makes the memo at the first showing.
  void setVisible(bool visible) override;

 private:
  // The memo is made at the window's first showing, not with the window: an empty text
  // editor measures its cursor in the application's default font, which no window of the
  // program shows, and loading that font was a twentieth of every start-up.
  void MakeMemo();

  LazyFontMemo* memo_ = nullptr;
};

}  // namespace quillmark
