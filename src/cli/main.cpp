// quillmark-cli: the gathering run and the study tools from a terminal, over the same session,
// crawl, aggregation and report as the window program.

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <functional>
#include <iostream>
#include <random>
#include <thread>

#include "article/article_extractor.h"
#include "article/sentence_split.h"
#include "cli/article_command.h"
#include "cli/capped_input.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_version.h"
#include "cli/define_command.h"
#include "cli/history_commands.h"
#include "cli/level_command.h"
#include "cli/reading_commands.h"
#include "cli/run_result.h"
#include "gather/gathering_crawl.h"
#include "gather/page_scanner.h"
#include "gather/sites_side_by_side.h"
#include "session/atomic_file.h"
#include "session/data_directory.h"
#include "session/directory_lock.h"
#include "session/hidden_words.h"
#include "session/kept_articles.h"
#include "session/line_file.h"
#include "session/qt_store_files.h"
#include "session/session.h"
#include "session/word_inflections.h"
#include "study/html_report.h"
#include "study/sentence_finder.h"
#include "study/word_cards.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

constexpr int kExitNothing = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

constexpr const char* kOutOfMemoryPrefix = "quillmark-cli: ";
constexpr const char* kDroppedPageSuffix = ": out of memory, the page is dropped\n";

// A page whose reading failed for another reason: named with the failure, and skipped.
std::string UnreadablePageMessage(const std::string& path, const char* why) {
  return std::string(kOutOfMemoryPrefix) + path + ": the page could not be read (" + why +
         "), it is dropped\n";
}

volatile std::sig_atomic_t interrupted = 0;

extern "C" void NoteInterrupt(int) { interrupted = 1; }

// The crawl's status lines on standard error, "[n/total] " in front; on a terminal they scroll
// above one progress line that is rewritten in place.
class TerminalView : public CrawlView {
 public:
  TerminalView() : terminal_(::isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

  void Watch(const GatheringCrawl& crawl) { crawl_ = &crawl; }
  void Watch(const SitesSideBySide& press) { press_ = &press; }

  void SetLabel(const std::string&) override {}

  void AddStatusLine(const std::string& text) override {
    if (text.ends_with("からのドキュメント取得成功")) ++pages_;
    std::string line = Counter() + " " + PrintableStatusLine(text) + "\n";
    if (terminal_) line = "\r\033[K" + line + ProgressLine();
    std::fputs(line.c_str(), stderr);
  }

  // The progress line again, at most every tenth of a second (the elapsed time moves on).
  void Refresh() {
    if (!terminal_ || Clock::now() - lastRefresh_ < std::chrono::milliseconds(100)) return;
    std::fputs(("\r\033[K" + ProgressLine()).c_str(), stderr);
  }

  void Finish() {
    if (terminal_) std::fputs("\r\033[K", stderr);
  }

 private:
  using Clock = std::chrono::steady_clock;

  std::string Counter() const {
    if (crawl_ == nullptr && press_ == nullptr) return "[0/0]";
    // Built by appending: GCC 12 at -O3 takes "[" + string for an overlapping copy.
    std::string counter(1, '[');
    counter.append(std::to_string(crawl_ ? crawl_->FetchCount() : press_->FetchCount()));
    counter.append(1, '/');
    counter.append(std::to_string(crawl_ ? crawl_->URLList().size() : press_->URLCount()));
    counter.append(1, ']');
    return counter;
  }

  std::string ProgressLine() {
    lastRefresh_ = Clock::now();
    std::size_t bytes = 0;
    if (crawl_ != nullptr) {
      for (const auto& [host, sentences] : crawl_->Sentences())
        for (const auto& sentence : sentences) bytes += sentence.size();
    }
    if (press_ != nullptr) bytes = press_->SentenceBytes();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", static_cast<double>(elapsed) / 1000.0);
    return Counter() + " pages " + std::to_string(pages_) + ", " + std::to_string(bytes / 1024) +
           " KB, " + seconds;
  }

  bool terminal_;
  Clock::time_point start_;
  Clock::time_point lastRefresh_{};
  const GatheringCrawl* crawl_ = nullptr;
  const SitesSideBySide* press_ = nullptr;
  int pages_ = 0;
};

class CliProgram {
 public:
  explicit CliProgram(const CliOptions& options) : options_(options) {}

  int Run() {
    const DataDirectory data = ChosenDataDirectory();
    directory_ = data.path;
    if (options_.save && !TakeDirectoryLock(data)) return kExitNothing;
    createDirectory_ = data.createOnSave;
    files_ = std::make_unique<QtStoreFiles>(
        QString::fromStdString(directory_),
        data.createOnSave ? MissingDirectory::kCreate : MissingDirectory::kFail);
    session_ = std::make_unique<Session>(*files_);
    // Loading changes the current directory to LastSavedDirectory, for the window's save
    // dialog; the paths on this command line are relative to where the user stands.
    const QString here = QDir::currentPath();
    {
      IniSettingsFile settings(ConfigurationPath(directory_));
      // Without the lock a temporary there may be another program's save in progress.
      session_->Load(settings, options_.save ? Leftovers::kRemove : Leftovers::kKeep);
    }
    QDir::setCurrent(here);

    switch (options_.command) {
      case CliCommand::kGather:
      case CliCommand::kExport:
        return Gather();
      case CliCommand::kWords:
        return Words();
      case CliCommand::kArticle:
        return Article();
      case CliCommand::kFind:
        return Find();
      case CliCommand::kDefine:
        return Define();
      case CliCommand::kHistory:
        return PrintHistory(History(), options_.format);
      case CliCommand::kTrends:
        return PrintTrends(History(), session_->KnownWords(), options_.days,
                           options_.top.value_or(kDefaultTrendsTop), options_.format);
      case CliCommand::kArticles:
        return PrintArticles(History(), *session_, options_.articleDays, options_.format);
      case CliCommand::kRead:
        return PrintReading(History(), *session_, options_.article, options_.articleDays,
                            options_.format);
      case CliCommand::kLevel:
        return Level();
    }
    return kExitUsage;
  }

 private:
  // --data-dir as given, else the window program's choice.
  DataDirectory ChosenDataDirectory() const {
    if (!options_.dataDirectory)
      return DataDirectoryAtStartUp((QCoreApplication::applicationDirPath() + "/").toStdString());
    std::string directory = *options_.dataDirectory;
    if (!directory.ends_with('/')) directory += '/';
    return {directory, false};
  }

  // With --save the run holds the data directory from before its load until after its save,
  // so that no other program saves in between and has its save overwritten by this one.
  // Returns false, having said so, when another program kept it for the whole wait.
  bool TakeDirectoryLock(const DataDirectory& data) {
    if (data.createOnSave) CreateMissingDirectories(data.path);
    const std::string seconds = std::to_string(options_.lockWaitSeconds);
    const std::string inUse = "quillmark-cli: " + DirectoryInUseMessage(data.path);
    if (lock_.Take(data.path, std::chrono::seconds(options_.lockWaitSeconds),
                   [&] { Print(stderr, inUse + "。空くまで " + seconds + " 秒待っています\n"); }))
      return true;
    Print(stderr, "quillmark-cli: " + DirectoryInUseMessage(data.path, lock_.FailureReason()) +
                      "。何も保存せずに終わります\n");
    return false;
  }

  int Gather() {
    MainStores& stores = session_->Stores();
    const std::vector<std::string> sites =
        options_.sitesFile ? ReadLineFile(ReadAsOnePage(*options_.sitesFile, std::cerr))
                           : stores.sites.Addresses();
    session_->BeginRun();

    const bool fetchHttps = options_.fetchHttps.value_or(stores.configuration.fetchHttps);
    const Configuration& configuration = stores.configuration;
    const std::int32_t articles = options_.articlesPerSite.value_or(
        configuration.followArticles ? configuration.articlesPerSite : 0);
    const LinkOptions linkOptions{
        .IsLevel = options_.followLinks.value_or(configuration.isLevel),
        .AllowedLevel = options_.depth.value_or(configuration.allowedLevel),
        .FetchHttps = fetchHttps,
        .ArticleText = ArticleText(),
        .FollowArticles = articles > 0,
        .ArticlesPerSite = articles > 0 ? articles : configuration.articlesPerSite};
    if (ReadsSitesSideBySide(linkOptions)) return GatherSideBySide(sites, linkOptions);

    PageFetch fetch;
    TerminalView view;
    GatheringCrawl crawl(fetch, view, SystemTickCount(), ProxySettingFromEnvironment());
    view.Watch(crawl);
    crawl.SetSiteList(sites);
    crawl.SetLinkOptions(linkOptions);
    if (fetchHttps) crawl.SetHttpsProxy(HttpsProxySettingFromEnvironment());
    std::signal(SIGINT, NoteInterrupt);
    crawl.SetReadingStop([] { return interrupted != 0; });  // a long parse ends at Ctrl-C too
    bool cancelled = false;
    CrawlRunner runner;
    runner.pump = [&] {
      if (interrupted && !cancelled) {
        cancelled = true;  // as Cancel: the page in progress is handled, nothing more starts
        crawl.Cancel();
      }
      view.Refresh();
    };
    // Waiting for the watchdog with nothing in flight: a tenth of a second between looks, not
    // two hundred wake-ups a second.
    runner.idle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); };
    RunCrawl(crawl, fetch, runner);
    view.Finish();
    stores.articlesRead = ArticlesReadBySite(crawl.SiteArticles());

    SentenceStore gathered = crawl.CopySentenceStore();
    const int status = options_.command == CliCommand::kExport ? ExportCards(std::move(gathered))
                                                               : Aggregate(std::move(gathered));
    if (options_.reportFile) LaterIfItFails([&] { WriteReport(*options_.reportFile, sites); });
    if (cancelled) {  // nothing is saved after an interrupt
      if (!failures_.empty()) Print(stderr, failures_ + "\n");
      return kExitInterrupted;
    }
    // The history after the data files and on its own: the data files are the learner's, the
    // history is derived, and its journal must not take the room they need on a full disk.
    return SaveThenReportFailures(status, [&] {
      RecordGatheringRun(History(), session_->Stores(), sites, crawl.FetchCount(),
                         std::time(nullptr), crawl.Articles());
    });
  }

  // The day's articles: the sites side by side (gather/sites_side_by_side.h), then the same
  // aggregation, report and history as the designed crawl.
  int GatherSideBySide(const std::vector<std::string>& sites, const LinkOptions& linkOptions) {
    MainStores& stores = session_->Stores();
    TerminalView view;
    SitesSideBySide press(view, SystemTickCount(), ProxySettingFromEnvironment());
    view.Watch(press);
    press.SetSiteList(sites);
    press.SetLinkOptions(linkOptions);
    press.SetSitesAtOnce(stores.configuration.sitesAtOnce);
    press.SetKeptArticleLookup([this](const std::string& address) -> std::optional<KeptArticle> {
      try {
        return History().ArticleAt(address);
      } catch (const std::exception&) {
        return std::nullopt;  // no history (yet): the article is fetched
      }
    });
    if (linkOptions.FetchHttps) press.SetHttpsProxy(HttpsProxySettingFromEnvironment());
    std::signal(SIGINT, NoteInterrupt);
    press.SetReadingStop([] { return interrupted != 0; });  // a long parse ends at Ctrl-C too
    bool cancelled = false;
    press.Run(SystemTickCount, [&] {
      if (interrupted && !cancelled) {
        cancelled = true;  // every transfer ends at once; what was read stays
        press.Cancel();
      }
      view.Refresh();
    });
    view.Finish();
    stores.articlesRead = ArticlesReadBySite(press.SiteArticles());

    SentenceStore gathered = press.CopySentenceStore();
    const int status = options_.command == CliCommand::kExport ? ExportCards(std::move(gathered))
                                                               : Aggregate(std::move(gathered));
    if (options_.reportFile) LaterIfItFails([&] { WriteReport(*options_.reportFile, sites); });
    if (cancelled) {
      if (!failures_.empty()) Print(stderr, failures_ + "\n");
      return kExitInterrupted;
    }
    return SaveThenReportFailures(status, [&] {
      RecordGatheringRun(History(), session_->Stores(), sites, press.FetchCount(),
                         std::time(nullptr), press.Articles());
    });
  }

  int Words() {
    SentenceStore store;
    for (const std::string& path : options_.files) {
      try {
        const std::string body = ReadAsOnePage(path, std::cerr);
        // Read as a gathering reads a fetched page of that size.
        std::optional<PageReading> article;
        if (ArticleText()) article = ReadPage(body, {});
        if (article) {
          AddArticleSentences(options_.host, SentencesOf(article->article.paragraphs), store);
        } else {
          AddPageSentences(options_.host, ScanPage(body, FollowAnchors::kNo).text, store);
        }
      } catch (const std::bad_alloc&) {
        std::cerr << kOutOfMemoryPrefix << path << kDroppedPageSuffix;  // the other files go on
      } catch (const FileError&) {
        throw;
      } catch (const std::exception& error) {
        Print(stderr, UnreadablePageMessage(path, error.what()));  // so do they after this
      }
    }
    session_->BeginRun();
    const int status = Aggregate(std::move(store));
    return SaveThenReportFailures(status);
  }

  int Article() {
    std::vector<FileArticle> pages;
    for (const std::string& path : options_.files) {
      const std::string body = ReadAsOnePage(path, std::cerr);
      std::optional<PageReading> page;
      try {
        page = ReadPage(body, {});
      } catch (const std::exception& error) {
        // One page that cannot be read costs that page only; the others are still printed.
        Print(stderr, UnreadablePageMessage(path, error.what()));
        continue;
      }
      if (!page) {
        Print(stderr, "quillmark-cli: " + path + ": 記事として読むには大きすぎます\n");
        continue;
      }
      pages.push_back({path, std::move(page->article)});
    }
    if (!Print(stdout, FormatArticles(pages, options_.sentences, options_.format)))
      return kExitNothing;
    // As grep: a page that gave no text is nothing found.
    const bool everyPageRead = std::all_of(pages.begin(), pages.end(), [](const FileArticle& page) {
      return !page.article.paragraphs.empty();
    });
    return pages.size() == options_.files.size() && everyPageRead ? 0 : kExitNothing;
  }

  // How a run's words are cut: as the article reading reads them when pages are read so.
  WordReading Reading() const {
    return ArticleText() ? WordReading::kArticle : WordReading::kDesigned;
  }

  // Whether pages are read as articles: --article / --whole-page, else ArticleText.
  bool ArticleText() const {
    return options_.articleText.value_or(session_->Stores().configuration.articleText);
  }

  int Find() {
    MainStores& stores = session_->Stores();
    // sum.dat's sentences under "History", or the file's in their place.
    SentenceStore store = std::move(stores.sentences);
    const std::string upperWord = UpperCaseAscii(options_.word);
    if (options_.sentencesFile) {
      // Only the lines that may hold a word deciding the search: no other can be found or
      // change what is looked for.
      store.clear();
      store["History"] = LinesThatMayHold(ReadWhole(*options_.sentencesFile),
                                          DecidingWords(upperWord, session_->Dictionary()));
    }
    // The word's entry of the index a run over these sentences would build, without the run.
    const InflectionIndex index =
        IndexEntryAfterRun(upperWord, store, stores.mappedWords, session_->Dictionary());
    std::string text = FindSentences(store, options_.word, index);
    // Without sum.dat's sentences of it (a run saved without them, sum.dat gone), the articles
    // the history keeps still hold the word. A history that is not there is not made.
    if (text == kNoSentenceFound && !options_.sentencesFile &&
        QFileInfo::exists(QString::fromStdString(RunHistoryPath(directory_)))) {
      AddKeptSentences(History(), store);
      text = FindSentences(
          store, options_.word,
          IndexEntryAfterRun(upperWord, store, stores.mappedWords, session_->Dictionary()));
    }
    // As grep does: the text is printed either way, the status says whether anything was found.
    const int status = text == kNoSentenceFound ? kExitNothing : 0;
    if (!text.ends_with('\n')) text += '\n';
    if (Print(stdout, text)) return status;
    Print(stderr, std::string(kOutputFailedMessage) + "\n");
    return kExitNothing;
  }

  int Define() {
    std::string out;
    std::string errors;
    const int status = DefineWords(*session_, options_.words, out, errors);
    Print(stderr, errors);
    if (Print(stdout, out)) return status;
    Print(stderr, std::string(kOutputFailedMessage) + "\n");
    return kExitNothing;
  }

  // `level`: --show prints the level kept, --set keeps one, else the check runs and its
  // estimate is printed (and kept with --save). Returns 1 when the input ended first.
  int Level() {
    std::int32_t& level = session_->Stores().configuration.vocabularyLevel;
    if (options_.showLevel) {
      return Print(stdout, std::to_string(level) + "\n") ? 0 : kExitNothing;
    }
    if (options_.setLevel) {
      level = *options_.setLevel;
      return SaveThenReportFailures(0);
    }
    VocabularyCheck check(session_->Ranks(), session_->MadeUpWords(), std::random_device{}());
    const std::optional<std::int32_t> estimate = RunLevelCheck(check, stdin, stdout, stderr);
    if (!estimate) {
      Print(stderr, "quillmark-cli: the check ended before its last word; nothing kept\n");
      return kExitNothing;
    }
    if (!Print(stdout, EstimateText(*estimate) + "\n")) AddFailure(kOutputFailedMessage);
    level = LevelOfEstimate(*estimate);
    return SaveThenReportFailures(0);
  }

  // Each word's meaning, as the cards and --meanings show it.
  CardMeaning Meanings() { return session_->RunWordMeanings(); }

  // Aggregates `gathered` as a run does and prints the result. Returns 1 when there was
  // nothing to count.
  int Aggregate(SentenceStore gathered) {
    MainStores& stores = session_->Stores();
    const std::size_t mappedBefore = stores.mappedWords.size();
    session_->AggregateGathered(std::move(gathered), Reading());
    RunResult result{stores.figures,
                     stores.ranking,
                     {stores.mappedWords.begin() + static_cast<std::ptrdiff_t>(mappedBefore),
                      stores.mappedWords.end()}};
    WordDetails details;
    if (options_.meanings) details.meaningOf = Meanings();
    details.hiddenWords = HiddenRowWords(stores, HideNames());
    const std::set<std::string> known = session_->KnownWords();
    if (options_.format == ResultFormat::kJson) {
      details.leftOut = session_->LeftOutOfRunShare();  // only json prints the known share
      details.classes =
          ClassifyWords(stores.ranking, known, stores.sentences, stores.inflectionIndex);
      if (options_.forms)
        details.forms = CountFoldedForms(stores.sentences, stores.inflectionIndex);
    }
    const std::int32_t top = options_.top.value_or(stores.configuration.itemViewCount + 1);
    const std::string out =
        FormatRunResult(result, known, top, options_.all, options_.format, details);
    if (!Print(stdout, out)) AddFailure(kOutputFailedMessage);
    return stores.sentences.empty() ? kExitNothing : 0;
  }

  // Aggregates `gathered` as a run does and writes the cards the window's menu writes after
  // the same run. Returns 1 when there was nothing to count (the empty file is still written).
  int ExportCards(SentenceStore gathered) {
    MainStores& stores = session_->Stores();
    session_->AggregateGathered(std::move(gathered), Reading());
    std::set<std::string> notShown = WordsNotShown(stores, HideNames());
    notShown.merge(session_->KnownWords());
    const std::string cards =
        WriteWordCards(stores.ranking, notShown, stores.configuration.itemViewCount,
                       options_.all ? CardWords::kAllRanked : CardWords::kShown, stores.sentences,
                       stores.inflectionIndex, options_.dictionary, Meanings());
    if (options_.cardsFile == "-") {
      if (!Print(stdout, cards)) AddFailure(kOutputFailedMessage);
    } else {
      LaterIfItFails([&] { SaveAsReport(options_.cardsFile, cards); });
    }
    return stores.sentences.empty() ? kExitNothing : 0;
  }

  // --hide-names, else the configuration's HideNames.
  bool HideNames() const {
    return options_.hideNames.value_or(session_->Stores().configuration.hideNames);
  }

  // The report the window's menu writes, listing the sites this run searched.
  void WriteReport(const std::string& path, const std::vector<std::string>& sites) {
    MainStores& stores = session_->Stores();
    SaveAsReport(path,
                 WriteHtmlReport(stores.figures, stores.ranking, session_->KnownWords(),
                                 stores.configuration.itemViewCount, sites, stores.articlesRead));
  }

  // Replaces `path` (relative to where the user stands) with `bytes` as the window's save
  // dialog does, so that its directory becomes LastSavedDirectory with --save.
  // A FIFO, a device or "-" (standard output) is written as it is (WriteNamedOutput) and
  // changes no directory.
  void SaveAsReport(const std::string& path, const std::string& bytes) {
    const std::string absolute =
        path == "-" ? path
                    : QDir::current().absoluteFilePath(QString::fromStdString(path)).toStdString();
    if (WriteNamedOutput(absolute, bytes) == NamedOutput::kReplaced)
      session_->SetReportPath(absolute);
  }

  // A result, report or card file that cannot be written must not cost the learner the run's
  // data files: its failure is kept and said after the save.
  template <typename Step>
  void LaterIfItFails(Step step) {
    try {
      step();
    } catch (const FileError& error) {
      AddFailure(FileErrorLine(error));
    }
  }

  void AddFailure(const std::string& message) {
    if (!failures_.empty()) failures_ += '\n';
    failures_ += message;
  }

  // The data files first (with --save), then `afterSave` (with --save), then every failure
  // kept until now and the save's own; returns `status`, or 1 when anything failed.
  int SaveThenReportFailures(int status, const std::function<void()>& afterSave = {}) {
    if (options_.save) {
      LaterIfItFails([&] {
        IniSettingsFile settings(ConfigurationPath(directory_));
        session_->Save(settings);
      });
      if (afterSave) afterSave();
    }
    if (failures_.empty()) return status;
    Print(stderr, failures_ + "\n");
    return kExitNothing;
  }

  // history.sqlite3 beside the data files, opened on first use; a file set aside is said on
  // standard error.
  RunHistory& History() {
    if (!history_) {
      history_ = std::make_unique<SqliteRunHistory>(
          RunHistoryPath(directory_),
          createDirectory_ ? HistoryDirectory::kCreate : HistoryDirectory::kMustExist,
          [](const std::string& message) { Print(stderr, message + "\n"); });
    }
    return *history_;
  }

  const CliOptions& options_;
  DirectoryLock lock_;
  std::string directory_;  // of the data files, with its trailing '/'
  bool createDirectory_ = false;
  std::unique_ptr<SqliteRunHistory> history_;
  std::unique_ptr<QtStoreFiles> files_;
  std::unique_ptr<Session> session_;
  std::string failures_;  // said after the save, one message a line
};

}  // namespace
}  // namespace quillmark

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  using namespace quillmark;
  // Standard output closed early (`| head -1`) must not end the run before its save: the
  // write fails instead, and is reported after the save.
  std::signal(SIGPIPE, SIG_IGN);
  CliOptions options;
  try {
    options = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    Print(stderr, "quillmark-cli: " + error.message + "\n" + kCliUsage);
    return kExitUsage;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? std::string(kCliUsage) : CliVersionLine());
    return std::cout.flush() ? 0 : kExitNothing;
  }
  try {
    return CliProgram(options).Run();
  } catch (const FileError& error) {
    Print(stderr, FileErrorLine(error) + "\n");
    return kExitNothing;
  } catch (const HistoryError& error) {
    Print(stderr, HistoryErrorLine(error) + "\n");
    return kExitNothing;
  } catch (const std::exception& error) {
    Print(stderr, std::string(error.what()) + "\n");
    return kExitNothing;
  }
}
