// Saving the HTML report through the main window's menu, into a temporary directory, and
// reading a written report in a real browser.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/main_form.h"
#include "app_test_support.h"
#include "study/html_report.h"
#include "study/word_cards.h"

namespace quillmark {

using testing::ChooseInSaveDialog;
using testing::InMemorySession;
using testing::ReadAll;
using testing::WhenModalShown;

namespace {

QByteArray ReportOf(const MainStores& stores) {
  return QByteArray::fromStdString(WriteHtmlReport(stores.figures, stores.ranking, stores.ngWords,
                                                   stores.configuration.itemViewCount,
                                                   stores.sites.Addresses()));
}

}  // namespace

class ReportSavingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    memory_ = std::make_unique<InMemorySession>();
    MainStores& stores = memory_->session.Stores();
    stores.ranking = {{"", 40}, {"NEWS", 5}, {"SHIP", 9}};
    stores.figures = {1234, 56, 7};
    form_ = std::make_unique<TMainForm>(memory_->session, QStringList{},
                                        [this](QWidget*, const QString& text) { shown_ << text; });
    shown_.clear();
  }
  void cleanup() {
    QCOMPARE(QApplication::overrideCursor(), nullptr);  // the hourglass is always taken off
    form_.reset();
    memory_.reset();
    dir_.reset();
  }

  void SavingTwiceReplacesTheFileAndRemembersItsName() {
    const QString reports = dir_->filePath("reports");
    QVERIFY(QDir().mkdir(reports));
    memory_->session.Stores().configuration.lastSavedDirectory = reports.toStdString();
    QString openedIn;
    WhenModalShown<QFileDialog>([&openedIn](QFileDialog& dialog) {
      openedIn = dialog.directory().absolutePath();
      dialog.selectFile("report");             // the default extension is added
      static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, as the Save button
    });
    SaveToHtml();
    const QString path = reports + "/report.html";
    QCOMPARE(openedIn, reports);
    QCOMPARE(ReadAll(path), ReportOf(memory_->session.Stores()));

    memory_->session.Stores().figures.dataSize = 99;
    ChooseInSaveDialog(path);
    SaveToHtml();
    QCOMPARE(ReadAll(path), ReportOf(memory_->session.Stores()));
    QVERIFY(ReadAll(path).contains("99"));
    QCOMPARE(QDir(reports).entryList(QDir::Files), QStringList{"report.html"});
    QCOMPARE(memory_->session.ReportPath(), path.toStdString());
    QCOMPARE(shown_, QStringList());
  }

  void WordCardsAreWrittenInTheSelectedDictionaryAndCancelWritesNothing() {
    form_->CreateStudyWindows();
    form_->WebDicDialog()->findChild<QRadioButton*>("GooCheck")->setChecked(true);
    MainStores& stores = memory_->session.Stores();
    stores.sentences = {{"news.example", {"The ships sank"}}};
    stores.inflectionIndex = {{"SHIP", {"SHIPS"}}};
    ChooseInSaveDialog(dir_->filePath("cards"));  // the default extension is added
    ExportWordCards();
    const QString path = dir_->filePath("cards.txt");
    QCOMPARE(ReadAll(path),
             QByteArray::fromStdString(WriteWordCards(
                 stores.ranking, stores.ngWords, stores.configuration.itemViewCount,
                 CardWords::kShown, stores.sentences, stores.inflectionIndex, WebDictionary::kGoo,
                 [](const std::string& word) { return word == "ship" ? "船 / 艦" : ""; })));
    QVERIFY(ReadAll(path).startsWith(QByteArray(kWordCardsHeader) +
                                     "ship\t9\tThe <b>ships</b> sank\tnews.example\t"
                                     "http://dictionary.goo.ne.jp/"));
    QCOMPARE(memory_->session.ReportPath(), path.toStdString());

    WhenModalShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    ExportWordCards();
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"cards.txt"});
    // The shared dialog offers the report's extension again for the report.
    ChooseInSaveDialog(dir_->filePath("report"));
    SaveToHtml();
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), (QStringList{"cards.txt", "report.html"}));
    QCOMPARE(shown_, QStringList());
  }

  void CancelWritesNothingAndAMissingDirectoryIsAskedAgain() {
    const QString missing = dir_->filePath("missing");
    WhenModalShown<QFileDialog>([this](QFileDialog& dialog) {
      // The dialog shown again is cancelled.
      WhenModalShown<QFileDialog>([](QFileDialog& again) { again.reject(); });
      dialog.setDirectory(dir_->path());
      dialog.selectFile("missing/r.html");
      static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, as the Save button
    });
    SaveToHtml();
    QCOMPARE(shown_, QStringList{QStringLiteral("フォルダ %1 は存在しません").arg(missing)});
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(memory_->session.ReportPath(), std::string());
  }

  void AFileThatCannotBeWrittenIsShownAndTheNameStillRemembered() {
    // A link to a file where nobody can create one, root included: the write itself fails.
    const QString path = dir_->filePath("report.html");
    QVERIFY(QFile::link(QStringLiteral("/proc/version"), path));
    ChooseInSaveDialog(path);
    SaveToHtml();
    QCOMPARE(shown_, QStringList{QStringLiteral("ファイル %1 を作成できません").arg(path)});
    QCOMPARE(memory_->session.ReportPath(), path.toStdString());
  }

  void ABrowserReadsTheReportAsShiftJis() {
    const QString chromium = QStringLiteral("/usr/bin/chromium");
    if (!QFile::exists(chromium)) QSKIP("Chromium is not installed");
    MainStores& stores = memory_->session.Stores();
    stores.sites.Clear();
    stores.sites.Add("http://news.example/?a=1&b=2");
    const QString path = dir_->filePath("report.html");
    ChooseInSaveDialog(path);
    SaveToHtml();

    QProcess browser;
    browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                             "--disable-background-networking", "--disable-component-update",
                             "--disable-sync", "--user-data-dir=" + dir_->filePath("profile"),
                             "--dump-dom", QUrl::fromLocalFile(path).toString()});
    QVERIFY(browser.waitForFinished(120000));
    // What the browser made of the file, as UTF-8: the Japanese texts read right only when it
    // took the file for Shift-JIS by itself.
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    const QString link = QStringLiteral(
        "<td><a href=\"http://dic.lycos.co.jp/pej/list.html?query=%1&amp;encoding=shift-jis\">"
        "webライコスディクショナリ</a></td>");
    for (const QString& expected :
         {QStringLiteral("集計対象データ:1234バイト<br>集計対象語数:56語<br>集計後語数:7語<br>"),
          "<tr><td>SHIP</td><td>9</td>" + link.arg("SHIP"),
          "<tr><td>NEWS</td><td>5</td>" + link.arg("NEWS"), QStringLiteral("探索対象サイト<br>"),
          QStringLiteral("<a href=\"http://news.example/?a=1&amp;b=2\">")})
      QVERIFY2(dom.contains(expected), qPrintable(expected + " not in:\n" + dom));
    QCOMPARE(dom.count(QStringLiteral("<tr>")), 2);
  }

 private:
  void SaveToHtml() { form_->findChild<QAction*>("MnuSaveToHTML")->trigger(); }
  void ExportWordCards() { form_->findChild<QAction*>("MnuExportWordCards")->trigger(); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<InMemorySession> memory_;
  std::unique_ptr<TMainForm> form_;
  QStringList shown_;
};

}  // namespace quillmark

extern const QMetaObject* const kReportSavingTestMeta =
    &quillmark::ReportSavingTest::staticMetaObject;

int RunReportSavingTests(int argc, char** argv) {
  quillmark::ReportSavingTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "report_saving_test.moc"
