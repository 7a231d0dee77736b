#include "app/word_list_view.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <algorithm>

#include "app/qt_text.h"
#include "study/shown_words.h"
#include "text/ascii_case.h"

namespace quillmark {

const char* const kKnownWordText = "この単語は意味を知っているので今後表示しない";

namespace {

constexpr int kRowPitch = 30;
constexpr int kWordLeft = 20;
constexpr int kWordPixels = 24;
// A word too wide for its column is drawn smaller, but never below this.
constexpr int kSmallestWordPixels = 8;
constexpr int kCountLeft = 220;
constexpr int kCountPixels = 18;
// The count column as designed; the link stood right after it.
constexpr int kDesignedCountWidth = 35;
constexpr int kLinkWidth = 300;
// The check box is designed 10 high; its indicator needs more, and 15 still fits the row.
constexpr int kCheckHeight = 15;
// The link stands a little below its row's top and is as tall as its font: at the row's top
// edge, row 0's link was cut by the top of the list.
constexpr int kLinkTop = 2;
constexpr int kLinkHeight = 13;
constexpr int kFocusFrameWidth = 2;

constexpr const char* kDictionaryLinkText = "web辞書で意味を調べるにはここをクリック";

// What Tab stops at on a ClickLabel: a plain widget over the whole label that takes the focus,
// draws the focus frame and lets clicks through; the keys it is sent go on to the label. A
// focusable QLabel would keep a text document of its own (Qt 6 does that for a label that can
// take the focus), which made rebuilding 201 rows three times slower.
class FocusFrame : public QWidget {
 public:
  explicit FocusFrame(QLabel* label) : QWidget(label) {
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(label->text());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!hasFocus()) return;
    // A solid frame in the highlight colour: the style's dotted focus frame was too faint to
    // find on a small link.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(kFocusFrameWidth / 2.0, kFocusFrameWidth / 2.0,
                                             -kFocusFrameWidth / 2.0, -kFocusFrameWidth / 2.0));
  }
};

// A label that acts on a click of the left button released over it, and on Return, Enter or
// Space once Tab has brought the focus to its FocusFrame.
class ClickLabel : public QLabel {
 public:
  ClickLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
      : QLabel(text, parent), onClick_(std::move(onClick)), focusFrame_(new FocusFrame(this)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      onClick_();
  }

  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        !event->isAutoRepeat()) {
      onClick_();
      return;
    }
    QLabel::keyPressEvent(event);
  }

  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    focusFrame_->setGeometry(rect());
  }

 private:
  std::function<void()> onClick_;
  QWidget* focusFrame_;
};

// The count column: wide enough for seven digits (a count of millions) and for any longer
// count shown, so that no count is cut and every row's link stands at the same place. Digits
// are of one width, so only counts of eight digits or more need measuring.
int CountColumnWidth(const QFont& countFont, const std::vector<ShownWord>& words) {
  const QFontMetrics metrics(countFont);
  int width = std::max(kDesignedCountWidth, metrics.horizontalAdvance(QStringLiteral("0000000")));
  for (const ShownWord& word : words) {
    if (word.count >= 10'000'000)
      width = std::max(width, metrics.horizontalAdvance(QString::number(word.count)));
  }
  return width;
}

// The word's font: `designed`, or a smaller one when the word would run into its count.
QFont WordFont(const QFont& designed, const QFontMetrics& designedMetrics, const QString& word) {
  constexpr int kColumnWidth = kCountLeft - kWordLeft;
  if (designedMetrics.horizontalAdvance(word) <= kColumnWidth) return designed;
  QFont font = designed;
  for (int pixels = kWordPixels - 1; pixels >= kSmallestWordPixels; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(word) <= kColumnWidth) break;
  }
  return font;
}

}  // namespace

TWordListView::TWordListView(QScrollArea* scrollBox, WordAction onWordClick,
                             WordAction onDictionaryClick)
    : scrollBox_(scrollBox),
      page_(new QWidget),
      onWordClick_(std::move(onWordClick)),
      onDictionaryClick_(std::move(onDictionaryClick)) {
  page_->setObjectName(QStringLiteral("WordRows"));
  page_->resize(kCountLeft + kDesignedCountWidth + kLinkWidth, 0);
  scrollBox_->setWidget(page_);  // the scroll box owns the page from now on
}

void TWordListView::Dismantle(std::set<std::string>& ngWords) {
  for (std::size_t r = 0; r < wordLabels_.size(); ++r) {
    if (knownWordChecks_[r]->isChecked()) {
      ngWords.insert(UpperCaseAscii(ToShiftJis(wordLabels_[r]->text())));
    }
    delete wordLabels_[r];
    delete countLabels_[r];
    delete dictionaryLinks_[r];
    delete knownWordChecks_[r];
  }
  wordLabels_.clear();
  countLabels_.clear();
  dictionaryLinks_.clear();
  knownWordChecks_.clear();
}

void TWordListView::Rebuild(RankedWordList ranking, std::set<std::string>& ngWords,
                            std::int32_t itemViewCount, const std::set<std::string>& hiddenWords) {
  // No half-built list is ever drawn.
  scrollBox_->setUpdatesEnabled(false);
  Dismantle(ngWords);
  const std::vector<ShownWord> words =
      SelectShownWords(ranking, ngWords, hiddenWords, itemViewCount);
  const int linkLeft =
      kCountLeft + CountColumnWidth(PixelFont(page_->font().family(), kCountPixels), words);
  const QFont wordFont = PixelFont(page_->font().family(), kWordPixels);
  const QFontMetrics wordMetrics(wordFont);
  for (const ShownWord& word : words) {
    AddRow(word.caption, word.count, WordFont(wordFont, wordMetrics, FromShiftJis(word.caption)),
           linkLeft);
  }
  page_->resize(PageWidth(linkLeft), static_cast<int>(wordLabels_.size()) * kRowPitch);
  scrollBox_->setUpdatesEnabled(true);
}

void TWordListView::ShowKnown(const std::string& upperWord, bool known) {
  for (std::size_t r = 0; r < wordLabels_.size(); ++r) {
    if (UpperCaseAscii(ToShiftJis(wordLabels_[r]->text())) != upperWord) continue;
    const QSignalBlocker blocker(knownWordChecks_[r]);
    knownWordChecks_[r]->setChecked(known);
  }
}

int TWordListView::PageWidth(int linkLeft) const {
  // As designed, unless the wider count column moved the link and the box further than that:
  // then as far as their texts reach, which keeps a horizontal scroll bar out of the window.
  int width = kCountLeft + kDesignedCountWidth + kLinkWidth;
  if (!dictionaryLinks_.empty()) {
    width = std::max(width, linkLeft + std::max(dictionaryLinks_.front()->sizeHint().width(),
                                                knownWordChecks_.front()->sizeHint().width()));
  }
  return width;
}

void TWordListView::AddRow(const std::string& caption, std::int32_t count, const QFont& wordFont,
                           int linkLeft) {
  const int r = static_cast<int>(wordLabels_.size());
  const int top = r * kRowPitch;
  const QString family = page_->font().family();
  const QString word = FromShiftJis(caption);

  auto* wordLabel = new ClickLabel(word, page_, [this, r] {
    onWordClick_(ToShiftJis(wordLabels_[static_cast<std::size_t>(r)]->text()));
  });
  wordLabel->setObjectName(QStringLiteral("WordLabel%1").arg(r));
  wordLabel->setFont(wordFont);
  wordLabel->setToolTip(QStringLiteral("ここをクリックすると[") + word +
                        QStringLiteral("]を含むセンテンスを表示します"));
  wordLabel->move(kWordLeft, top);
  wordLabel->resize(std::min(wordLabel->sizeHint().width(), kCountLeft - kWordLeft), kRowPitch);

  auto* countLabel = new QLabel(QString::number(count), page_);
  countLabel->setObjectName(QStringLiteral("CountLabel%1").arg(r));
  countLabel->setFont(PixelFont(family, kCountPixels));
  countLabel->setGeometry(kCountLeft, top, linkLeft - kCountLeft, kRowPitch);

  auto* link = new ClickLabel(QString::fromUtf8(kDictionaryLinkText), page_, [this, r] {
    onDictionaryClick_(ToShiftJis(wordLabels_[static_cast<std::size_t>(r)]->text()));
  });
  link->setObjectName(QStringLiteral("DictionaryLink%1").arg(r));
  QFont linkFont = PixelFont(family, 10);
  linkFont.setUnderline(true);
  link->setFont(linkFont);
  QPalette navy = link->palette();
  navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
  link->setPalette(navy);
  link->setGeometry(linkLeft, top + kLinkTop, kLinkWidth, kLinkHeight);

  auto* check = new QCheckBox(QString::fromUtf8(kKnownWordText), page_);
  check->setObjectName(QStringLiteral("KnownWordCheck%1").arg(r));
  check->setFont(PixelFont(family, 10));
  check->setGeometry(linkLeft, top + 15, kLinkWidth, kCheckHeight);
  QObject::connect(check, &QCheckBox::toggled, page_, [this, r](bool known) {
    if (onKnownChanged_)
      onKnownChanged_(UpperCaseAscii(ToShiftJis(wordLabels_[static_cast<std::size_t>(r)]->text())),
                      known);
  });

  for (QWidget* control : {static_cast<QWidget*>(wordLabel), static_cast<QWidget*>(countLabel),
                           static_cast<QWidget*>(link), static_cast<QWidget*>(check)}) {
    control->show();
  }
  wordLabels_.push_back(wordLabel);
  countLabels_.push_back(countLabel);
  dictionaryLinks_.push_back(link);
  knownWordChecks_.push_back(check);
}

}  // namespace quillmark
