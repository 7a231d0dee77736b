// The kept articles with the built-in lists, offscreen. Goals: an article of 3,000 words laid
// out and its words marked in the reading window at most 50 ms; a tick of a word that occurs
// 50 times unmarking them all at most 16 ms (one frame); the articles table of 600 rows (30
// days of 20 articles) at most 50 ms; the history with those 30 days at most 30 MB (the
// counter file_MB of BM_KeepTwentyArticlesOfARun).
//
// The articles are made up: sentences of 15 words, 19 in 20 drawn from the built-in list of
// known words and the rest made-up words, so about 95 % of the words are known as in a
// learner's news.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <random>

#include "app/articles_window.h"
#include "app/reading_window.h"
#include "session/ini_file.h"
#include "session/kept_articles.h"
#include "session/qt_store_files.h"
#include "session/session.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr int kWordsPerSentence = 15;
constexpr int kSentencesPerParagraph = 4;
constexpr std::int64_t kFirstDay = 1'796'000'000;
constexpr std::int64_t kDay = 86'400;

QApplication& Application() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "bench_articles";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  return application;
}

// A session over an empty data directory: the built-in lists only.
struct BuiltInSession {
  BuiltInSession() : files(directory.path() + "/"), session(files) {
    IniSettingsFile settings(ConfigurationPath(directory.path().toStdString() + "/"));
    session.Load(settings);
    session.Dictionary();
    for (const std::string& word : session.Stores().ngWords)
      if (word.size() > 1) known.push_back(LowerCaseAscii(word));
  }
  QTemporaryDir directory;
  QtStoreFiles files;
  Session session;
  std::vector<std::string> known;
};

BuiltInSession& Built() {
  Application();
  static BuiltInSession built;
  return built;
}

// An article of `words` words; `repeated` occurs `repeats` times among them.
KeptArticle MadeUpArticle(int words, std::mt19937& random, const std::string& repeated = {},
                          int repeats = 0) {
  const std::vector<std::string>& known = Built().known;
  std::uniform_int_distribution<std::size_t> pick(0, known.size() - 1);
  std::uniform_int_distribution<int> unknown(0, 19);
  std::uniform_int_distribution<int> letter(0, 25);
  KeptArticle article{"news.example",
                      "http://news.example/" + std::to_string(random()),
                      "A made-up article",
                      "2026-12-07",
                      {}};
  std::string paragraph;
  const int every = repeats > 0 ? words / repeats : words + 1;
  for (int i = 0; i < words; ++i) {
    std::string word;
    if (i % every == every - 1) {
      word = repeated;
    } else if (unknown(random) == 0) {
      for (int j = 0; j < 7; ++j) word += static_cast<char>('a' + letter(random));
    } else {
      word = known[pick(random)];
    }
    paragraph += word;
    if (i % kWordsPerSentence == kWordsPerSentence - 1) {
      paragraph += ".";
      if (i % (kWordsPerSentence * kSentencesPerParagraph) ==
          kWordsPerSentence * kSentencesPerParagraph - 1) {
        article.paragraphs.push_back(paragraph);
        paragraph.clear();
        continue;
      }
    }
    paragraph += ' ';
  }
  if (!paragraph.empty()) article.paragraphs.push_back(paragraph + ".");
  return article;
}

void BM_OpenArticleOf3000Words(benchmark::State& state) {
  std::mt19937 random(1);
  const KeptArticle article = MadeUpArticle(3000, random);
  TReadingWindow window(
      Built().session, [](const std::string&) {}, {}, nullptr);
  for (auto _ : state) {
    window.ShowArticle(article, {});
    QCoreApplication::processEvents();  // laid out and drawn
  }
}
BENCHMARK(BM_OpenArticleOf3000Words)->Unit(benchmark::kMillisecond);

// Each iteration ticks the word and withdraws the tick: two ticks, each re-marking 50 places.
void BM_TickAndUntickAWordOf50Occurrences(benchmark::State& state) {
  std::mt19937 random(2);
  const KeptArticle article = MadeUpArticle(3000, random, "zorbulent", 50);
  TReadingWindow window(
      Built().session, [](const std::string&) {}, {}, nullptr);
  window.ShowArticle(article, {});
  QCoreApplication::processEvents();
  window.ShowWord("zorbulent");
  for (auto _ : state) {
    window.SetKnown(true);
    QCoreApplication::processEvents();
    window.SetKnown(false);
    QCoreApplication::processEvents();
  }
  state.counters["occurrences"] = window.MarkedOccurrencesOf("ZORBULENT").second;
}
BENCHMARK(BM_TickAndUntickAWordOf50Occurrences)->Unit(benchmark::kMillisecond);

double FileMegabytes(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? static_cast<double>(status.st_size) / 1e6 : 0;
}

// 30 days of 20 articles of `words` words, kept as the runs keep them.
std::string ThirtyDaysOfArticles(const QTemporaryDir& directory, int words) {
  const std::string path = RunHistoryPath(directory.path().toStdString() + "/");
  SqliteRunHistory history(path, HistoryDirectory::kMustExist, {});
  std::mt19937 random(3);
  Session& session = Built().session;
  for (int day = 0; day < 30; ++day) {
    const std::int64_t time = kFirstDay + day * kDay;
    const std::int64_t runId = history.Append(
        HistoryRun{.time = time, .sites = {"http://news.example/"}, .figures = {}}, {});
    std::vector<KeptArticle> articles;
    for (int i = 0; i < 20; ++i) articles.push_back(MadeUpArticle(words, random));
    KeepArticlesOfRun(history, runId, time, articles, session.Stores().mappedWords,
                      session.Dictionary(), 30);
  }
  return path;
}

void BM_ArticlesTableOf600Rows(benchmark::State& state) {
  QTemporaryDir directory;
  const std::string path = ThirtyDaysOfArticles(directory, 800);
  SqliteRunHistory history(path, HistoryDirectory::kMustExist, {});
  TArticlesWindow window(
      history, Built().session.Stores().ngWords, [](const std::string&) {},
      [](QWidget*, const QString&) {}, nullptr);
  window.show();
  window.findChild<QComboBox*>("ArticleScope")->setCurrentIndex(2);  // the last 30 days
  for (auto _ : state) {
    window.Refresh();
    QCoreApplication::processEvents();
  }
  state.counters["rows"] = window.findChild<QTableWidget*>("ArticlesTable")->rowCount();
}
BENCHMARK(BM_ArticlesTableOf600Rows)->Unit(benchmark::kMillisecond);

// The table's rows without the window: the history read and every standing computed.
void BM_ArticleRowsOf600(benchmark::State& state) {
  QTemporaryDir directory;
  const std::string path = ThirtyDaysOfArticles(directory, 800);
  SqliteRunHistory history(path, HistoryDirectory::kMustExist, {});
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        RowsMostReadableFirst(ListedArticles(history, 30), Built().session.Stores().ngWords));
  }
}
BENCHMARK(BM_ArticleRowsOf600)->Unit(benchmark::kMillisecond);

// The end of a run that read 20 articles of `words` words into a history of 30 such days;
// file_MB is that history's size.
void BM_KeepTwentyArticlesOfARun(benchmark::State& state) {
  const int words = static_cast<int>(state.range(0));
  QTemporaryDir directory;
  const std::string path = ThirtyDaysOfArticles(directory, words);
  const double megabytes = FileMegabytes(path) + FileMegabytes(path + "-wal");
  SqliteRunHistory history(path, HistoryDirectory::kMustExist, {});
  std::mt19937 random(4);
  std::vector<KeptArticle> articles;
  for (int i = 0; i < 20; ++i) articles.push_back(MadeUpArticle(words, random));
  Session& session = Built().session;
  std::int64_t day = 30;
  for (auto _ : state) {
    const std::int64_t time = kFirstDay + day++ * kDay;
    const std::int64_t runId = history.Append(
        HistoryRun{.time = time, .sites = {"http://news.example/"}, .figures = {}}, {});
    KeepArticlesOfRun(history, runId, time, articles, session.Stores().mappedWords,
                      session.Dictionary(), 30);
  }
  state.counters["file_MB"] = megabytes;
}
BENCHMARK(BM_KeepTwentyArticlesOfARun)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmark
