#include "app/vocabulary_check_dialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/ascii_case.h"

namespace quillmark {

namespace {
constexpr const char* kNote =
    "知っている単語には「知っている」、知らない単語には「知らない」を選んでください"
    "（キー: Y / N、← / →）。実在しない単語も混ぜてあります。約5分で終わります。";
constexpr int kWordPixels = 28;
}  // namespace

TVocabularyCheckDialog::TVocabularyCheckDialog(const FrequencyRanks& ranks,
                                               const std::vector<std::string>& madeUp,
                                               std::uint32_t seed, QWidget* parent)
    : QDialog(parent), check_(std::make_unique<VocabularyCheck>(ranks, madeUp, seed)) {
  setObjectName("VocabularyCheckDialog");
  setWindowTitle(QString::fromUtf8(kTitle));
  auto* layout = new QVBoxLayout(this);
  noteLabel_ = new QLabel(QString::fromUtf8(kNote), this);
  noteLabel_->setObjectName("CheckNoteLabel");
  noteLabel_->setWordWrap(true);
  layout->addWidget(noteLabel_);
  wordLabel_ = new QLabel(this);
  wordLabel_->setObjectName("CheckWordLabel");
  wordLabel_->setAlignment(Qt::AlignCenter);
  QFont font = wordLabel_->font();
  font.setPixelSize(kWordPixels);
  wordLabel_->setFont(font);
  wordLabel_->setMinimumHeight(kWordPixels * 3);
  layout->addWidget(wordLabel_);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("CheckProgressBar");
  progress_->setRange(0, check_->Total());
  layout->addWidget(progress_);
  auto* buttons = new QHBoxLayout;
  knownButton_ = new QPushButton(QStringLiteral("知っている (Y)"), this);
  knownButton_->setObjectName("KnownButton");
  unknownButton_ = new QPushButton(QStringLiteral("知らない (N)"), this);
  unknownButton_->setObjectName("UnknownButton");
  useButton_ = new QPushButton(QStringLiteral("この語彙数を使う"), this);
  useButton_->setObjectName("UseLevelButton");
  auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
  closeButton->setObjectName("CloseCheckButton");
  for (QPushButton* button : {knownButton_, unknownButton_, useButton_, closeButton}) {
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);  // the keys answer, not a focused button
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  connect(knownButton_, &QPushButton::clicked, this, [this] { Answer(true); });
  connect(unknownButton_, &QPushButton::clicked, this, [this] { Answer(false); });
  connect(useButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  ShowCurrent();
}

TVocabularyCheckDialog::~TVocabularyCheckDialog() = default;

void TVocabularyCheckDialog::Answer(bool known) {
  check_->Answer(known);
  ShowCurrent();
}

void TVocabularyCheckDialog::ShowCurrent() {
  progress_->setValue(check_->AnsweredCount());
  const bool finished = check_->Finished();
  knownButton_->setEnabled(!finished);
  unknownButton_->setEnabled(!finished);
  useButton_->setVisible(finished);
  wordLabel_->setText(finished ? QString::fromStdString(EstimateText(check_->Estimate()))
                               : QString::fromStdString(LowerCaseAscii(check_->CurrentWord())));
}

void TVocabularyCheckDialog::keyPressEvent(QKeyEvent* event) {
  if (!check_->Finished()) {
    switch (event->key()) {
      case Qt::Key_Y:
      case Qt::Key_Left:
        Answer(true);
        return;
      case Qt::Key_N:
      case Qt::Key_Right:
        Answer(false);
        return;
      default:
        break;
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace quillmark
