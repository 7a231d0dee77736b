#include "app/reading_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/articles_window.h"
#include "app/meaning_dialog.h"
#include "app/qt_text.h"
#include "app/word_list_view.h"
#include "session/hidden_words.h"
#include "session/kept_articles.h"
#include "study/article_names.h"
#include "study/shown_words.h"
#include "text/ascii_case.h"

namespace quillmark {

namespace {

constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 700;
// About 70 characters a line at 17 pixels: a line length people read without losing it.
constexpr int kTextPixels = 17;
constexpr int kLineWidth = 620;
constexpr int kSideWidth = 300;
constexpr const char* kWordScheme = "w";

// What the meaning side says first of a name; the dictionary's meaning, if any, follows.
constexpr const char* kNameText = "人名・地名などの名前です。";

const QColor kUnknownBackground(0xff, 0xf0, 0xa0);  // a word not known: yellow, underlined
const QColor kShownBackground(0xbf, 0xdf, 0xff);    // one of the day's shown words: blue

}  // namespace

TReadingWindow::TReadingWindow(Session& session, TWebDicDialog::AddressOpener open,
                               std::function<void()> onKnownWordsChanged, QWidget* owner)
    : QWidget(owner, Qt::Window),
      session_(session),
      open_(std::move(open)),
      onKnownWordsChanged_(std::move(onKnownWordsChanged)) {
  setObjectName(QStringLiteral("ReadingWindow"));
  setWindowTitle(QStringLiteral("記事を読む"));
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  resize(kWindowWidth, kWindowHeight);

  auto* layout = new QHBoxLayout(this);
  auto* reading = new QVBoxLayout;
  layout->addLayout(reading, 1);
  titleLabel_ = new QLabel(this);
  titleLabel_->setObjectName(QStringLiteral("ArticleTitle"));
  titleLabel_->setFont(PixelFont(font().family(), 22, QFont::Bold));
  titleLabel_->setWordWrap(true);
  reading->addWidget(titleLabel_);
  sourceLabel_ = new QLabel(this);
  sourceLabel_->setObjectName(QStringLiteral("ArticleSource"));
  reading->addWidget(sourceLabel_);
  linkLabel_ = new QLabel(this);
  linkLabel_->setObjectName(QStringLiteral("ArticleLink"));
  linkLabel_->setTextFormat(Qt::RichText);
  linkLabel_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(linkLabel_, &QLabel::linkActivated, this, [this] { open_(article_.address); });
  reading->addWidget(linkLabel_);

  text_ = new QTextBrowser(this);
  text_->setObjectName(QStringLiteral("ArticleText"));
  text_->setOpenLinks(false);
  text_->setFont(PixelFont(QStringLiteral("IPAPMincho"), kTextPixels));
  text_->setLineWrapMode(QTextEdit::FixedPixelWidth);
  text_->setLineWrapColumnOrWidth(kLineWidth);
  text_->document()->setDocumentMargin(12);
  connect(text_, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& url) { ShowWord(url.path().toStdString()); });
  reading->addWidget(text_, 1);

  auto* side = new QVBoxLayout;
  layout->addLayout(side);
  wordLabel_ = new QLabel(QStringLiteral("単語をクリックすると意味を表示します"), this);
  wordLabel_->setObjectName(QStringLiteral("MeaningWord"));
  wordLabel_->setFixedWidth(kSideWidth);
  wordLabel_->setWordWrap(true);
  side->addWidget(wordLabel_);
  meaning_ = new QPlainTextEdit(this);
  meaning_->setObjectName(QStringLiteral("MeaningText"));
  meaning_->setReadOnly(true);
  meaning_->setFixedWidth(kSideWidth);
  meaning_->setFont(PixelFont(font().family(), 14));
  side->addWidget(meaning_, 1);
  countLabel_ = new QLabel(this);
  countLabel_->setObjectName(QStringLiteral("WordCountLabel"));
  side->addWidget(countLabel_);
  knownCheck_ = new QCheckBox(QString::fromUtf8(kKnownWordText), this);
  knownCheck_->setObjectName(QStringLiteral("KnownWordCheck"));
  knownCheck_->setEnabled(false);
  connect(knownCheck_, &QCheckBox::toggled, this, &TReadingWindow::SetKnown);
  side->addWidget(knownCheck_);
}

void TReadingWindow::ShowArticle(const KeptArticle& article, const RankedWordList& dayRanking) {
  MainStores& stores = session_.Stores();
  {
    HourGlass hourGlass;  // the first article reads the mapping dictionary
    words_ =
        KeptArticleWords(ArticleWordCounter(stores.mappedWords, session_.Dictionary()), article);
  }
  article_ = article;
  names_ = NamesOfArticle(article.paragraphs, words_.baseOf);
  shownWords_.clear();
  std::set<std::string> notShown = HiddenRowWords(stores, stores.configuration.hideNames);
  if (stores.configuration.vocabularyLevel > 0) notShown.merge(session_.KnownWords());
  for (const ShownWord& word :
       SelectShownWords(dayRanking, stores.ngWords, notShown, stores.configuration.itemViewCount))
    shownWords_.insert(UpperCaseAscii(word.caption));
  dayCounts_.clear();
  for (const auto& [word, count] : dayRanking) dayCounts_[word] = count;

  setWindowTitle(QString::fromStdString(article.title.empty() ? article.address : article.title));
  titleLabel_->setText(QString::fromStdString(article.title));
  const QString date = ArticleDateText(article.date);
  sourceLabel_->setText(QString::fromStdString(article.site) +
                        (date.isEmpty() ? QString() : QStringLiteral("  ") + date));
  linkLabel_->setText(QStringLiteral("<a href=\"article\">%1</a>")
                          .arg(QString::fromStdString(article.address).toHtmlEscaped()));

  // Laid out once: the pieces go in with their marks, and every word's place is noted so a
  // tick re-marks only its own occurrences.
  occurrences_.clear();
  QTextDocument* document = text_->document();
  document->clear();
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  QTextBlockFormat paragraphFormat;
  paragraphFormat.setBottomMargin(kTextPixels * 0.8);
  paragraphFormat.setLineHeight(140, QTextBlockFormat::ProportionalHeight);
  const QTextCharFormat plain;
  for (std::size_t p = 0; p < article.paragraphs.size(); ++p) {
    if (p == 0) {
      cursor.setBlockFormat(paragraphFormat);
    } else {
      cursor.insertBlock(paragraphFormat);
    }
    for (const TextPiece& piece : CutIntoPieces(article.paragraphs[p])) {
      const QString text =
          QString::fromUtf8(piece.text.data(), static_cast<int>(piece.text.size()));
      if (!piece.word) {
        cursor.insertText(text, plain);
        continue;
      }
      const std::string base = CountedWordOf(piece.text, words_.baseOf);
      occurrences_[base].emplace_back(cursor.position(), static_cast<int>(text.size()));
      QTextCharFormat format = FormatOf(base);
      // The word it is counted as ("city’s" -> city): looked up and marked as that word.
      format.setAnchorHref(QString::fromLatin1(kWordScheme) + u':' +
                           QString::fromStdString(ReadingWordOf(piece.text)));
      cursor.insertText(text, format);
    }
  }
  cursor.endEditBlock();
  text_->moveCursor(QTextCursor::Start);
  show();
  raise();
  activateWindow();
}

QTextCharFormat TReadingWindow::FormatOf(const std::string& base) const {
  QTextCharFormat format;
  format.setAnchor(true);
  format.setForeground(Qt::black);
  if (session_.Stores().ngWords.contains(base) || session_.LevelKnows(base) ||
      names_.contains(base))
    return format;
  format.setFontUnderline(true);
  format.setBackground(shownWords_.contains(base) ? kShownBackground : kUnknownBackground);
  return format;
}

void TReadingWindow::Remark(const std::string& base) {
  const auto found = occurrences_.find(base);
  if (found == occurrences_.end()) return;
  const QTextCharFormat format = FormatOf(base);
  QTextCursor cursor(text_->document());
  cursor.beginEditBlock();
  for (const auto& [position, length] : found->second) {
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    // The anchor stays: only the marks change.
    QTextCharFormat marks = format;
    marks.setAnchorHref(cursor.charFormat().anchorHref());
    cursor.setCharFormat(marks);
  }
  cursor.endEditBlock();
}

void TReadingWindow::ShowWord(const std::string& word) {
  const std::string base = CountedWordOf(word, words_.baseOf);
  shownBase_ = base;
  wordLabel_->setText(QStringLiteral("[%1]の意味").arg(QString::fromStdString(word)));
  try {
    const Meaning meaning = session_.MeaningOf(word);
    QString text = MeaningWindowText(meaning);
    if (names_.contains(base)) {
      text = QString::fromUtf8(kNameText) +
             (meaning.Found() ? QStringLiteral("\n\n") + text : QString());
    }
    meaning_->setPlainText(text);
  } catch (const std::exception& error) {
    meaning_->setPlainText(ErrorText(error));
  }
  const auto count = dayCounts_.find(base);
  countLabel_->setText(
      QStringLiteral("今日のニュースで%1回").arg(count == dayCounts_.end() ? 0 : count->second));
  ShowTick();
}

void TReadingWindow::ShowTick() {
  const bool byLevel = session_.LevelKnows(shownBase_);
  const bool known = session_.Stores().ngWords.contains(shownBase_) || byLevel;
  const QSignalBlocker blocker(knownCheck_);
  knownCheck_->setChecked(known);
  // A word of the built-in list, or one the learner knew before this run, is not withdrawn
  // here; a word the level knows is (知らない: it goes back among the words to learn).
  knownCheck_->setEnabled(!known || tickedHere_.contains(shownBase_) || byLevel);
}

void TReadingWindow::KnownWordChanged(const std::string& base, bool withdrawable) {
  if (withdrawable && session_.Stores().ngWords.contains(base)) {
    tickedHere_.insert(base);
  } else {
    tickedHere_.erase(base);
  }
  Remark(base);
  if (base == shownBase_) ShowTick();
}

void TReadingWindow::SetKnown(bool known) {
  if (shownBase_.empty()) return;
  const std::set<std::string>& ngWords = session_.Stores().ngWords;
  if (known) {
    if (ngWords.contains(shownBase_) || session_.LevelKnows(shownBase_)) return;
    session_.MarkKnown(shownBase_);
    tickedHere_.insert(shownBase_);
  } else {
    const bool tickedBefore = tickedHere_.erase(shownBase_) > 0;
    if (!tickedBefore && !session_.LevelKnows(shownBase_)) return;
    session_.MarkUnknown(shownBase_);
  }
  {
    const QSignalBlocker blocker(knownCheck_);
    knownCheck_->setChecked(known);
  }
  Remark(shownBase_);
  if (onKnownWordsChanged_) onKnownWordsChanged_();
}

std::pair<int, int> TReadingWindow::MarkedOccurrencesOf(const std::string& base) const {
  const auto found = occurrences_.find(base);
  if (found == occurrences_.end()) return {0, 0};
  int marked = 0;
  QTextCursor cursor(text_->document());
  for (const auto& [position, length] : found->second) {
    cursor.setPosition(position + 1);  // the format of the occurrence's first character
    if (cursor.charFormat().fontUnderline()) ++marked;
  }
  return {marked, static_cast<int>(found->second.size())};
}

}  // namespace quillmark
