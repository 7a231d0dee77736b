#pragma once
// The news over time ("ニュースの推移"): a non-modal window over the run history with a chart
// of the known share per run, a table of the last run's new and rising words, and, for the
// word clicked there, a small chart of its counts per run (its sentences open as a word row's
// click opens them).
//
// Thin: the history (session/run_history.h) and the trends (study/news_trends.h) decide
// everything; the charts are drawn with QPainter. The history is read when the window is
// opened or refreshed, never at start-up.

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

// A line over the runs, evenly spaced, the first and last run's dates under it.
class TRunChart : public QWidget {
  Q_OBJECT

 public:
  // `top` is the value at the top of the chart (0: the greatest value shown), `divisor`
  // turns a value into the number written beside the axis (10 for tenths of a percent).
  TRunChart(int top, int divisor, QWidget* parent);

  void SetPoints(std::vector<RunPoint> points);
  const std::vector<RunPoint>& Points() const { return points_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int top_;
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

  // The word of table row `row` (new words first, then rising ones): its counts per run in the
  // small chart, and its sentences.
  void ShowWordOfRow(int row);

 private:
  void ShowTrends(const NewsTrends& trends);

  RunHistory& history_;
  const std::set<std::string>& knownWords_;
  WordAction onWordClick_;
  ErrorDisplay showError_;
  std::vector<HistoryRun> runs_;
  std::vector<std::string> rowWords_;  // the word of each table row, upper case

  TRunChart* shareChart_ = nullptr;
  QLabel* trendsLabel_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* wordLabel_ = nullptr;
  TRunChart* wordChart_ = nullptr;
};

}  // namespace quillmark
