#pragma once
// The news over time ("ニュースの推移"): a non-modal window over the run history with a chart
// of the known share per run, the last run's new words and its rising words in two lists, and,
// for the word clicked there, a small chart of its counts per run (its sentences open as a word
// row's click opens them).
//
// Thin: the history (session/run_history.h) and the trends (study/news_trends.h) decide
// everything; the charts are drawn with QPainter. The history is read when the window is
// opened or refreshed, never at start-up.

#include <QRect>
#include <QSize>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/qt_text.h"
#include "session/run_history.h"

class QLabel;
class QTableWidget;

namespace quillmark {

// The value axis of a chart: from `low` to `high` (values as the chart holds them), a
// labelled tick every `step`.
struct ChartAxis {
  int low = 0;
  int high = 1;
  int step = 1;
  bool operator==(const ChartAxis&) const = default;
};

// Where a chart's value axis starts: at 0 (counts), or near the lowest value shown (a share
// that moves between 63 and 68 % would look flat on a 0-100 axis).
enum class AxisStart { kZero, kData };

// The axis for `points`: whole numbers of the shown unit (`divisor` values make one) in steps
// of 1, 2 or 5 times a power of ten, at most kMostTicks steps, spanning every value.
ChartAxis AxisFor(const std::vector<RunPoint>& points, AxisStart start, int divisor);
inline constexpr int kMostTicks = 5;

// The date under point `index` ("MM/dd", local time), with the time on a second line
// ("MM/dd\nHH:mm") when another run of `points` fell on the same day.
QString RunDateLabel(const std::vector<RunPoint>& points, std::size_t index);

// A line over the runs, evenly spaced, each run dated under it, the value axis with labelled
// ticks.
class TRunChart : public QWidget {
  Q_OBJECT

 public:
  // `divisor` turns a value into the number written (10 for tenths of a percent).
  TRunChart(AxisStart start, int divisor, QWidget* parent);

  void SetPoints(std::vector<RunPoint> points);
  const std::vector<RunPoint>& Points() const { return points_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  AxisStart start_;
  int divisor_;
  std::vector<RunPoint> points_;
};

class TTrendsWindow : public QWidget {
  Q_OBJECT

 public:
  // Called with a clicked word as the word list shows it (lower case).
  using WordAction = std::function<void(const std::string& caption)>;

  // `history` and `knownWords` (left out of the trends) must outlive the window.
  TTrendsWindow(RunHistory& history, const std::set<std::string>& knownWords,
                WordAction onWordClick, ErrorDisplay showError, QWidget* owner);

  // Reads the history again and shows its runs and the last run's trends; a history that
  // cannot be read is shown as an error and leaves the window empty.
  void Refresh();

  // The part of the window (global coordinates) another window may cover when it finds no
  // room beside it: the word lists, never the charts.
  QRect CoverableArea() const;

  // Whether a window of frame `frame` (global coordinates) would hide part of a chart.
  bool CoversCharts(const QRect& frame) const;

  // The designed outer size, and the least it shrinks to where the room beside the main
  // window is smaller.
  static constexpr QSize kDesignedSize{640, 600};
  static constexpr QSize kLeastSize{320, 420};
  // The least outer size at which both lists show their words, counts and factors whole (as
  // filled by the last Refresh) and the charts their height, never below kLeastSize.
  QSize LeastSize() const;

 private:
  void ShowTrends(const NewsTrends& trends);
  // `word` (upper case): its counts per run in the small chart, and its sentences.
  void ShowWord(const std::string& word);
  QTableWidget* MakeTable(const QString& name, const QStringList& headers);

  RunHistory& history_;
  const std::set<std::string>& knownWords_;
  WordAction onWordClick_;
  ErrorDisplay showError_;
  std::vector<HistoryRun> runs_;
  // The word of each row of the two lists, upper case.
  std::vector<std::string> newRowWords_;
  std::vector<std::string> risingRowWords_;

  TRunChart* shareChart_ = nullptr;
  QLabel* trendsLabel_ = nullptr;
  QWidget* lists_ = nullptr;
  QTableWidget* newTable_ = nullptr;
  QTableWidget* risingTable_ = nullptr;
  QLabel* wordLabel_ = nullptr;
  TRunChart* wordChart_ = nullptr;
};

}  // namespace quillmark
