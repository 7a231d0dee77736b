#include "app/word_list_view.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>

#include "app/qt_text.h"
#include "study/shown_words.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr int kRowPitch = 30;
constexpr int kWordLeft = 20;
constexpr int kCountLeft = 220;
constexpr int kLinkLeft = 255;
constexpr int kLinkWidth = 300;
// The check box is designed 10 high; its indicator needs more, and 15 still fits the row.
constexpr int kCheckHeight = 15;

constexpr const char* kDictionaryLinkText = "web辞書で意味を調べるにはここをクリック";
constexpr const char* kKnownWordText = "この単語は意味を知っているので今後表示しない";

// A label that acts on a click of the left button released over it.
class ClickLabel : public QLabel {
 public:
  ClickLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
      : QLabel(text, parent), onClick_(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      onClick_();
  }

 private:
  std::function<void()> onClick_;
};

}  // namespace

TWordListView::TWordListView(QScrollArea* scrollBox, WordAction onWordClick,
                             WordAction onDictionaryClick)
    : scrollBox_(scrollBox),
      page_(new QWidget),
      onWordClick_(std::move(onWordClick)),
      onDictionaryClick_(std::move(onDictionaryClick)) {
  page_->setObjectName(QStringLiteral("WordRows"));
  page_->resize(kLinkLeft + kLinkWidth, 0);
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
  for (const ShownWord& word : SelectShownWords(ranking, ngWords, hiddenWords, itemViewCount)) {
    AddRow(word.caption, word.count);
  }
  int width = kLinkLeft + kLinkWidth;
  for (const QLabel* label : wordLabels_) width = std::max(width, label->geometry().right() + 1);
  page_->resize(width, static_cast<int>(wordLabels_.size()) * kRowPitch);
  scrollBox_->setUpdatesEnabled(true);
}

void TWordListView::AddRow(const std::string& caption, std::int32_t count) {
  const int r = static_cast<int>(wordLabels_.size());
  const int top = r * kRowPitch;
  const QString family = page_->font().family();
  const QString word = FromShiftJis(caption);

  auto* wordLabel = new ClickLabel(word, page_, [this, r] {
    onWordClick_(ToShiftJis(wordLabels_[static_cast<std::size_t>(r)]->text()));
  });
  wordLabel->setObjectName(QStringLiteral("WordLabel%1").arg(r));
  wordLabel->setFont(PixelFont(family, 24));
  wordLabel->setToolTip(QStringLiteral("ここをクリックすると[") + word +
                        QStringLiteral("]を含むセンテンスを表示します"));
  wordLabel->move(kWordLeft, top);
  wordLabel->resize(wordLabel->sizeHint().width(), kRowPitch);

  auto* countLabel = new QLabel(QString::number(count), page_);
  countLabel->setObjectName(QStringLiteral("CountLabel%1").arg(r));
  countLabel->setFont(PixelFont(family, 18));
  countLabel->setGeometry(kCountLeft, top, 35, kRowPitch);

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
  link->setGeometry(kLinkLeft, top, kLinkWidth, 10);

  auto* check = new QCheckBox(QString::fromUtf8(kKnownWordText), page_);
  check->setObjectName(QStringLiteral("KnownWordCheck%1").arg(r));
  check->setFont(PixelFont(family, 10));
  check->setGeometry(kLinkLeft, top + 15, kLinkWidth, kCheckHeight);

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
