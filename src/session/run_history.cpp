#include "session/run_history.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <type_traits>

#include "session/data_directory.h"
#include "session/sqlite_functions.h"
#include "study/known_share.h"

namespace quillmark {
namespace {

// Each step brings the schema from the version before it to its own (step i makes version
// i + 1), inside the transaction that sets user_version: a change of the schema is one more
// step here, and a history written by an older program is brought up to date when opened.
constexpr const char* kMigrations[] = {
    // 1: runs, the words ever ranked (each text once), and each run's counts of them, kept in
    // the order of the runs so a run's write appends a few pages at the end. There is no index
    // by word: it would put each run's 3,000 words on 3,000 pages all over the file, and one
    // word's chart is a lookup per run instead (CountsOf).
    "CREATE TABLE runs(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, sites TEXT NOT NULL,"
    " data_size INTEGER NOT NULL, words_before INTEGER NOT NULL, words_after INTEGER NOT NULL,"
    " known_share_tenths INTEGER NOT NULL, pages_fetched INTEGER NOT NULL);"
    "CREATE TABLE words(id INTEGER PRIMARY KEY, word TEXT NOT NULL UNIQUE);"
    "CREATE TABLE run_words(run_id INTEGER NOT NULL, word_id INTEGER NOT NULL,"
    " count INTEGER NOT NULL, PRIMARY KEY(run_id, word_id)) WITHOUT ROWID;",
    // 2: the articles the runs read, one row per address, with the time of the run that read
    // it last (by which old ones go), its counted words as "WORD count" lines and its
    // paragraphs one a line: a table of a month's articles reads no text and counts nothing
    // (the words stand before the text, so a row is read no further than they reach).
    "CREATE TABLE articles(id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE,"
    " run_id INTEGER NOT NULL, time INTEGER NOT NULL, site TEXT NOT NULL, title TEXT NOT NULL,"
    " date TEXT NOT NULL, words TEXT NOT NULL, paragraphs TEXT NOT NULL);"
    "CREATE INDEX articles_by_time ON articles(time);",
};
static_assert(std::size(kMigrations) == SqliteRunHistory::kSchemaVersion);

// The tables of the first step: a file of version 1 or later without them, or a file of
// version 0 with any table, is another program's database, not a history to bring up to date.
constexpr const char* kFirstTables = "'runs', 'words', 'run_words'";
constexpr int kFirstTableCount = 3;

constexpr int kBusyTimeoutMs = 5000;  // the window and the command line may write at once

// The messages of the data files' kind, with the library's reason after them.
std::string HistoryOpenMessage(const std::string& path, const std::string& detail) {
  return "履歴ファイル " + path + " は開けません (" + detail + ")";
}
std::string HistoryWriteMessage(const std::string& path, const std::string& detail) {
  return "履歴ファイル " + path + " に書き込めません (" + detail + ")";
}
std::string HistoryReadMessage(const std::string& path, const std::string& detail) {
  return "履歴ファイル " + path + " は読めません (" + detail + ")";
}

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

bool IsDamaged(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// An error of the sqlite library, with its code so a damaged file can be told apart.
struct SqliteFailure {
  int code;
  std::string message;
  int systemError = 0;  // the errno behind it, when the file system failed
};

SqliteFailure FailureOf(sqlite3* database, int code) {
  if (database == nullptr) return {code, "out of memory", 0};
  return {code, Sqlite().sqlite3_errmsg(database), Sqlite().sqlite3_system_errno(database)};
}

void Check(sqlite3* database, int code) {
  if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
    throw FailureOf(database, code);
}

void Execute(sqlite3* database, const char* sql) {
  Check(database, Sqlite().sqlite3_exec(database, sql, nullptr, nullptr, nullptr));
}

// One prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* database, const char* sql) : database_(database) {
    Check(database_, Sqlite().sqlite3_prepare_v2(database_, sql, -1, &statement_, nullptr));
  }
  ~Statement() { Sqlite().sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::int64_t value) {
    Check(database_, Sqlite().sqlite3_bind_int64(statement_, index, value));
    return *this;
  }
  Statement& Bind(int index, const std::string& text) {
    Check(database_, Sqlite().sqlite3_bind_text(statement_, index, text.data(),
                                                static_cast<int>(text.size()), SQLITE_STATIC));
    return *this;
  }
  // Whether a row came; false at the end.
  bool Step() {
    const int code = Sqlite().sqlite3_step(statement_);
    Check(database_, code);
    return code == SQLITE_ROW;
  }
  void Reset() {
    Sqlite().sqlite3_reset(statement_);
    Sqlite().sqlite3_clear_bindings(statement_);
  }
  std::int64_t Integer(int column) const {
    return Sqlite().sqlite3_column_int64(statement_, column);
  }
  std::string Text(int column) const {
    const auto* bytes = static_cast<const char*>(Sqlite().sqlite3_column_blob(statement_, column));
    return bytes == nullptr
               ? std::string()
               : std::string(bytes, static_cast<std::size_t>(
                                        Sqlite().sqlite3_column_bytes(statement_, column)));
  }

 private:
  sqlite3* database_;
  sqlite3_stmt* statement_ = nullptr;
};

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : "\n") + line;
  return joined;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// A paragraph's line breaks are only white space to a reader; each paragraph is one line.
std::string JoinedParagraphs(const std::vector<std::string>& paragraphs) {
  std::string joined;
  for (const std::string& paragraph : paragraphs) {
    if (!joined.empty()) joined += '\n';
    for (const char c : paragraph) joined += c == '\n' || c == '\r' ? ' ' : c;
  }
  return joined;
}

std::string WordLines(const std::vector<WordCount>& words) {
  std::string lines;
  for (const WordCount& word : words)
    lines.append(word.word).append(1, ' ').append(std::to_string(word.count)).append(1, '\n');
  return lines;
}

std::vector<WordCount> WordsOfLines(std::string_view lines) {
  std::vector<WordCount> words;
  words.reserve(static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')));
  while (!lines.empty()) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    const std::string_view line = lines.substr(0, end);
    const std::size_t space = line.rfind(' ');
    if (space != std::string_view::npos) {
      std::int32_t count = 0;
      for (const char digit : line.substr(space + 1)) count = count * 10 + (digit - '0');
      words.push_back({std::string(line.substr(0, space)), count});
    }
    lines.remove_prefix(std::min(end + 1, lines.size()));
  }
  return words;
}

constexpr std::int64_t kSecondsPerDay = 86'400;

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Runs `write` in one transaction: all of it, or on any error none of it (a failed write
// leaves the history as it was, and the connection ready for the next one).
template <typename Write>
auto InOneTransaction(sqlite3* database, Write write) -> decltype(write()) {
  Execute(database, "BEGIN IMMEDIATE");
  try {
    if constexpr (std::is_void_v<decltype(write())>) {
      write();
      Execute(database, "COMMIT");
    } else {
      auto result = write();
      Execute(database, "COMMIT");
      return result;
    }
  } catch (...) {
    Sqlite().sqlite3_exec(database, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace

std::string RunHistoryPath(const std::string& directory) {
  return directory + SqliteRunHistory::kFileName;
}

RecordedRun RecordOfRun(std::int64_t time, const std::vector<std::string>& sites,
                        const RunFigures& figures, const RankedWordList& ranking,
                        const std::set<std::string>& ngWords, std::int32_t pagesFetched) {
  RecordedRun record;
  record.run.time = time;
  record.run.sites = sites;
  record.run.figures = figures;
  record.run.knownShareTenths = KnownShareTenths(ranking, ngWords);
  record.run.pagesFetched = pagesFetched;
  record.words.reserve(ranking.size());
  for (const auto& [word, count] : ranking) {
    if (!word.empty()) record.words.push_back({word, count});
  }
  return record;
}

NewsTrends TrendsOfLastRun(RunHistory& history, const std::set<std::string>& knownWords,
                           const TrendOptions& options) {
  const std::vector<HistoryRun> runs = history.Runs();
  if (runs.empty()) return {};
  std::vector<std::vector<WordCount>> earlier;
  for (const HistoryRun& run : EarlierRunsInWindow(runs, runs.back(), options.days))
    earlier.push_back(history.WordsOf(run.id));
  return ComputeTrends(history.WordsOf(runs.back().id), earlier, knownWords, options);
}

SqliteRunHistory::SqliteRunHistory(std::string path, HistoryDirectory directory, Notice notice)
    : path_(std::move(path)), directory_(directory), notice_(std::move(notice)) {}

SqliteRunHistory::~SqliteRunHistory() { Close(); }

void SqliteRunHistory::Close() {
  if (database_ == nullptr) return;      // never opened: the library need not be loaded
  Sqlite().sqlite3_close_v2(database_);  // also checkpoints the journal into the file
  database_ = nullptr;
}

sqlite3* SqliteRunHistory::Database() {
  if (database_ == nullptr) Open();
  return database_;
}

void SqliteRunHistory::Open() {
  try {
    Sqlite();  // the library is loaded at the first opening, not with the program
  } catch (const std::runtime_error& error) {
    throw HistoryError(HistoryOpenMessage(path_, error.what()));
  }
  if (directory_ == HistoryDirectory::kCreate) CreateMissingDirectories(DirectoryOf(path_));
  // A file set aside is replaced by a new one, which cannot be set aside again.
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      if (OpenAndMigrate()) return;
    } catch (const SqliteFailure& failure) {
      Close();
      if (!IsDamaged(failure.code))
        throw HistoryError(HistoryOpenMessage(path_, failure.message), path_, failure.systemError);
      SetAside(".damaged", "データベースではない");
    }
  }
  throw HistoryError(HistoryOpenMessage(path_, "damaged again after a new start"));
}

// Opens the file and brings its schema up to date. Returns false after setting aside a file
// of a newer schema; throws SqliteFailure.
bool SqliteRunHistory::OpenAndMigrate() {
  const int code = Sqlite().sqlite3_open_v2(path_.c_str(), &database_,
                                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (code != SQLITE_OK) throw FailureOf(database_, code);
  Sqlite().sqlite3_busy_timeout(database_, kBusyTimeoutMs);
  int version = 0;
  {
    Statement userVersion(database_, "PRAGMA user_version");
    if (userVersion.Step()) version = static_cast<int>(userVersion.Integer(0));
  }
  if (version > kSchemaVersion) {
    Close();
    SetAside(".newer", "新しい版のQuillmarkが書いた");
    return false;
  }
  // A version below 0 would step outside the migrations.
  if (version < 0 || !HoldsOwnTables(version)) {
    Close();
    SetAside(".damaged", "Quillmarkの履歴ではない");
    return false;
  }
  // A history this user may only read still shows its trends; writing it fails at Append.
  if (version == kSchemaVersion && Sqlite().sqlite3_db_readonly(database_, "main") == 1)
    return true;
  // WAL: a program killed in the middle of a write leaves the file as the last commit left it.
  Execute(database_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL");
  if (version == kSchemaVersion) return true;
  InOneTransaction(database_, [&] {
    for (int step = version; step < kSchemaVersion; ++step) Execute(database_, kMigrations[step]);
    Execute(database_, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
  });
  return true;
}

bool SqliteRunHistory::HoldsOwnTables(int version) {
  Statement tables(database_,
                   (std::string("SELECT count(*), count(CASE WHEN name IN (") + kFirstTables +
                    ") THEN 1 END) FROM sqlite_master WHERE type = 'table'")
                       .c_str());
  tables.Step();
  const std::int64_t all = tables.Integer(0);
  const std::int64_t ours = tables.Integer(1);
  return version == 0 ? all == 0 : ours == kFirstTableCount;
}

void SqliteRunHistory::SetAside(const char* suffix, const char* reason) {
  std::string target = path_ + suffix;
  for (int number = 2; Exists(target); ++number)
    target = path_ + suffix + "." + std::to_string(number);
  if (std::rename(path_.c_str(), target.c_str()) != 0)
    throw HistoryError(HistoryOpenMessage(path_, "cannot rename it to " + target));
  // The journal of the old file must never be replayed into the new one.
  for (const char* journal : {"-wal", "-shm"}) {
    if (Exists(path_ + journal)) std::rename((path_ + journal).c_str(), (target + journal).c_str());
  }
  if (notice_)
    notice_("履歴ファイル " + path_ + " は" + reason + "ため " + target +
            " に移し、新しい履歴を始めました");
}

std::int64_t SqliteRunHistory::Append(const HistoryRun& run, const std::vector<WordCount>& words) {
  sqlite3* database = Database();
  try {
    return InOneTransaction(database, [&] { return AppendRows(database, run, words); });
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryWriteMessage(path_, failure.message));
  }
}

std::int64_t SqliteRunHistory::AppendWithArticles(const HistoryRun& run,
                                                  const std::vector<WordCount>& words,
                                                  const std::vector<CountedArticle>& articles,
                                                  std::int32_t keepDays) {
  sqlite3* database = Database();
  try {
    return InOneTransaction(database, [&] {
      const std::int64_t runId = AppendRows(database, run, words);
      KeepArticleRows(database, runId, run.time, articles, keepDays);
      return runId;
    });
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryWriteMessage(path_, failure.message));
  }
}

std::int64_t SqliteRunHistory::AppendRows(sqlite3* database, const HistoryRun& run,
                                          const std::vector<WordCount>& words) {
  Statement insertRun(database,
                      "INSERT INTO runs(time, sites, data_size, words_before, words_after,"
                      " known_share_tenths, pages_fetched) VALUES(?, ?, ?, ?, ?, ?, ?)");
  const std::string sites = JoinedLines(run.sites);  // bound, not copied, until the step
  insertRun.Bind(1, run.time)
      .Bind(2, sites)
      .Bind(3, std::int64_t{run.figures.dataSize})
      .Bind(4, std::int64_t{run.figures.wordsBeforeAggregation})
      .Bind(5, std::int64_t{run.figures.wordsAfterAggregation})
      .Bind(6, std::int64_t{run.knownShareTenths})
      .Bind(7, std::int64_t{run.pagesFetched})
      .Step();
  const std::int64_t runId = Sqlite().sqlite3_last_insert_rowid(database);
  if (faultBetweenTables_) faultBetweenTables_();

  Statement findWord(database, "SELECT id FROM words WHERE word = ?");
  Statement insertWord(database, "INSERT INTO words(word) VALUES(?)");
  Statement insertCount(database, "INSERT INTO run_words(run_id, word_id, count) VALUES(?, ?, ?)");
  for (const WordCount& word : words) {
    std::int64_t wordId = 0;
    if (findWord.Bind(1, word.word).Step()) {
      wordId = findWord.Integer(0);
    } else {
      insertWord.Bind(1, word.word).Step();
      insertWord.Reset();
      wordId = Sqlite().sqlite3_last_insert_rowid(database);
    }
    findWord.Reset();
    insertCount.Bind(1, runId).Bind(2, wordId).Bind(3, std::int64_t{word.count}).Step();
    insertCount.Reset();
  }
  return runId;
}

std::vector<HistoryRun> SqliteRunHistory::Runs() {
  std::vector<HistoryRun> runs;
  if (database_ == nullptr && !Exists(path_)) return runs;  // reading makes no file
  sqlite3* database = Database();
  try {
    Statement select(database,
                     "SELECT id, time, sites, data_size, words_before, words_after,"
                     " known_share_tenths, pages_fetched FROM runs ORDER BY id");
    while (select.Step()) {
      HistoryRun& run = runs.emplace_back();
      run.id = select.Integer(0);
      run.time = select.Integer(1);
      run.sites = SplitLines(select.Text(2));
      run.figures.dataSize = static_cast<std::uint32_t>(select.Integer(3));
      run.figures.wordsBeforeAggregation = static_cast<std::int32_t>(select.Integer(4));
      run.figures.wordsAfterAggregation = static_cast<std::int32_t>(select.Integer(5));
      run.knownShareTenths = static_cast<std::int32_t>(select.Integer(6));
      run.pagesFetched = static_cast<std::int32_t>(select.Integer(7));
    }
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryReadMessage(path_, failure.message));
  }
  return runs;
}

std::vector<WordCount> SqliteRunHistory::WordsOf(std::int64_t runId) {
  std::vector<WordCount> words;
  try {
    Statement select(Database(),
                     "SELECT w.word, r.count FROM run_words r JOIN words w ON w.id = r.word_id"
                     " WHERE r.run_id = ?");
    select.Bind(1, runId);
    while (select.Step())
      words.push_back({select.Text(0), static_cast<std::int32_t>(select.Integer(1))});
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryReadMessage(path_, failure.message));
  }
  return words;
}

std::map<std::int64_t, std::int32_t> SqliteRunHistory::CountsOf(const std::string& word) {
  std::map<std::int64_t, std::int32_t> counts;
  try {
    // CROSS JOIN keeps the runs as the outer loop: one primary-key lookup per run.
    Statement select(
        Database(),
        "SELECT r.run_id, r.count FROM words w CROSS JOIN runs u CROSS JOIN run_words r"
        " ON r.run_id = u.id AND r.word_id = w.id WHERE w.word = ?");
    select.Bind(1, word);
    while (select.Step()) counts[select.Integer(0)] = static_cast<std::int32_t>(select.Integer(1));
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryReadMessage(path_, failure.message));
  }
  return counts;
}

void SqliteRunHistory::KeepArticles(std::int64_t runId, std::int64_t time,
                                    const std::vector<CountedArticle>& articles,
                                    std::int32_t keepDays) {
  sqlite3* database = Database();
  try {
    InOneTransaction(database, [&] { KeepArticleRows(database, runId, time, articles, keepDays); });
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryWriteMessage(path_, failure.message));
  }
}

void SqliteRunHistory::KeepArticleRows(sqlite3* database, std::int64_t runId, std::int64_t time,
                                       const std::vector<CountedArticle>& articles,
                                       std::int32_t keepDays) {
  Statement insert(database,
                   "INSERT OR REPLACE INTO articles(address, run_id, time, site, title, date,"
                   " words, paragraphs) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
  for (const CountedArticle& counted : articles) {
    const KeptArticle& article = counted.article;
    const std::string paragraphs = JoinedParagraphs(article.paragraphs);
    const std::string words = WordLines(counted.words);
    insert.Bind(1, article.address)
        .Bind(2, runId)
        .Bind(3, time)
        .Bind(4, article.site)
        .Bind(5, article.title)
        .Bind(6, article.date)
        .Bind(7, words)
        .Bind(8, paragraphs)
        .Step();
    insert.Reset();
  }
  Statement remove(database, "DELETE FROM articles WHERE time < ?");
  remove.Bind(1, time - std::int64_t{std::max(keepDays, 0)} * kSecondsPerDay).Step();
}

std::vector<ArticleEntry> SqliteRunHistory::ArticlesSince(std::int64_t fromTime) {
  std::vector<ArticleEntry> entries;
  VisitArticlesSince(fromTime, [&](ArticleEntry& entry) { entries.push_back(std::move(entry)); });
  return entries;
}

void SqliteRunHistory::VisitArticlesSince(std::int64_t fromTime,
                                          const std::function<void(ArticleEntry&)>& visit) {
  if (database_ == nullptr && !Exists(path_)) return;  // reading makes no file
  try {
    Statement select(Database(),
                     "SELECT id, run_id, time, site, address, title, date, words FROM articles"
                     " WHERE time >= ? ORDER BY id");
    select.Bind(1, fromTime);
    while (select.Step()) {
      ArticleEntry entry;
      entry.id = select.Integer(0);
      entry.runId = select.Integer(1);
      entry.time = select.Integer(2);
      entry.site = select.Text(3);
      entry.address = select.Text(4);
      entry.title = select.Text(5);
      entry.date = select.Text(6);
      entry.words = WordsOfLines(select.Text(7));
      visit(entry);
    }
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryReadMessage(path_, failure.message));
  }
}

std::optional<KeptArticle> SqliteRunHistory::ArticleAt(const std::string& address) {
  if (database_ == nullptr && !Exists(path_)) return std::nullopt;
  try {
    Statement select(Database(),
                     "SELECT site, address, title, date, paragraphs FROM articles"
                     " WHERE address = ?");
    select.Bind(1, address);
    if (!select.Step()) return std::nullopt;
    return KeptArticle{.site = select.Text(0),
                       .address = select.Text(1),
                       .title = select.Text(2),
                       .date = select.Text(3),
                       .paragraphs = SplitLines(select.Text(4))};
  } catch (const SqliteFailure& failure) {
    throw HistoryError(HistoryReadMessage(path_, failure.message));
  }
}

}  // namespace quillmark
