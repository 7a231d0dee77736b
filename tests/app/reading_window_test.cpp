// The articles of a run seen from the window: the articles window over the history, the
// reading window with the unknown words marked, and a tick there reaching the known list as
// a tick in the main window does.

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "app/articles_window.h"
#include "app/main_form.h"
#include "app/reading_window.h"
#include "app/vocabulary_check_dialog.h"
#include "app_test_support.h"
#include "session/kept_articles.h"
#include "support/scripted_server.h"

using namespace quillmark;
using testing::Page;

class ReadingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void theMostReadableArticleOpensWithItsUnknownWordsMarkedAndATickUnmarksThem() {
    TMainForm form(SiteSession(), {}, [this](QWidget*, const QString& text) { errors_ << text; });
    form.CreateStudyWindows();
    SqliteRunHistory history(HistoryPath(), HistoryDirectory::kMustExist, {});
    RunWithArticles(form, history);

    form.findChild<QPushButton*>("ArticlesButton")->click();
    TArticlesWindow* articles = form.ArticlesWindow();
    QVERIFY(articles->isVisible());
    auto* table = articles->findChild<QTableWidget*>("ArticlesTable");
    QCOMPARE(table->rowCount(), 2);
    // THE 3 of 6 words known against 1 of 4: the easier first.
    QCOMPARE(Row(table, 0),
             (QStringList{"", "50.0%", "6", "1", "Ships", "a.example", "2026-11-27"}));
    QCOMPARE(Row(table, 1), (QStringList{"", "25.0%", "4", "3", "Zorbs", "b.example", ""}));

    table->setFocus();
    table->setCurrentCell(0, TArticlesWindow::kTitle);
    QTest::keyClick(table, Qt::Key_Return);
    TReadingWindow* reading = form.ReadingWindow();
    QVERIFY(reading != nullptr && reading->isVisible());
    QCOMPARE(reading->findChild<QLabel*>("ArticleTitle")->text(), QStringLiteral("Ships"));
    QCOMPARE(reading->findChild<QTextBrowser*>("ArticleText")->toPlainText(),
             QStringLiteral("The ship, the ships.\nThe ship."));
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{3, 3}));
    QCOMPARE(reading->MarkedOccurrencesOf("THE"), (std::pair{0, 3}));

    // Tab reaches the first word, Return shows it.
    auto* text = reading->findChild<QTextBrowser*>("ArticleText");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(reading->ShownBase(), std::string("THE"));
    QVERIFY(!reading->findChild<QCheckBox*>("KnownWordCheck")->isEnabled());  // a built-in word

    // A word clicked: its meaning from the built-in dictionary, its count in the day's news.
    emit reading->findChild<QTextBrowser*>("ArticleText")->anchorClicked(QUrl("w:ships"));
    QCOMPARE(reading->ShownBase(), std::string("SHIP"));
    QCOMPARE(reading->findChild<QPlainTextEdit*>("MeaningText")->toPlainText(),
             QStringLiteral("ship\n船\n艦"));  // one sense a line, as the meaning window
    QCOMPARE(reading->findChild<QLabel*>("WordCountLabel")->text(),
             QStringLiteral("今日のニュースで2回"));
    auto* check = reading->findChild<QCheckBox*>("KnownWordCheck");
    QCOMPARE(check->text(), QStringLiteral("この単語は意味を知っているので今後表示しない"));

    // The tick unmarks every occurrence at once, and the table's shares follow.
    check->click();
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{0, 3}));
    QCOMPARE(table->item(0, TArticlesWindow::kShare)->text(), QStringLiteral("100.0%"));
    QCOMPARE(table->item(0, TArticlesWindow::kMark)->text(), QStringLiteral("読みやすい"));
    check->click();  // withdrawn
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{3, 3}));
    check->click();

    // The address opens in the browser.
    std::string opened;
    reading->SetAddressOpener([&opened](const std::string& address) { opened = address; });
    emit reading->findChild<QLabel*>("ArticleLink")->linkActivated("article");
    QCOMPARE(opened, std::string("http://a.example/ships"));

    // The main window's next run leaves the word out.
    form.ExecuteButtonClick();
    QVERIFY(!RowWords(form).contains("ship"));
    QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join('\n')));

    // Started again, before any run: the day's counts are the last kept run's.
    testing::InMemorySession restarted;
    TMainForm again(restarted.session, {});
    again.SetRunHistory(&history, [] { return kDay; });
    again.OpenArticle("http://b.example/zorbs");
    again.ReadingWindow()->ShowWord("ship");
    QCOMPARE(again.ReadingWindow()->findChild<QLabel*>("WordCountLabel")->text(),
             QStringLiteral("今日のニュースで2回"));
  }

  // The table opens beside the main window, clear of its buttons and figures, with the focus
  // on its first row; home pages are not listed; dates in whatever form the page wrote them
  // show in one and sort as times, the undated (a placeholder, the future) last either way.
  void theArticlesTableListsDatedArticlesBesideTheMainWindow() {
    TMainForm form(SiteSession(), {});
    form.CreateStudyWindows();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    SqliteRunHistory history(HistoryPath(), HistoryDirectory::kMustExist, {});
    form.SetGatheringIntervals({.tickMs = 5, .watchdogMs = 5000, .clientTimeOutMs = 5000});
    form.SetRunHistory(&history, [] { return kDay; });
    form.ExecuteButtonClick();
    const auto article = [](const char* address, const char* date) {
      return KeptArticle{"a.example", address, address, date, {"The ship sank."}};
    };
    MainStores& stores = session_->session.Stores();
    KeepArticlesOfRun(history, history.Runs().back().id, kDay,
                      {article("http://a.example/late", "November 19, 2019, 07:47 PM EST"),
                       article("http://a.example/placeholder", "0001-01-01T00:00:00Z"),
                       article("http://a.example/early", "2026-11-28T09:30:00Z"),
                       article("http://a.example/future", "2999-01-01"),
                       article("http://a.example/day", "27 Nov 2026"),
                       article("http://a.example/", "2026-11-28")},
                      stores.mappedWords, session_->session.Dictionary(), 30);
    form.findChild<QPushButton*>("ArticlesButton")->click();
    TArticlesWindow* articles = form.ArticlesWindow();
    const QRect placed = articles->frameGeometry();
    for (const char* name : {"ExecuteButton", "ArticlesButton", "StatusPanel0", "StatusPanel3"}) {
      auto* control = form.findChild<QWidget*>(name);
      QVERIFY2(!placed.intersects(QRect(control->mapToGlobal(QPoint(0, 0)), control->size())),
               name);
    }
    auto* table = articles->findChild<QTableWidget*>("ArticlesTable");
    QCOMPARE(table->rowCount(), 5);  // the home page left out
    const auto dates = [table] {
      QStringList texts;
      for (int r = 0; r < table->rowCount(); ++r)
        texts << table->item(r, TArticlesWindow::kDate)->text();
      return texts;
    };
    const auto local = [](const char* iso) {
      return QDateTime::fromString(iso, Qt::ISODate).toLocalTime().toString("yyyy-MM-dd HH:mm");
    };
    table->horizontalHeader()->setSortIndicator(TArticlesWindow::kDate, Qt::AscendingOrder);
    QCOMPARE(dates(), (QStringList{local("2019-11-20T00:47:00Z"), "2026-11-27",
                                   local("2026-11-28T09:30:00Z"), "", ""}));
    table->horizontalHeader()->setSortIndicator(TArticlesWindow::kDate, Qt::DescendingOrder);
    QCOMPARE(dates(), (QStringList{local("2026-11-28T09:30:00Z"), "2026-11-27",
                                   local("2019-11-20T00:47:00Z"), "", ""}));

    // Return right after opening opens the selected row.
    form.findChild<QAction*>("MnuHistoryArticles")->trigger();
    QCOMPARE(articles->focusWidget(), table);
    QTest::keyClick(articles->focusWidget(), Qt::Key_Return);
    QVERIFY(form.ReadingWindow() != nullptr);
    QCOMPARE(form.ReadingWindow()->windowTitle(), table->item(0, TArticlesWindow::kTitle)->text());
  }

  // An article's names (capitalised wherever their case shows) are not marked as words to
  // learn; a click on one says it is a name, the dictionary's meaning after it.
  void theNamesOfAnArticleAreNotMarkedAndSaySoWhenClicked() {
    TMainForm form(SiteSession(), {});
    form.CreateStudyWindows();
    SqliteRunHistory history(HistoryPath(), HistoryDirectory::kMustExist, {});
    form.SetGatheringIntervals({.tickMs = 5, .watchdogMs = 5000, .clientTimeOutMs = 5000});
    form.SetRunHistory(&history, [] { return kDay; });
    form.ExecuteButtonClick();
    session_->files.builtIns["EJDICT"] += "trump\t切り札\n";  // read at the first lookup
    MainStores& stores = session_->session.Stores();
    KeepArticlesOfRun(
        history, history.Runs().back().id, kDay,
        {KeptArticle{"a.example",
                     "http://a.example/names",
                     "Names",
                     "",
                     {"Donald Reed saw the ship. Reed waved.",
                      "The crew thanked Reed and Donald Trump, and a glorp trumpeted."}}},
        stores.mappedWords, session_->session.Dictionary(), 30);
    form.OpenArticle("http://a.example/names");
    TReadingWindow* reading = form.ReadingWindow();
    // Reed's and Donald's first words of a sentence tell nothing; their other places do.
    QCOMPARE(reading->MarkedOccurrencesOf("REED"), (std::pair{0, 3}));
    QCOMPARE(reading->MarkedOccurrencesOf("DONALD"), (std::pair{0, 2}));
    QCOMPARE(reading->MarkedOccurrencesOf("TRUMP"), (std::pair{0, 1}));
    QCOMPARE(reading->MarkedOccurrencesOf("GLORP"), (std::pair{1, 1}));
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{1, 1}));

    reading->ShowWord("Trump");
    const QString meaning = reading->findChild<QPlainTextEdit*>("MeaningText")->toPlainText();
    QCOMPARE(meaning, QStringLiteral("人名・地名などの名前です。\n\ntrump\n切り札"));
    reading->ShowWord("Reed");
    QVERIFY(reading->findChild<QPlainTextEdit*>("MeaningText")
                ->toPlainText()
                .startsWith(QStringLiteral("人名・地名などの名前です。")));
  }

  // One known-word list: a tick in the main window's row shows at once in the open reader and
  // the articles table, a tick or untick in the reader at once in the row.
  void aTickInEitherWindowShowsAtOnceInTheOther() {
    TMainForm form(SiteSession(), {});
    form.CreateStudyWindows();
    SqliteRunHistory history(HistoryPath(), HistoryDirectory::kMustExist, {});
    RunWithArticles(form, history);
    form.MnuHistoryArticlesClick();
    auto* table = form.ArticlesWindow()->findChild<QTableWidget*>("ArticlesTable");
    form.OpenArticle("http://a.example/ships");
    TReadingWindow* reading = form.ReadingWindow();
    reading->ShowWord("ship");
    auto* readerCheck = reading->findChild<QCheckBox*>("KnownWordCheck");
    QCOMPARE(form.findChild<QLabel*>("WordLabel0")->text(), QStringLiteral("ship"));
    auto* rowCheck = form.findChild<QCheckBox*>("KnownWordCheck0");

    rowCheck->click();
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{0, 3}));
    QVERIFY(readerCheck->isChecked() && readerCheck->isEnabled());
    QCOMPARE(table->item(0, TArticlesWindow::kShare)->text(), QStringLiteral("100.0%"));

    readerCheck->click();  // withdrawn in the reader: the row follows
    QVERIFY(!rowCheck->isChecked());
    QVERIFY(!session_->session.Stores().ngWords.contains("SHIP"));
    QCOMPARE(table->item(0, TArticlesWindow::kShare)->text(), QStringLiteral("50.0%"));
    readerCheck->click();
    QVERIFY(rowCheck->isChecked());
    rowCheck->click();  // withdrawn in the row: the reader follows
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{3, 3}));
    QVERIFY(!readerCheck->isChecked());
    QVERIFY(!session_->session.Stores().ngWords.contains("SHIP"));
  }

  // The same word ticked in the main window's row or in the reading window: the same
  // ngwords.dat at exit.
  void aTickInTheReadingWindowReachesTheFileAsOneInTheMainWindow() {
    QByteArray written[2];
    for (const bool inReading : {false, true}) {
      QTemporaryDir directory;
      historyDirectory_ = directory.path();
      TMainForm form(SiteSession(), {});
      form.CreateStudyWindows();
      SqliteRunHistory history(HistoryPath(), HistoryDirectory::kMustExist, {});
      RunWithArticles(form, history);
      if (inReading) {
        form.OpenArticle("http://a.example/ships");
        form.ReadingWindow()->ShowWord("ship");
        form.ReadingWindow()->findChild<QCheckBox*>("KnownWordCheck")->click();
      } else {
        QCOMPARE(form.findChild<QLabel*>("WordLabel0")->text(), QStringLiteral("ship"));
        form.findChild<QCheckBox*>("KnownWordCheck0")->setChecked(true);
      }
      form.PrepareForExit();
      session_->session.Save(session_->settings);
      written[inReading] = QByteArray::fromStdString(session_->files.files.at("ngwords.dat"));
    }
    QVERIFY(written[0].contains("SHIP"));
    QCOMPARE(written[1], written[0]);
    historyDirectory_.clear();
  }

  // With a level of 2 (THE, SHIP): both windows count SHIP as known, the name-less share leaves
  // GLORP (in no list) out, and 知らない in the reading window takes SHIP back and lowers the
  // level.
  void aLevelCountsItsWordsAsKnownAndTheReadingWindowTakesOneBack() {
    TMainForm form(SiteSession(), {});
    session_->files.builtIns["FREQUENCY_RANKS"] = "THE\r\nSHIP\r\nZORBS\r\n";
    session_->session.Stores().configuration.vocabularyLevel = 2;
    form.CreateStudyWindows();
    SqliteRunHistory history(HistoryPath(), HistoryDirectory::kMustExist, {});
    RunWithArticles(form, history);
    QVERIFY(!RowWords(form).contains("ship"));
    QCOMPARE(form.findChild<QLabel*>("VocabularyLevelPanel")->text(),
             QStringLiteral("語彙レベル:2語"));

    form.findChild<QPushButton*>("ArticlesButton")->click();
    auto* table = form.ArticlesWindow()->findChild<QTableWidget*>("ArticlesTable");
    QCOMPARE(Row(table, 0),
             (QStringList{"読みやすい", "100.0%", "6", "0", "Ships", "a.example", "2026-11-27"}));
    // ZORBS beyond the level, GLORP in no list: 2 of 3 counted words known, 4 running words.
    QCOMPARE(Row(table, 1), (QStringList{"", "66.7%", "4", "1", "Zorbs", "b.example", ""}));

    form.OpenArticle("http://a.example/ships");
    TReadingWindow* reading = form.ReadingWindow();
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{0, 3}));
    reading->ShowWord("ship");
    auto* check = reading->findChild<QCheckBox*>("KnownWordCheck");
    QVERIFY(check->isEnabled() && check->isChecked());
    check->click();  // 知らない
    QCOMPARE(reading->MarkedOccurrencesOf("SHIP"), (std::pair{3, 3}));
    QVERIFY(session_->session.Stores().unknownWords.contains("SHIP"));
    QCOMPARE(form.findChild<QLabel*>("VocabularyLevelPanel")->text(),
             QStringLiteral("語彙レベル:1語"));
    QCOMPARE(Row(table, 1).at(TArticlesWindow::kShare), QStringLiteral("33.3%"));  // THE alone
    check->click();  // 知っている again: onto the NG-word list, off the unknown words
    QVERIFY(!session_->session.Stores().unknownWords.contains("SHIP"));
    QVERIFY(session_->session.Stores().ngWords.contains("SHIP"));
  }

  // The check window: Y and ← answer 知っている, N and → 知らない, the bar follows, and the
  // end shows the estimate and the button that keeps it.
  void theCheckWindowAnswersByKeysAndEndsWithTheEstimate() {
    std::string bytes;
    for (int rank = 1; rank <= kMaxCheckedLevel; ++rank) {
      bytes += "WORD" + std::to_string(rank) + "\r\n";
    }
    const FrequencyRanks ranks(bytes);
    const std::vector<std::string> madeUp = {"BLORF", "GRENTLE", "SQUIVEN", "TORBLE"};
    TVocabularyCheckDialog dialog(ranks, madeUp, 5);
    auto* bar = dialog.findChild<QProgressBar*>("CheckProgressBar");
    auto* use = dialog.findChild<QPushButton*>("UseLevelButton");
    QCOMPARE(bar->maximum(), 100);  // the four made-up words and 96 real ones
    // A learner of the 5,000 commonest words, answering by every key in turn.
    const Qt::Key keys[] = {Qt::Key_Y, Qt::Key_Left, Qt::Key_N, Qt::Key_Right};
    for (int i = 0; !dialog.Check().Finished(); ++i) {
      QVERIFY(!use->isVisible());
      const std::int32_t rank = ranks.RankOf(dialog.Check().CurrentWord());
      const bool known = rank > 0 && rank <= 5000;
      QTest::keyClick(&dialog, keys[(known ? 0 : 2) + i % 2]);
      QCOMPARE(bar->value(), i + 1);
      QCOMPARE(dialog.Check().Answers().back().known, known);
    }
    QCOMPARE(dialog.findChild<QLabel*>("CheckWordLabel")->text(),
             QStringLiteral("推定語彙数: 約5,000語"));
    QVERIFY(!dialog.findChild<QPushButton*>("KnownButton")->isEnabled());
    QCOMPARE(dialog.Level(), 5000);
  }

 private:
  static constexpr std::int64_t kDay = 1'796'000'000;

  Session& SiteSession() {
    session_ = std::make_unique<testing::InMemorySession>();
    session_->session.Stores().sites.Clear();
    session_->session.Stores().sites.Add(server_.Url("/"));
    return session_->session;
  }

  std::string HistoryPath() const {
    return RunHistoryPath(
        (historyDirectory_.isEmpty() ? directory_.path() : historyDirectory_).toStdString() + "/");
  }

  // A run of the window, and the two articles it read kept with it (the crawl reads none here).
  void RunWithArticles(TMainForm& form, SqliteRunHistory& history) {
    form.SetGatheringIntervals({.tickMs = 5, .watchdogMs = 5000, .clientTimeOutMs = 5000});
    form.SetRunHistory(&history, [] { return kDay; });
    form.ExecuteButtonClick();
    const std::vector<HistoryRun> runs = history.Runs();
    QVERIFY(!runs.empty());
    MainStores& stores = session_->session.Stores();
    KeepArticlesOfRun(
        history, runs.back().id, kDay,
        {KeptArticle{"b.example", "http://b.example/zorbs", "Zorbs", "", {"Zorbs glorp the ship."}},
         KeptArticle{"a.example",
                     "http://a.example/ships",
                     "Ships",
                     "2026-11-27",
                     {"The ship, the ships.", "The ship."}}},
        stores.mappedWords, session_->session.Dictionary(), 30);
  }

  static QStringList Row(QTableWidget* table, int row) {
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
      cells << table->item(row, column)->text();
    return cells;
  }

  static QStringList RowWords(TMainForm& form) {
    QStringList words;
    for (int r = 0; auto* label = form.findChild<QLabel*>(QStringLiteral("WordLabel%1").arg(r));
         ++r)
      words << label->text();
    return words;
  }

  testing::ScriptedServer server_{
      [](int, const std::string&) { return Page("<p>Ships sail. The ship sank. A cat ran.</p>"); }};
  QTemporaryDir directory_;
  QString historyDirectory_;
  std::unique_ptr<testing::InMemorySession> session_;
  QStringList errors_;
};

extern const QMetaObject* const kReadingWindowTestMeta = &ReadingWindowTest::staticMetaObject;

int RunReadingWindowTests(int argc, char** argv) {
  ReadingWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "reading_window_test.moc"
