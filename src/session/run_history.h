#pragma once
// The run history: every gathering run kept, one row per run and one per ranked word of it,
// so the trends (study/news_trends.h) can compare a run with the days before it.
//
// `RunHistory` is the small interface the windows, the command line and the tests use;
// `SqliteRunHistory` keeps it in `history.sqlite3` beside the data files (the sqlite3 C
// library, WAL journal, the schema's version in `PRAGMA user_version`). The file is opened on
// first use, never at start-up, and written at the end of a run, independently of the data
// files: a history that cannot be written costs that run's history and nothing else. It is
// closed before the data files are saved (the window), or written after them (the command
// line), so that its journal never takes the room the data files need.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "study/article_words.h"
#include "study/kept_article.h"
#include "study/news_trends.h"
#include "text/word_types.h"

struct sqlite3;

namespace quillmark {

// The history cannot be read or written; the message is the one shown to the user (UTF-8).
class HistoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  HistoryError(const std::string& message, std::string path, int systemError)
      : std::runtime_error(message), path_(std::move(path)), systemError_(systemError) {}

  // The history's file, and the errno of the system call that failed on it (0 when unknown).
  const std::string& Path() const { return path_; }
  int SystemError() const { return systemError_; }

 private:
  std::string path_;
  int systemError_ = 0;
};

// An article to keep, with its words as counted when its run ended (ArticleWordCounter).
struct CountedArticle {
  KeptArticle article;
  std::vector<WordCount> words;
};

class RunHistory {
 public:
  virtual ~RunHistory() = default;

  // Adds `run` (its id is ignored) and its ranked `words` all together or not at all; returns
  // the run's id. Throws HistoryError, the history then holds what it held before.
  virtual std::int64_t Append(const HistoryRun& run, const std::vector<WordCount>& words) = 0;

  // Every run, oldest first (by id). Throws HistoryError.
  virtual std::vector<HistoryRun> Runs() = 0;

  // The ranked words of run `runId` (none for an unknown id). Throws HistoryError.
  virtual std::vector<WordCount> WordsOf(std::int64_t runId) = 0;

  // The counts of `word` (upper case) by run id, in the runs that ranked it. Throws
  // HistoryError.
  virtual std::map<std::int64_t, std::int32_t> CountsOf(const std::string& word) = 0;

  // Keeps `articles` as read by run `runId`, which ended at `time`: one row per address, a
  // later read replacing the earlier one (the last of equal addresses in `articles` wins);
  // then removes every article whose run ended more than `keepDays` days (of 86,400 s)
  // before `time`, so those of this run always stay. All or nothing. Throws HistoryError.
  // A history without articles keeps none.
  virtual void KeepArticles(std::int64_t runId, std::int64_t time,
                            const std::vector<CountedArticle>& articles, std::int32_t keepDays) {
    (void)runId, (void)time, (void)articles, (void)keepDays;
  }

  // Append and KeepArticles (with the run's time) all together or not at all: a run is never
  // recorded without its articles. Throws HistoryError, the history then holds what it held
  // before.
  virtual std::int64_t AppendWithArticles(const HistoryRun& run,
                                          const std::vector<WordCount>& words,
                                          const std::vector<CountedArticle>& articles,
                                          std::int32_t keepDays) {
    const std::int64_t runId = Append(run, words);
    KeepArticles(runId, run.time, articles, keepDays);
    return runId;
  }

  // The kept articles whose run ended at `fromTime` or later, without their text, in the
  // order they were kept. Throws HistoryError.
  virtual std::vector<ArticleEntry> ArticlesSince(std::int64_t fromTime) {
    (void)fromTime;
    return {};
  }

  // ArticlesSince one entry at a time: `visit` is handed each in turn, and only that one is
  // held. Throws HistoryError.
  virtual void VisitArticlesSince(std::int64_t fromTime,
                                  const std::function<void(ArticleEntry&)>& visit) {
    for (ArticleEntry& entry : ArticlesSince(fromTime)) visit(entry);
  }

  // The article kept for `address`, with its text; none when no article has it. Throws
  // HistoryError.
  virtual std::optional<KeptArticle> ArticleAt(const std::string& address) {
    (void)address;
    return std::nullopt;
  }
};

// The history row of a run that has just been aggregated: `figures`, the known share of
// `ranking` against `ngWords` (after the word rows took the ticked words) and the ranked words
// but the empty one.
struct RecordedRun {
  HistoryRun run;
  std::vector<WordCount> words;
};
RecordedRun RecordOfRun(std::int64_t time, const std::vector<std::string>& sites,
                        const RunFigures& figures, const RankedWordList& ranking,
                        const std::set<std::string>& ngWords, std::int32_t pagesFetched);

// The trends of the last run of `history` against the runs of the `options.days` days before
// it; empty trends for an empty history. Throws HistoryError.
NewsTrends TrendsOfLastRun(RunHistory& history, const std::set<std::string>& knownWords,
                           const TrendOptions& options = {});

// Whether a missing directory of the history may be made (the user's data directory) or
// must not (a directory the user typed).
enum class HistoryDirectory { kMustExist, kCreate };

class SqliteRunHistory : public RunHistory {
 public:
  // What a history file that cannot be used was renamed to, told to the user.
  using Notice = std::function<void(const std::string& message)>;

  static constexpr int kSchemaVersion = 2;
  static constexpr const char* kFileName = "history.sqlite3";

  // `path` is the history file; nothing is opened here. A file found not to be a database (or
  // another program's: a version below 0, tables not ours), or written by a newer schema, is
  // renamed to "<path>.damaged" or "<path>.newer" (".2", ".3"... after it when taken),
  // `notice` is told once, and a new history is started.
  SqliteRunHistory(std::string path, HistoryDirectory directory, Notice notice);
  ~SqliteRunHistory() override;

  std::int64_t Append(const HistoryRun& run, const std::vector<WordCount>& words) override;
  std::vector<HistoryRun> Runs() override;
  std::vector<WordCount> WordsOf(std::int64_t runId) override;
  std::map<std::int64_t, std::int32_t> CountsOf(const std::string& word) override;
  void KeepArticles(std::int64_t runId, std::int64_t time,
                    const std::vector<CountedArticle>& articles, std::int32_t keepDays) override;
  std::int64_t AppendWithArticles(const HistoryRun& run, const std::vector<WordCount>& words,
                                  const std::vector<CountedArticle>& articles,
                                  std::int32_t keepDays) override;
  std::vector<ArticleEntry> ArticlesSince(std::int64_t fromTime) override;
  void VisitArticlesSince(std::int64_t fromTime,
                          const std::function<void(ArticleEntry&)>& visit) override;
  std::optional<KeptArticle> ArticleAt(const std::string& address) override;

  // Closes the file: its journal is folded into it and removed, so that on a full disk the
  // journal takes no room the data files need. The next use opens it again.
  void Close();

  // For the tests: called inside Append's transaction after the run's row and before its
  // words, so a test can kill the program there.
  void SetFaultBetweenTables(std::function<void()> fault) {
    faultBetweenTables_ = std::move(fault);
  }

 private:
  sqlite3* Database();
  void Open();
  // The writes of Append and KeepArticles, inside a transaction the caller holds.
  std::int64_t AppendRows(sqlite3* database, const HistoryRun& run,
                          const std::vector<WordCount>& words);
  void KeepArticleRows(sqlite3* database, std::int64_t runId, std::int64_t time,
                       const std::vector<CountedArticle>& articles, std::int32_t keepDays);
  bool OpenAndMigrate();
  bool HoldsOwnTables(int version);
  void SetAside(const char* suffix, const char* reason);

  std::string path_;
  HistoryDirectory directory_;
  Notice notice_;
  std::function<void()> faultBetweenTables_;
  sqlite3* database_ = nullptr;
};

// "<directory>history.sqlite3"; `directory` ends with '/'.
std::string RunHistoryPath(const std::string& directory);

}  // namespace quillmark
