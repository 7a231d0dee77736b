// The run history seen from the window: runs on three days against a site whose page changes,
// then the trends window over them.

#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "app/main_form.h"
#include "app/trends_window.h"
#include "app_test_support.h"
#include "session/kept_articles.h"
#include "support/scripted_server.h"

using namespace quillmark;
using testing::Page;

class TrendsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void threeRunsOnThreeDaysShowTheirSharesAndTheThirdDaysNewWord() {
    TMainForm form(SiteSession(), {}, [this](QWidget*, const QString& text) { errors_ << text; });
    form.CreateStudyWindows();
    form.SetGatheringIntervals({.tickMs = 5, .watchdogMs = 5000, .clientTimeOutMs = 5000});
    SqliteRunHistory history(RunHistoryPath(directory_.path().toStdString() + "/"),
                             HistoryDirectory::kMustExist, {});
    std::int64_t now = 0;
    form.SetRunHistory(&history, [&now] { return now; });

    QStringList shares;  // as the status bar showed them after each run
    for (day_ = 0; day_ < 3; ++day_) {
      now = kFirstDay + day_ * 86'400;
      form.ExecuteButtonClick();
      shares << form.findChild<QLabel*>("StatusPanel3")->text().mid(5).chopped(1);
    }
    QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join('\n')));

    form.findChild<QAction*>("MnuHistoryTrends")->trigger();
    TTrendsWindow* window = form.TrendsWindow();
    QVERIFY(window->isVisible());
    const std::vector<RunPoint>& points =
        window->findChild<TRunChart*>("KnownShareChart")->Points();
    QCOMPARE(points.size(), std::size_t{3});
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(points[i].time, kFirstDay + i * 86'400);
      QCOMPARE(QString::number(points[i].value / 10.0, 'f', 1), shares[i]);
    }

    // New words and rising ones in lists of their own.
    auto* table = window->findChild<QTableWidget*>("NewWordsTable");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("eclipse"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("2"));
    QCOMPARE(window->findChild<QTableWidget*>("RisingWordsTable")->rowCount(), 0);
    // Beside the main window, covering none of it (the offscreen screen has room).
    QVERIFY(!window->frameGeometry().intersects(form.frameGeometry()));

    // A word clicked: its counts per run, and its sentences as a row's click shows them.
    emit table->cellClicked(0, 0);
    std::vector<int> counts;
    for (const RunPoint& point : window->findChild<TRunChart*>("WordCountChart")->Points())
      counts.push_back(point.value);
    QCOMPARE(counts, (std::vector<int>{0, 0, 2}));
    QCOMPARE(form.SentenceDialog()->windowTitle(), QStringLiteral("[eclipse]を含むセンテンス"));
    QVERIFY(!window->CoversCharts(form.SentenceDialog()->frameGeometry()));

    // Started again: the window within the screen, as wide as its lists need; a word's
    // sentences come from the kept articles, and where none holds it the window says so in
    // Japanese.
    testing::InMemorySession restarted;
    TMainForm again(restarted.session, {});
    again.CreateStudyWindows();
    again.SetRunHistory(&history, [&now] { return now; });
    again.MnuHistoryTrendsClick();
    TTrendsWindow* reopened = again.TrendsWindow();
    QVERIFY(reopened->screen()->availableGeometry().contains(reopened->frameGeometry()));
    QVERIFY(reopened->frameGeometry().width() >= reopened->LeastSize().width());
    auto* newWords = reopened->findChild<QTableWidget*>("NewWordsTable");
    const auto memo = [&again] {
      return again.SentenceDialog()->findChild<QPlainTextEdit*>("Memo");
    };
    emit newWords->cellClicked(0, 0);
    QCOMPARE(memo()->toPlainText(), QString::fromUtf8(kNoTrendSentenceText));
    KeepArticlesOfRun(history, history.Runs().back().id, now,
                      {KeptArticle{"a.example",
                                   "http://a.example/sky",
                                   "Sky",
                                   "",
                                   {"The eclipse darkened the sky.", "Birds sang."}}},
                      restarted.session.Stores().mappedWords, restarted.session.Dictionary(), 30);
    emit newWords->cellClicked(0, 0);
    QCOMPARE(memo()->toPlainText(),
             QStringLiteral("[from a.example]\nThe eclipse darkened the sky.\n\n"));

    // The command line reads the same history and finds the same new word.
    QProcess cli;
    cli.start(QUILLMARK_CLI, {"--data-dir", directory_.path(), "trends"});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY2(cli.readAllStandardOutput().endsWith(
                 "; compared with 2 runs of the last 7 days\nnew\teclipse\t2\n"),
             qPrintable(cli.readAllStandardError()));
  }

  // The known share's axis spans the data in whole percents, a step of 1, 2 or 5 times a
  // power of ten, at most five steps; counts start at 0.
  void theValueAxisSpansTheDataWithRoundTicks() {
    const auto points = [](std::vector<int> values) {
      std::vector<RunPoint> made;
      for (const int value : values) made.push_back({0, value});
      return made;
    };
    const struct {
      const char* name;
      std::vector<RunPoint> points;
      AxisStart start;
      int divisor;
      ChartAxis axis;
    } cases[] = {
        {"63-68 %", points({655, 672, 631, 680}), AxisStart::kData, 10, {630, 680, 10}},
        {"63.5-68.2 %", points({635, 682}), AxisStart::kData, 10, {620, 700, 20}},
        {"one run", points({653}), AxisStart::kData, 10, {650, 660, 10}},
        {"0-100 %", points({0, 1000}), AxisStart::kData, 10, {0, 1000, 200}},
        {"counts from 0", points({0, 0, 2}), AxisStart::kZero, 1, {0, 2, 1}},
        {"large counts", points({120, 290}), AxisStart::kZero, 1, {0, 300, 100}},
        {"no runs", {}, AxisStart::kZero, 1, {0, 1, 1}},
    };
    for (const auto& c : cases) {
      const ChartAxis axis = AxisFor(c.points, c.start, c.divisor);
      QVERIFY2(axis == c.axis, c.name);
      QVERIFY2((axis.high - axis.low) / axis.step <= kMostTicks, c.name);
    }
  }

  // Each run is dated by its day; two runs of one day also by their times.
  void runsAreDatedAndTimedWhenTheyShareADay() {
    const QDateTime morning(QDate(2026, 12, 3), QTime(8, 5));
    const std::vector<RunPoint> points = {{morning.addDays(-1).toSecsSinceEpoch(), 0},
                                          {morning.toSecsSinceEpoch(), 0},
                                          {morning.addSecs(9 * 3600).toSecsSinceEpoch(), 0}};
    QCOMPARE(RunDateLabel(points, 0), QStringLiteral("12/02"));
    QCOMPARE(RunDateLabel(points, 1), QStringLiteral("12/03\n08:05"));
    QCOMPARE(RunDateLabel(points, 2), QStringLiteral("12/03\n17:05"));
  }

  void aHistoryThatCannotBeWrittenIsOneMessageAndTheRunStands() {
    QVERIFY(QDir(directory_.path()).mkpath(QStringLiteral("blocked/history.sqlite3")));
    TMainForm form(SiteSession(), {}, [this](QWidget*, const QString& text) { errors_ << text; });
    form.CreateStudyWindows();
    form.SetGatheringIntervals({.tickMs = 5, .watchdogMs = 5000, .clientTimeOutMs = 5000});
    SqliteRunHistory history(RunHistoryPath(directory_.path().toStdString() + "/blocked/"),
                             HistoryDirectory::kMustExist, {});
    form.SetRunHistory(&history, [] { return kFirstDay; });
    errors_.clear();
    day_ = 0;
    form.ExecuteButtonClick();
    QCOMPARE(errors_.size(), 1);
    QVERIFY2(errors_[0].startsWith(QStringLiteral("履歴ファイル ")), qPrintable(errors_[0]));
    QCOMPARE(form.findChild<QLabel*>("StatusPanel2")->text(), QStringLiteral("集計後単語数:4"));
  }

 private:
  static constexpr std::int64_t kFirstDay = 1'796'000'000;

  // The site's one page, as it reads on each day.
  Session& SiteSession() {
    session_ = std::make_unique<testing::InMemorySession>();
    session_->session.Stores().sites.Clear();
    session_->session.Stores().sites.Add(server_.Url("/"));
    return session_->session;
  }

  std::atomic<int> day_ = 0;
  testing::ScriptedServer server_{[this](int, const std::string&) {
    static const char* const kPages[] = {"<p>Ships sail. The ship sank.</p>",
                                         "<p>Ships sail. The cats ran.</p>",
                                         "<p>The eclipse sank. Ships sail. The eclipse ran.</p>"};
    return Page(kPages[std::min(day_.load(), 2)]);
  }};
  QTemporaryDir directory_;
  std::unique_ptr<testing::InMemorySession> session_;
  QStringList errors_;
};

extern const QMetaObject* const kTrendsWindowTestMeta = &TrendsWindowTest::staticMetaObject;

int RunTrendsWindowTests(int argc, char** argv) {
  TrendsWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "trends_window_test.moc"
