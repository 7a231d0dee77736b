#include "app/trends_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr int kShareChartHeight = 170;
constexpr int kWordChartHeight = 150;
constexpr int kShownWordsOfEach = 100;  // the first real runs make hundreds of new words

// The chart's inner margins: room for the axis numbers on the left and two lines of dates
// below (the time under the day when two runs share it).
constexpr int kLeft = 44;
constexpr int kRight = 10;
constexpr int kTop = 22;  // room for a number above a point at the top
constexpr int kBottom = 34;
// The first and last points stand this far inside the axes, so that their numbers and dates
// stay clear of the axis numbers and of the edge.
constexpr int kInset = 26;
constexpr int kValueLabelWidth = 44;
constexpr int kValueLabelHeight = 14;
// Beyond these the marks and the numbers would run into each other.
constexpr std::size_t kMostPointsMarked = 60;
constexpr std::size_t kMostPointsLabelled = 12;

QString AxisNumber(int value, int divisor) { return QString::number(value / divisor); }

QString PointValue(int value, int divisor) {
  return divisor == 1 ? QString::number(value)
                      : QString::number(static_cast<double>(value) / divisor, 'f', 1);
}

// 1, 2, 5, 10, 20, 50, ...
int NextNiceStep(int step) {
  int power = 1;
  while (power * 10 <= step) power *= 10;
  const int mantissa = step / power;
  return mantissa == 1 ? 2 * power : mantissa == 2 ? 5 * power : 10 * power;
}

int FloorTo(int value, int step) {
  return static_cast<int>(std::floor(static_cast<double>(value) / step)) * step;
}
int CeilTo(int value, int step) {
  return static_cast<int>(std::ceil(static_cast<double>(value) / step)) * step;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

ChartAxis AxisFor(const std::vector<RunPoint>& points, AxisStart start, int divisor) {
  int lowest = 0;
  int highest = 0;
  if (!points.empty()) {
    const auto [low, high] =
        std::minmax_element(points.begin(), points.end(),
                            [](const RunPoint& a, const RunPoint& b) { return a.value < b.value; });
    lowest = low->value;
    highest = high->value;
  }
  if (start == AxisStart::kZero) lowest = std::min(lowest, 0);
  for (int step = divisor;; step = NextNiceStep(step)) {
    const int low = FloorTo(lowest, step);
    int high = CeilTo(highest, step);
    if (high == low) high = low + step;  // one value: the step above it
    if ((high - low) / step <= kMostTicks) return ChartAxis{low, high, step};
  }
}

QString RunDateLabel(const std::vector<RunPoint>& points, std::size_t index) {
  const QDateTime time = QDateTime::fromSecsSinceEpoch(points[index].time);
  QString label = time.toString(QStringLiteral("MM/dd"));
  for (std::size_t other = 0; other < points.size(); ++other) {
    if (other != index && QDateTime::fromSecsSinceEpoch(points[other].time).date() == time.date())
      return label + u'\n' + time.toString(QStringLiteral("HH:mm"));
  }
  return label;
}

TRunChart::TRunChart(AxisStart start, int divisor, QWidget* parent)
    : QWidget(parent), start_(start), divisor_(divisor) {
  setMinimumSize(160, 100);
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

  const ChartAxis axis = AxisFor(points_, start_, divisor_);
  const auto yOf = [&](int value) {
    return plot.bottom() -
           static_cast<double>(value - axis.low) / (axis.high - axis.low) * plot.height();
  };
  const int numberHeight = fontMetrics().height();
  for (int tick = axis.low; tick <= axis.high; tick += axis.step) {
    const double y = yOf(tick);
    if (tick != axis.low) {
      painter.setPen(QColor(0xe4, 0xe4, 0xe4));
      painter.drawLine(QPointF(plot.left() + 1, y), QPointF(plot.right(), y));
    }
    painter.setPen(Qt::darkGray);
    painter.drawText(QRectF(0, y - numberHeight / 2.0, kLeft - 6, numberHeight),
                     Qt::AlignRight | Qt::AlignVCenter, AxisNumber(tick, divisor_));
  }

  // Evenly spaced: runs are about daily, and a gap of days would squeeze the rest together.
  const double inner = std::max(0, plot.width() - 2 * kInset);
  const double step = points_.size() > 1 ? inner / (points_.size() - 1) : 0;
  QPolygonF line;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const double x = plot.left() + kInset + (points_.size() > 1 ? step * i : inner / 2.0);
    line << QPointF(x, yOf(points_[i].value));
  }

  // Every run dated where the dates have room; else every n-th run, the last one included.
  const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00")) + 8;
  const std::size_t stride =
      step > 0 ? std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(dateWidth / step)))
               : 1;
  painter.setPen(Qt::darkGray);
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const bool last = i + 1 == points_.size();
    if (i % stride != 0 && !last) continue;
    if (last && i % stride != 0 && (i % stride) * step < dateWidth) continue;
    const QRectF date(line[static_cast<int>(i)].x() - dateWidth / 2.0, plot.bottom() + 3, dateWidth,
                      kBottom - 3);
    painter.drawText(date, Qt::AlignHCenter | Qt::AlignTop, RunDateLabel(points_, i));
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
      const QPointF point = line[static_cast<int>(i)];
      const QRectF label(point.x() - kValueLabelWidth / 2.0, point.y() - kValueLabelHeight - 5,
                         kValueLabelWidth, kValueLabelHeight);
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
  KeepOuterSize(this, kDesignedSize, MinimumSize::kFree, Placement::kAsPlaced);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("既知語率の推移 (%)"), this));
  shareChart_ = new TRunChart(AxisStart::kData, 10, this);
  shareChart_->setObjectName(QStringLiteral("KnownShareChart"));
  shareChart_->setFixedHeight(kShareChartHeight);
  layout->addWidget(shareChart_);

  trendsLabel_ = new QLabel(this);
  trendsLabel_->setObjectName(QStringLiteral("TrendsLabel"));
  trendsLabel_->setWordWrap(true);
  layout->addWidget(trendsLabel_);

  // The new words and the rising words side by side, each a list of its own: a rising word
  // must not wait behind up to a hundred new ones.
  lists_ = new QWidget(this);
  auto* lists = new QHBoxLayout(lists_);
  lists->setContentsMargins(0, 0, 0, 0);
  const auto addList = [&](const QString& title, QTableWidget* table) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(title, lists_));
    column->addWidget(table, 1);
    lists->addLayout(column, 1);
  };
  newTable_ = MakeTable(QStringLiteral("NewWordsTable"),
                        {QStringLiteral("単語"), QStringLiteral("今回の回数")});
  risingTable_ =
      MakeTable(QStringLiteral("RisingWordsTable"),
                {QStringLiteral("単語"), QStringLiteral("今回の回数"), QStringLiteral("倍率")});
  addList(QStringLiteral("新出語"), newTable_);
  addList(QStringLiteral("上昇語"), risingTable_);
  connect(newTable_, &QTableWidget::cellClicked, this, [this](int row, int) {
    if (row >= 0 && row < static_cast<int>(newRowWords_.size()))
      ShowWord(newRowWords_[static_cast<std::size_t>(row)]);
  });
  connect(risingTable_, &QTableWidget::cellClicked, this, [this](int row, int) {
    if (row >= 0 && row < static_cast<int>(risingRowWords_.size()))
      ShowWord(risingRowWords_[static_cast<std::size_t>(row)]);
  });
  layout->addWidget(lists_, 1);

  wordLabel_ = new QLabel(QStringLiteral("単語をクリックすると回数の推移を表示します"), this);
  wordLabel_->setObjectName(QStringLiteral("WordChartLabel"));
  layout->addWidget(wordLabel_);
  wordChart_ = new TRunChart(AxisStart::kZero, 1, this);
  wordChart_->setObjectName(QStringLiteral("WordCountChart"));
  wordChart_->setFixedHeight(kWordChartHeight);
  layout->addWidget(wordChart_);
}

QTableWidget* TTrendsWindow::MakeTable(const QString& name, const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), this);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < headers.size(); ++column)
    table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Two rows at least: the lists give way first where the screen is low, never the charts.
  table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                          2 * table->verticalHeader()->defaultSectionSize() +
                          2 * table->frameWidth());
  return table;
}

QSize TTrendsWindow::LeastSize() const {
  // Each list as wide as its widest cell or heading in every column, with its scroll bar.
  int width = 0;
  for (const QTableWidget* table : {newTable_, risingTable_}) {
    int needed = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < table->columnCount(); ++column)
      needed += std::max(static_cast<const QAbstractItemView*>(table)->sizeHintForColumn(column),
                         table->horizontalHeader()->sectionSizeHint(column));
    width += needed;
  }
  const QMargins margins = layout()->contentsMargins();
  width += margins.left() + margins.right() + lists_->layout()->spacing();
  // The frame, as the designed sizes count it; no less high than the charts and lists can be.
  const QSize frame = frameGeometry().size() - geometry().size();
  width += frame.width();
  const int height = minimumSizeHint().height() + frame.height();
  return QSize(std::max(width, kLeastSize.width()), std::max(height, kLeastSize.height()));
}

QRect TTrendsWindow::CoverableArea() const {
  return QRect(lists_->mapToGlobal(QPoint(0, 0)), lists_->size());
}

bool TTrendsWindow::CoversCharts(const QRect& frame) const {
  for (const QWidget* chart :
       {static_cast<const QWidget*>(shareChart_), static_cast<const QWidget*>(wordChart_)}) {
    if (frame.intersects(QRect(chart->mapToGlobal(QPoint(0, 0)), chart->size()))) return true;
  }
  return false;
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
  const auto fill = [](QTableWidget* table, std::vector<std::string>& rowWords,
                       const std::vector<TrendWord>& words, bool rising) {
    rowWords.clear();
    const int shown = std::min<int>(kShownWordsOfEach, static_cast<int>(words.size()));
    table->setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
      const TrendWord& word = words[static_cast<std::size_t>(row)];
      table->setItem(row, 0, Cell(FromShiftJis(LowerCaseAscii(word.word)), Qt::AlignLeft));
      table->setItem(row, 1, Cell(QString::number(word.count), Qt::AlignRight));
      if (rising)
        table->setItem(row, 2,
                       Cell(QStringLiteral("×%1").arg(word.factor, 0, 'f', 1), Qt::AlignRight));
      rowWords.push_back(word.word);
    }
  };
  fill(newTable_, newRowWords_, trends.newWords, false);
  fill(risingTable_, risingRowWords_, trends.rising, true);
}

void TTrendsWindow::ShowWord(const std::string& word) {
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
