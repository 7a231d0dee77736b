// The gathering dialog and the gathering run against a small site on 127.0.0.1, offscreen.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include "app/main_form.h"
#include "app/word_list_view.h"
#include "app_test_support.h"
#include "session/atomic_file.h"
#include "session/qt_store_files.h"
#include "study/word_cards.h"
#include "support/fake_store_files.h"
#include "support/scripted_server.h"

using namespace quillmark;
using namespace std::chrono_literals;
using testing::Exchange;
using testing::Page;
using testing::ScriptedServer;

namespace {

constexpr TWordGetDialog::Intervals kQuick{.tickMs = 5, .watchdogMs = 150, .clientTimeOutMs = 5000};

QStringList StatusLines(const TWordGetDialog& dialog) {
  QStringList lines;
  const auto* list = dialog.findChild<QListWidget*>("StatusListBox");
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

QString Line(const std::string& head, const char* message) {
  return QString::fromStdString(head) + QString::fromUtf8(message);
}

}  // namespace

class GatheringTest : public QObject {
  Q_OBJECT

 private slots:
  void aTwoPageSiteIsGatheredAndTheDialogClosesByItself() {
    TWordGetDialog dialog(nullptr, kQuick);
    dialog.SetSiteList({server_.Url("/")});
    dialog.SetLinkOptions(true, 1);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));

    QCOMPARE(dialog.CopySentenceStore(), kSentences);
    QCOMPARE(dialog.findChild<QLabel*>("Label")->text(),
             QStringLiteral("インターネットサイトより単語収集中  (2/2)"));
    QCOMPARE(
        StatusLines(dialog),
        (QStringList{Line(server_.Url("/"), "接続開始"), Line(kHost, "コネクション確立"),
                     Line(kHost, "からのドキュメント取得成功"),
                     Line(server_.Url("/two.html"), "接続開始"), Line(kHost, "コネクション確立"),
                     Line(kHost, "からのドキュメント取得成功")}));
  }

  // The day's articles read as articles: the sites side by side, a list of the sites being read
  // below the status list (empty once all are read), and the dialog closes by itself.
  void theDaysArticlesReadTheSitesSideBySideWithALiveListBelow() {
    ScriptedServer other(testing::ServePages({{"/", Page("<p>Another site.</p>")}}));
    TWordGetDialog dialog(nullptr, kQuick);
    dialog.SetSiteList({server_.Url("/"), other.Url("/")});
    dialog.SetLinkOptions(LinkOptions{.ArticleText = true, .FollowArticles = true});
    QListWidget* live = dialog.findChild<QListWidget*>("LiveSitesBox");
    QVERIFY(live != nullptr);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(live->count(), 0);
    QCOMPARE(dialog.SiteArticles().size(), std::size_t{2});
    const QStringList lines = StatusLines(dialog);
    QVERIFY(lines.contains(Line(server_.Url("/"), "の記事を0件取得")));
    QVERIFY(lines.contains(Line(other.Url("/"), "の記事を0件取得")));
  }

  void theStatusListKeepsTheLatestLinesInOrderAndSelectsTheLast() {
    QListWidget list;
    for (int i = 0; i < 30; ++i) AppendStatusLines(list, {QString::number(i)}, 10);
    // 13 lines were cut to 10 at line 12, and again at lines 15, 18, ... 27: 28 and 29 came after.
    QCOMPARE(list.count(), 12);
    QCOMPARE(list.item(0)->text(), QStringLiteral("18"));
    QCOMPARE(list.item(11)->text(), QStringLiteral("29"));
    QCOMPARE(list.currentRow(), 11);
  }

  // A line wider than the list (the HTTPS-only line after a short first one) is read whole in
  // its tooltip.
  void aStatusLineWiderThanTheListIsReadWholeInItsTooltip() {
    TWordGetDialog dialog(nullptr, {});
    auto* list = dialog.findChild<QListWidget*>("StatusListBox");
    const QString wide = QStringLiteral(
        "www.example.comはHTTPSでのみ公開されています（設定→オプションで取得できます）");
    AppendStatusLines(*list, {QStringLiteral("http://a.example/接続開始"), wide}, 10);
    dialog.show();
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &help);
    QCOMPARE(QToolTip::text(), wide);
    QToolTip::hideText();
  }

  void theTimerTicksDuringASlowFetchAndCancelEndsTheGathering() {
    TWordGetDialog dialog(nullptr, {.tickMs = 5, .watchdogMs = 60000, .clientTimeOutMs = 60000});
    dialog.SetSiteList({server_.Url("/drip.html"), server_.Url("/")});
    // Cancel once the timer has ticked three times inside the fetch of the dripping page.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
      if (dialog.Crawl().State() == CrawlState::kFetching && dialog.Crawl().AnimationCounter() >= 3)
        dialog.findChild<QPushButton*>("CancelButton")->click();
    });
    watcher.start(1);
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));

    // The page in progress is handled once with what had arrived; nothing further starts.
    QCOMPARE(StatusLines(dialog).last(), Line(kHost, "からのドキュメント取得成功"));
    QVERIFY(!StatusLines(dialog).contains(Line(server_.Url("/"), "接続開始")));
    QCOMPARE(dialog.Crawl().FetchCount(), 1);
  }

  void aSilentServerIsCutOffByTheWatchdog() {
    TWordGetDialog dialog(nullptr, kQuick);
    dialog.SetSiteList({server_.Url("/silent.html"), server_.Url("/two.html")});
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(
        StatusLines(dialog),
        (QStringList{Line(server_.Url("/silent.html"), "接続開始"), Line(kHost, "コネクション確立"),
                     Line(kHost, "タイムアウト"), Line(server_.Url("/two.html"), "接続開始"),
                     Line(kHost, "コネクション確立"), Line(kHost, "からのドキュメント取得成功")}));
  }

  void aRunShowsTheMostFrequentWordsAndTheFigures() {
    Session& session = LoadedSession({server_.Url("/")});
    TMainForm form(session, {});
    form.CreateStudyWindows();
    form.SetGatheringIntervals(kQuick);
    form.ExecuteButtonClick();

    QCOMPARE(Rows(form), (QStringList{"ship 3", "cat 2", "came 1", "run 1"}));
    // THE twice and A once of the 13 words are known.
    QCOMPARE(Panels(form), (QStringList{"取得データサイズ:0KB", "集計前単語数:13", "集計後単語数:9",
                                        "既知語率:23.1%"}));
    QCOMPARE(form.findChild<QLabel*>("WordLabel0")->toolTip(),
             QStringLiteral("ここをクリックすると[ship]を含むセンテンスを表示します"));

    // A word's sentences, also those holding an inflected form.
    Click(form.findChild<QLabel*>("WordLabel0"));
    QCOMPARE(form.SentenceDialog()->windowTitle(), QStringLiteral("[ship]を含むセンテンス"));
    QCOMPARE(form.SentenceDialog()->findChild<QPlainTextEdit*>("Memo")->toPlainText(),
             QStringLiteral("[from 127.0.0.1]\nA ship came.\nShips sail.\nThe ship sank.\n\n"));

    // A ticked word is gone from the next run's rows, though still counted; at exit a
    // ticked word goes to the NG-word list in upper case.
    form.findChild<QCheckBox*>("KnownWordCheck1")->setChecked(true);
    form.ExecuteButtonClick();
    QCOMPARE(Rows(form), (QStringList{"ship 3", "came 1", "run 1", "sail 1"}));
    QCOMPARE(Panels(form).mid(2), (QStringList{"集計後単語数:9", "既知語率:38.5%"}));
    QVERIFY(session.Stores().ngWords.contains("CAT"));
    form.findChild<QCheckBox*>("KnownWordCheck3")->setChecked(true);
    form.PrepareForExit();
    QVERIFY(session.Stores().ngWords.contains("SAIL"));
  }

  // A first press with the designed settings against a site whose home page names its feed:
  // the ten newest of its twelve articles are read, and their sentences give the words.
  void aFirstPressReadsTheTenNewestArticlesOfTheFeedTheHomePageNames() {
    const char* numbers[] = {"one",   "two",   "three", "four", "five",   "six",
                             "seven", "eight", "nine",  "ten",  "eleven", "twelve"};
    std::string port;
    ScriptedServer site([&](int, const std::string& request) {
      std::string items;
      for (int i = 0; i < 12; ++i) {
        items += "<item><link>http://127.0.0.1:" + port + "/story" + std::to_string(i) +
                 ".html</link><pubDate>Mon, 07 Dec 2026 " + (i < 10 ? "0" : "") +
                 std::to_string(i) + ":00:00 GMT</pubDate></item>";
      }
      if (request.starts_with("GET / ")) {
        return Page(
            "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" "
            "href=\"/feed.xml\"></head><body><p>Today.</p></body></html>");
      }
      if (request.starts_with("GET /feed.xml ")) {
        return Page("<rss version=\"2.0\"><channel>" + items + "</channel></rss>");
      }
      for (int i = 0; i < 12; ++i) {
        if (!request.starts_with("GET /story" + std::to_string(i) + ".html ")) continue;
        std::string body =
            "<html><body><article><h1>A walrus story of the day</h1><p>The walrus "
            "swam past the " +
            std::string(numbers[i]) + " towers.</p>";
        for (int n = 0; n < 4; ++n) {
          body +=
              "<p>Officials said the work would go on through the winter, and that the town "
              "would hear more about the plans at a meeting later in the week.</p>";
        }
        return Page(body + "</article></body></html>");
      }
      return Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\n");
    });
    port = std::to_string(site.port());
    Session& session = LoadedSession({site.Url("/")});
    session.Stores().configuration.isLevel = false;
    TMainForm form(session, {});
    form.CreateStudyWindows();
    form.SetGatheringIntervals(kQuick);
    form.ExecuteButtonClick();

    // WALRUS, SWAM, PAST and TOWERS once in each article read; the page's filler once.
    const QStringList rows = Rows(form);
    const qsizetype walrus = rows.indexOf(QStringLiteral("walrus 10"));
    QVERIFY2(walrus >= 0, qPrintable(rows.join(", ")));
    Click(form.findChild<QLabel*>(QStringLiteral("WordLabel%1").arg(walrus)));
    const QString memo = form.SentenceDialog()->findChild<QPlainTextEdit*>("Memo")->toPlainText();
    QVERIFY2(memo.contains(QStringLiteral("The walrus swam past the twelve towers")),
             qPrintable(memo));
    QVERIFY2(!memo.contains(QStringLiteral("the two towers")), qPrintable(memo));
    QCOMPARE(session.Stores().articlesRead,
             (std::map<std::string, std::int32_t>{{site.Url("/"), 10}}));
  }

  void theDictionaryAsksUntilToldNotToAndTheMenuChoiceStopsTheQuestion() {
    TMainForm form(LoadedSession({server_.Url("/")}), {});
    form.CreateStudyWindows();
    form.SetGatheringIntervals(kQuick);
    form.ExecuteButtonClick();
    std::vector<std::string> opened;
    TWebDicDialog* dictionary = form.WebDicDialog();
    dictionary->SetAddressOpener([&](const std::string& address) { opened.push_back(address); });
    auto* link = form.findChild<QLabel*>("DictionaryLink0");

    // Asks, the built-in dictionary preselected; then asks again.
    QStringList asked;
    const auto answer = [&](const char* choose, bool noMoreQuestions) {
      testing::WhenModalShown<TWebDicDialog>(
          [&asked, choose, noMoreQuestions](TWebDicDialog& dialog) {
            auto* box = dialog.findChild<QCheckBox*>("NoQueryCheck");
            for (const char* name : {"GooCheck", "LycosCheck", "RNNCheck", "BuiltInCheck"}) {
              if (dialog.findChild<QRadioButton*>(name)->isChecked()) asked << name;
            }
            asked << (box->isVisible() ? "box shown" : "box hidden");
            if (choose) dialog.findChild<QRadioButton*>(choose)->setChecked(true);
            if (noMoreQuestions) box->setChecked(true);
            dialog.findChild<QPushButton*>("OKButton")->click();
          });
    };
    answer(nullptr, false);
    Click(link);
    // The built-in dictionary's meaning in a window of its own beside the main window; no
    // address is opened.
    TMeaningDialog* meaning = form.MeaningDialog();
    QVERIFY(meaning->isVisible());
    QVERIFY(!meaning->isModal());
    QCOMPARE(meaning->windowTitle(), QStringLiteral("[ship]の意味"));
    const auto* meaningMemo = meaning->findChild<QPlainTextEdit*>("Memo");
    QCOMPARE(meaningMemo->toPlainText(), QStringLiteral("ship\n船\n艦"));
    QCOMPARE(meaningMemo->document()->defaultFont(), meaningMemo->font());
    QVERIFY(!meaning->frameGeometry().intersects(form.frameGeometry()));
    QVERIFY(opened.empty());
    QCOMPARE(MeaningWindowText(Meaning{}), QStringLiteral("辞書に見つかりませんでした"));

    answer("RNNCheck", true);
    Click(link);
    Click(link);  // no question any more
    QCOMPARE(asked, (QStringList{"BuiltInCheck", "box shown", "BuiltInCheck", "box shown"}));
    QCOMPARE(opened, (std::vector<std::string>{
                         "http://www.rnnnews.jp/search/rnnseek.php?IDv1=ship&IDn1=keys1",
                         "http://www.rnnnews.jp/search/rnnseek.php?IDv1=ship&IDn1=keys1"}));

    // The menu's choice: the box is hidden while the dialog shows, and ticked afterwards.
    TWebDicDialog fresh(nullptr, [&](const std::string& address) { opened = {address}; });
    answer("GooCheck", false);
    fresh.MnuConfigSelectDicClick();
    fresh.OpenInWebDictionary("ship");
    QCOMPARE(asked.mid(4), (QStringList{"BuiltInCheck", "box hidden"}));
    QCOMPARE(opened, (std::vector<std::string>{
                         "http://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?MT=ship&sw=0"}));
  }

  // Seven digits beside a 21-letter word: the count is drawn whole, nothing overlaps, the rows
  // keep their pitch, the word and the link are Tab stops, and Return there looks the word up.
  void aCountOfMillionsIsDrawnWholeBesideALongWord() {
    QScrollArea scrollBox;
    std::string lookedUp;
    TWordListView view(
        &scrollBox, [](const std::string&) {},
        [&lookedUp](const std::string& caption) { lookedUp = caption; });
    std::set<std::string> ngWords;
    view.Rebuild({{"SHIP", 12}, {"INTERNATIONALIZATIONS", 1234567}}, ngWords, 1);
    const auto* page = scrollBox.widget();
    for (int r = 0; r < 2; ++r) {
      const auto* word = page->findChild<QLabel*>(QStringLiteral("WordLabel%1").arg(r));
      const auto* count = page->findChild<QLabel*>(QStringLiteral("CountLabel%1").arg(r));
      auto* link = page->findChild<QLabel*>(QStringLiteral("DictionaryLink%1").arg(r));
      QCOMPARE(word->y(), r * 30);
      QVERIFY(word->geometry().right() < count->x());
      QVERIFY(word->fontMetrics().horizontalAdvance(word->text()) <= word->width());
      QVERIFY(count->fontMetrics().horizontalAdvance(count->text()) <= count->width());
      QVERIFY(count->geometry().right() < link->x());
      for (const QLabel* tabStop : {word, static_cast<const QLabel*>(link)}) {
        QVERIFY(tabStop->findChild<QWidget*>()->focusPolicy() & Qt::TabFocus);
      }
    }
    QVERIFY(page->width() <= 555);  // as wide as designed: no horizontal scroll bar in the window
    const auto* longCount = page->findChild<QLabel*>("CountLabel0");
    QCOMPARE(longCount->text(), QStringLiteral("1234567"));
    QTest::keyClick(page->findChild<QLabel*>("DictionaryLink0")->findChild<QWidget*>(),
                    Qt::Key_Return);
    QCOMPARE(lookedUp, std::string("internationalizations"));
  }

  void weblioIsAFourthChoiceBelowTheOthers() {
    std::vector<std::string> opened;
    TWebDicDialog dialog(nullptr, [&](const std::string& address) { opened.push_back(address); });
    const auto* rnn = dialog.findChild<QRadioButton*>("RNNCheck");
    const auto* weblio = dialog.findChild<QRadioButton*>("WeblioCheck");
    QCOMPARE(weblio->text(), QStringLiteral("Weblio英和辞典"));
    QCOMPARE(weblio->parentWidget(), rnn->parentWidget());
    QCOMPARE(weblio->y(), rnn->y() + 24);
    QVERIFY(weblio->parentWidget()->geometry().bottom() <
            dialog.findChild<QPushButton*>("OKButton")->y());
    // The built-in dictionary below them all, preselected.
    const auto* builtIn = dialog.findChild<QRadioButton*>("BuiltInCheck");
    QCOMPARE(builtIn->text(), QStringLiteral("内蔵英和辞書（オフライン）"));
    QCOMPARE(builtIn->y(), weblio->y() + 24);
    QVERIFY(builtIn->parentWidget()->geometry().bottom() <
            dialog.findChild<QPushButton*>("OKButton")->y());
    QVERIFY(builtIn->isChecked());
    testing::WhenModalShown<TWebDicDialog>([](TWebDicDialog& shown) {
      shown.findChild<QRadioButton*>("WeblioCheck")->setChecked(true);
      shown.findChild<QPushButton*>("OKButton")->click();
    });
    dialog.OpenInWebDictionary("ship");
    QCOMPARE(opened, std::vector<std::string>{"https://ejje.weblio.jp/content/ship"});
  }

  // The option reaches the crawl and the client: an https site is gathered. The test
  // authority is trusted as the system's roots are, through the variable OpenSSL reads.
  void anHttpsSiteIsGatheredWhenTheOptionIsOn() {
    ScriptedServer secure(testing::ServePages({{"/", Page("<p>Ships sail safely.</p>")}}));
    secure.UseTls(testing::TestTlsFile("server.pem"));
    Session& session = LoadedSession({secure.Url("/")});
    session.Stores().configuration.fetchHttps = true;
    qputenv("SSL_CERT_FILE", QByteArray::fromStdString(testing::TestTlsFile("ca.pem")));
    TMainForm form(session, {});
    form.SetGatheringIntervals(kQuick);
    form.ExecuteButtonClick();
    qunsetenv("SSL_CERT_FILE");
    QCOMPARE(session.Stores().sentences, (SentenceStore{{kHost, {"Ships sail safely."}}}));
  }

  void aRunThatFetchesNothingLeavesNoRowsAndZeroFigures() {
    Session& session =
        LoadedSession({"http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/"});
    TMainForm form(session, {});
    form.SetGatheringIntervals(kQuick);
    form.ExecuteButtonClick();
    QCOMPARE(Rows(form), QStringList());
    QCOMPARE(Panels(form), (QStringList{"取得データサイズ:0KB", "集計前単語数:0", "集計後単語数:0",
                                        "既知語率:0.0%"}));
    QVERIFY(session.Stores().sentences.empty());
  }

  void theMenuAndTheCommandLineExportTheSameCardsForTheSameRun() {
    // One data directory for both programs, with the built-in lists; only the one local site
    // is visited (the built-in sites are not on this machine's network).
    QTemporaryDir data;
    QVERIFY(data.isValid());
    const std::string directory = data.path().toStdString() + "/";
    ReplaceFileAtomically(directory + "sites.txt", server_.Url("/") + "\r\n");
    QtStoreFiles files(QString::fromStdString(directory));
    Session session(files);
    IniSettingsFile settings(ConfigurationPath(directory));
    session.Load(settings);
    session.Stores().sites.Clear();
    session.Stores().sites.Add(server_.Url("/"));
    session.Stores().configuration.isLevel = true;
    TMainForm form(session, {});
    form.CreateStudyWindows();
    form.SetGatheringIntervals(kQuick);
    form.WebDicDialog()->findChild<QRadioButton*>("RNNCheck")->setChecked(true);
    form.ExecuteButtonClick();
    const QString fromMenu = data.filePath("menu.txt");
    testing::ChooseInSaveDialog(fromMenu);
    form.findChild<QAction*>("MnuExportWordCards")->trigger();

    QProcess cli;
    cli.start(QUILLMARK_CLI,
              {"--data-dir", data.path(), "export", "--sites", data.filePath("sites.txt"),
               "--follow-links", "--dictionary", "rnn", data.filePath("cli.txt")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray cards = testing::ReadAll(fromMenu);
    // SHIP and CAT are basic words the built-in NG-word list holds.
    QVERIFY2(cards.startsWith(QByteArray(kWordCardsHeader) +
                              "sail\t1\tShips <b>sail</b>.\t127.0.0.1\thttp://www.rnnnews.jp/"),
             cards.constData());
    QCOMPARE(testing::ReadAll(data.filePath("cli.txt")), cards);
  }

 private:
  Session& LoadedSession(const std::vector<std::string>& sites) {
    files_ = std::make_unique<testing::FakeStoreFiles>();
    files_->builtIns["NGWORDS"] = "\r\nTHE\r\nA\r\n";
    files_->builtIns["MAPPING_DIC"] = "CATS CAT\r\nRAN RUN\r\nSHIPS SHIP";
    files_->builtIns["EJDICT"] = "run\t走る / 運営する\nship\t船 / 艦\n";
    std::string hosts;
    for (const auto& site : sites) hosts += site + "\r\n";
    files_->files["hosts.dat"] = hosts;
    testing::FakeSettingsFile settings;
    settings.values["config/ItemViewCount"] = "3";
    settings.values["link/IsLevel"] = "1";
    session_ = std::make_unique<Session>(*files_);
    session_->Load(settings);
    // The two further built-in sites are not on this machine's network.
    session_->Stores().sites.Clear();
    for (const auto& site : sites) session_->Stores().sites.Add(site);
    return *session_;
  }

  static QStringList Rows(const TMainForm& form) {
    QStringList rows;
    for (int r = 0;; ++r) {
      auto* word = form.findChild<QLabel*>(QStringLiteral("WordLabel%1").arg(r));
      if (word == nullptr) return rows;
      rows << word->text() + " " +
                  form.findChild<QLabel*>(QStringLiteral("CountLabel%1").arg(r))->text();
    }
  }

  static QStringList Panels(const TMainForm& form) {
    QStringList panels;
    for (int i = 0; i < 4; ++i)
      panels << form.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i))->text();
    return panels;
  }

  static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

  const std::string kHost = "127.0.0.1";
  const SentenceStore kSentences{
      {"127.0.0.1", {"A ship came", "Cats sleep", "Ships sail", "The cats ran", "The ship sank"}}};
  ScriptedServer server_{testing::ServePages({
      {"/", Page("<p>Ships sail. The ship sank. Cats sleep.</p><a href=\"two.html\">x</a>")},
      {"/two.html", Page("<p>A ship came. The cats ran.</p>")},
      {"/drip.html", Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n<p>Slow news. ")
                         .Drip(std::string(4000, 'z'), 1, 2ms)},
      {"/silent.html", Exchange::Reply("").EndWith(Exchange::Ending::kStall)},
  })};
  std::unique_ptr<testing::FakeStoreFiles> files_;
  std::unique_ptr<Session> session_;
};

extern const QMetaObject* const kGatheringTestMeta = &GatheringTest::staticMetaObject;

int RunGatheringTests(int argc, char** argv) {
  GatheringTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "gathering_test.moc"
