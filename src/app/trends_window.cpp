#include "app/trends_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 560;
constexpr int kShareChartHeight = 170;
constexpr int kWordChartWidth = 260;
constexpr int kShownWordsOfEach = 100;  // the first real runs make hundreds of new words
constexpr int kPercentTenthsTop = 1000;

// The chart's inner margins: room for the axis numbers on the left and the dates below.
constexpr int kLeft = 44;
constexpr int kRight = 14;
constexpr int kTop = 20;  // room for a number above a point at the top
constexpr int kBottom = 22;
// Beyond these the marks and the numbers would run into each other.
constexpr std::size_t kMostPointsMarked = 60;
constexpr std::size_t kMostPointsLabelled = 12;

QString DateOf(std::int64_t time) {
  return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("MM/dd"));
}

QString AxisNumber(int value, int divisor) {
  return divisor == 1 ? QString::number(value) : QString::number(value / divisor);
}

QString PointValue(int value, int divisor) {
  return divisor == 1 ? QString::number(value)
                      : QString::number(static_cast<double>(value) / divisor, 'f', 1);
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

TRunChart::TRunChart(int top, int divisor, QWidget* parent)
    : QWidget(parent), top_(top), divisor_(divisor) {
  setMinimumSize(160, 90);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
}

void TRunChart::SetPoints(std::vector<RunPoint> points) {
  points_ = std::move(points);
  update();
}

void TRunChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRect plot(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom);
  painter.setPen(Qt::gray);
  painter.drawLine(plot.bottomLeft(), plot.bottomRight());
  painter.drawLine(plot.bottomLeft(), plot.topLeft());
  if (points_.empty()) {
    painter.drawText(plot, Qt::AlignCenter, QStringLiteral("履歴はまだありません"));
    return;
  }

  int top = top_;
  if (top == 0) {
    for (const RunPoint& point : points_) top = std::max(top, point.value);
    top = std::max(top, 1);
  }
  const QRect numbers(0, plot.top() - 6, kLeft - 6, plot.height() + 12);
  painter.drawText(numbers, Qt::AlignRight | Qt::AlignTop, AxisNumber(top, divisor_));
  painter.drawText(numbers, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("0"));
  const QRect dates(plot.left(), plot.bottom() + 4, plot.width(), kBottom - 4);
  painter.drawText(dates, Qt::AlignLeft | Qt::AlignTop, DateOf(points_.front().time));
  if (points_.size() > 1)
    painter.drawText(dates, Qt::AlignRight | Qt::AlignTop, DateOf(points_.back().time));

  // Evenly spaced: runs are about daily, and a gap of days would squeeze the rest together.
  const double step =
      points_.size() > 1 ? static_cast<double>(plot.width()) / (points_.size() - 1) : 0;
  QPolygonF line;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const double x = plot.left() + (points_.size() > 1 ? step * i : plot.width() / 2.0);
    const double share = std::clamp(static_cast<double>(points_[i].value) / top, 0.0, 1.0);
    line << QPointF(x, plot.bottom() - share * plot.height());
  }
  painter.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 2));
  painter.drawPolyline(line);
  painter.setBrush(QColor(0x1f, 0x5f, 0xbf));
  if (points_.size() <= kMostPointsMarked) {
    for (const QPointF& point : line) painter.drawEllipse(point, 3, 3);
  }
  if (points_.size() <= kMostPointsLabelled) {
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < points_.size(); ++i) {
      const QRectF label(line[static_cast<int>(i)].x() - 30, line[static_cast<int>(i)].y() - 18, 60,
                         14);
      painter.drawText(label, Qt::AlignCenter, PointValue(points_[i].value, divisor_));
    }
  }
}

TTrendsWindow::TTrendsWindow(RunHistory& history, const std::set<std::string>& knownWords,
                             WordAction onWordClick, ErrorDisplay showError, QWidget* owner)
    : QWidget(owner, Qt::Window),
      history_(history),
      knownWords_(knownWords),
      onWordClick_(std::move(onWordClick)),
      showError_(std::move(showError)) {
  setObjectName(QStringLiteral("TrendsWindow"));
  setWindowTitle(QStringLiteral("ニュースの推移"));
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  resize(kWindowWidth, kWindowHeight);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("既知語率の推移 (%)"), this));
  shareChart_ = new TRunChart(kPercentTenthsTop, 10, this);
  shareChart_->setObjectName(QStringLiteral("KnownShareChart"));
  shareChart_->setFixedHeight(kShareChartHeight);
  layout->addWidget(shareChart_);

  trendsLabel_ = new QLabel(this);
  trendsLabel_->setObjectName(QStringLiteral("TrendsLabel"));
  layout->addWidget(trendsLabel_);
  auto* lower = new QHBoxLayout;
  layout->addLayout(lower, 1);

  table_ = new QTableWidget(0, 3, this);
  table_->setObjectName(QStringLiteral("TrendsTable"));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("単語"), QStringLiteral("今回の回数"), QStringLiteral("倍率")});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { ShowWordOfRow(row); });
  lower->addWidget(table_, 1);

  auto* wordSide = new QVBoxLayout;
  wordLabel_ = new QLabel(QStringLiteral("単語をクリックすると回数の推移を表示します"), this);
  wordLabel_->setObjectName(QStringLiteral("WordChartLabel"));
  wordLabel_->setWordWrap(true);
  wordSide->addWidget(wordLabel_);
  wordChart_ = new TRunChart(0, 1, this);
  wordChart_->setObjectName(QStringLiteral("WordCountChart"));
  wordChart_->setFixedSize(kWordChartWidth, 150);
  wordSide->addWidget(wordChart_);
  wordSide->addStretch(1);
  lower->addLayout(wordSide);
}

void TTrendsWindow::Refresh() {
  try {
    runs_ = history_.Runs();
    shareChart_->SetPoints(KnownShareOverTime(runs_));
    ShowTrends(TrendsOfLastRun(history_, knownWords_));
  } catch (const std::exception& error) {
    runs_.clear();
    shareChart_->SetPoints({});
    ShowTrends({});
    showError_(this, ErrorText(error));
  }
}

void TTrendsWindow::ShowTrends(const NewsTrends& trends) {
  const TrendOptions options;
  trendsLabel_->setText(QStringLiteral("今回の新出語と上昇語 (過去%1日間の%2回の実行と比べて)")
                            .arg(options.days)
                            .arg(trends.earlierRuns));
  rowWords_.clear();
  table_->setRowCount(0);
  auto addRows = [this](const std::vector<TrendWord>& words, bool rising) {
    const int shown = std::min<int>(kShownWordsOfEach, static_cast<int>(words.size()));
    for (int i = 0; i < shown; ++i) {
      const TrendWord& word = words[static_cast<std::size_t>(i)];
      const int row = table_->rowCount();
      table_->insertRow(row);
      table_->setItem(row, 0, Cell(FromShiftJis(LowerCaseAscii(word.word)), Qt::AlignLeft));
      table_->setItem(row, 1, Cell(QString::number(word.count), Qt::AlignRight));
      table_->setItem(
          row, 2,
          Cell(rising ? QStringLiteral("×%1").arg(word.factor, 0, 'f', 1) : QStringLiteral("新出"),
               Qt::AlignRight));
      rowWords_.push_back(word.word);
    }
  };
  addRows(trends.newWords, false);
  addRows(trends.rising, true);
}

void TTrendsWindow::ShowWordOfRow(int row) {
  if (row < 0 || row >= static_cast<int>(rowWords_.size())) return;
  const std::string word = rowWords_[static_cast<std::size_t>(row)];
  const std::string caption = LowerCaseAscii(word);
  wordLabel_->setText(QStringLiteral("[%1]の回数の推移").arg(FromShiftJis(caption)));
  try {
    wordChart_->SetPoints(WordCountOverTime(runs_, history_.CountsOf(word)));
  } catch (const std::exception& error) {
    wordChart_->SetPoints({});
    showError_(this, ErrorText(error));
  }
  onWordClick_(caption);
}

}  // namespace quillmark
