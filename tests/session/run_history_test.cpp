#include "session/run_history.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temporary_directory.h"

namespace quillmark {
namespace {

using testing::FileBytes;
using testing::WriteFileBytes;

HistoryRun RunAt(std::int64_t time, std::int32_t knownShareTenths) {
  return HistoryRun{
      .time = time,
      .sites = {"http://a.example/", "http://b.example/"},
      .figures = {.dataSize = 2048, .wordsBeforeAggregation = 300, .wordsAfterAggregation = 120},
      .knownShareTenths = knownShareTenths,
      .pagesFetched = 4};
}

void WriteVersioned(const std::string& path, const std::string& schema, int version) {
  sqlite3* database = nullptr;
  sqlite3_open(path.c_str(), &database);
  sqlite3_exec(database, (schema + "PRAGMA user_version=" + std::to_string(version)).c_str(),
               nullptr, nullptr, nullptr);
  sqlite3_close(database);
}

class RunHistoryTest : public ::testing::Test {
 protected:
  std::unique_ptr<SqliteRunHistory> History() {
    return std::make_unique<SqliteRunHistory>(
        path_, HistoryDirectory::kMustExist,
        [this](const std::string& message) { notices_.push_back(message); });
  }

  // Two runs: SHIP in both, ZORB only in the second.
  void WriteTwoRuns() {
    auto history = History();
    history->Append(RunAt(1000, 935), {{"SHIP", 3}, {"SEA", 1}});
    history->Append(RunAt(2000, 940), {{"SHIP", 5}, {"ZORB", 2}});
  }

  void ExpectTheTwoRuns() {
    auto history = History();
    const std::vector<HistoryRun> runs = history->Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].time, 2000);
    EXPECT_EQ(runs[1].sites, RunAt(0, 0).sites);
    EXPECT_EQ(runs[1].figures.dataSize, 2048u);
    EXPECT_EQ(runs[1].figures.wordsAfterAggregation, 120);
    EXPECT_EQ(runs[1].knownShareTenths, 940);
    EXPECT_EQ(runs[1].pagesFetched, 4);
    EXPECT_EQ(history->WordsOf(runs[1].id), (std::vector<WordCount>{{"SHIP", 5}, {"ZORB", 2}}));
    EXPECT_EQ(history->CountsOf("SHIP"),
              (std::map<std::int64_t, std::int32_t>{{runs[0].id, 3}, {runs[1].id, 5}}));
  }

  std::vector<std::string> WordsOfTrends() {
    std::vector<std::string> words;
    for (const TrendWord& word : TrendsOfLastRun(*History(), {}).newWords)
      words.push_back(word.word);
    return words;
  }

  testing::TemporaryDirectory directory_;
  std::string path_ = RunHistoryPath(directory_.Path());
  std::vector<std::string> notices_;
};

// The empty word (the fold's count of what it dropped) is no word of the run.
TEST(RecordOfRun, KeepsTheRankedWordsButTheEmptyOne) {
  const RecordedRun record =
      RecordOfRun(1000, {"http://a.example/"}, {}, {{"", 5}, {"SHIP", 3}, {"THE", 1}}, {"THE"}, 2);
  EXPECT_EQ(record.words, (std::vector<WordCount>{{"SHIP", 3}, {"THE", 1}}));
  EXPECT_EQ(record.run.knownShareTenths, 250);  // THE: 1 of the 4 words
}

TEST_F(RunHistoryTest, KeepsEveryRunWithItsWordsAcrossOpenings) {
  WriteTwoRuns();
  ExpectTheTwoRuns();
  EXPECT_EQ(WordsOfTrends(), std::vector<std::string>{"ZORB"});
  EXPECT_TRUE(notices_.empty());
}

TEST_F(RunHistoryTest, RunsComeInTheOrderTheyWereWrittenWhateverTheClockSaid) {
  WriteTwoRuns();
  History()->Append(RunAt(500, 950), {{"SEA", 2}});  // the clock was set back since
  std::vector<std::int64_t> times;
  for (const HistoryRun& run : History()->Runs()) times.push_back(run.time);
  EXPECT_EQ(times, (std::vector<std::int64_t>{1000, 2000, 500}));
}

TEST_F(RunHistoryTest, ReadingAMissingHistoryMakesNoFile) {
  EXPECT_TRUE(History()->Runs().empty());
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// The program is killed inside the write, after the run's row and before its words.
TEST_F(RunHistoryTest, AWriteKilledBetweenTheTablesLeavesTheEarlierRunsIntact) {
  WriteTwoRuns();
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    auto history = History();
    history->SetFaultBetweenTables([] { ::raise(SIGKILL); });
    history->Append(RunAt(3000, 950), {{"ECLIPSE", 9}});
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ExpectTheTwoRuns();
  EXPECT_TRUE(History()->CountsOf("ECLIPSE").empty());
  History()->Append(RunAt(4000, 960), {{"ECLIPSE", 9}});  // and the history goes on
  EXPECT_EQ(History()->Runs().size(), 3u);
}

// A write that fails part-way by an error is undone, and the same open history takes the next.
TEST_F(RunHistoryTest, AWriteFailedPartWayLeavesNoTraceAndTheNextGoesThrough) {
  WriteTwoRuns();
  auto history = History();
  history->SetFaultBetweenTables([] { throw std::runtime_error("the disk is full"); });
  EXPECT_THROW(history->Append(RunAt(3000, 950), {{"ECLIPSE", 9}}), std::runtime_error);
  history->SetFaultBetweenTables({});
  history->Append(RunAt(4000, 960), {{"SHIP", 1}});
  EXPECT_EQ(history->Runs().size(), 3u);
  EXPECT_TRUE(history->CountsOf("ECLIPSE").empty());

  // So do a run's articles: the one refused takes the one before it along.
  sqlite3* other = nullptr;
  sqlite3_open(path_.c_str(), &other);
  sqlite3_exec(other,
               "CREATE TRIGGER refuse BEFORE INSERT ON articles WHEN NEW.address = 'http://bad/'"
               " BEGIN SELECT RAISE(ABORT, 'refused'); END",
               nullptr, nullptr, nullptr);
  sqlite3_close(other);
  const auto article = [](const char* address) {
    CountedArticle counted;
    counted.article.address = address;
    return counted;
  };
  EXPECT_THROW(
      history->KeepArticles(3, 4000, {article("http://good/"), article("http://bad/")}, 30),
      HistoryError);
  history->KeepArticles(3, 4000, {article("http://next/")}, 30);
  const std::vector<ArticleEntry> kept = history->ArticlesSince(0);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].address, "http://next/");
}

TEST_F(RunHistoryTest, AFileItCannotUseIsSetAsideAndANewHistoryStarted) {
  struct Case {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::string setAsideAs;
  };
  sqlite3* other = nullptr;  // another program's connection, open while the history is set aside
  const std::vector<Case> cases = {
      {"not a database",
       [](const std::string& path) {
         WriteFileBytes(path, std::string(4096, 'x'));
         WriteFileBytes(path + ".damaged", "an earlier one");
       },
       ".damaged.2"},
      {"a database damaged inside (its table of tables overwritten)",
       [](const std::string& path) {
         sqlite3* database = nullptr;
         sqlite3_open(path.c_str(), &database);
         sqlite3_exec(database, "PRAGMA page_size=4096; CREATE TABLE runs(x)", nullptr, nullptr,
                      nullptr);
         sqlite3_close(database);
         std::string bytes = FileBytes(path);
         bytes.replace(100, 4096 - 100, 4096 - 100, 'x');
         WriteFileBytes(path, bytes);
       },
       ".damaged"},
      {"a newer schema",
       [](const std::string& path) {
         sqlite3* database = nullptr;
         sqlite3_open(path.c_str(), &database);
         sqlite3_exec(database, "CREATE TABLE later(x); PRAGMA user_version=99", nullptr, nullptr,
                      nullptr);
         sqlite3_close(database);
       },
       ".newer"},
      {"a newer schema in WAL mode, held open by another program",
       [&other](const std::string& path) {
         sqlite3_open(path.c_str(), &other);
         sqlite3_exec(other,
                      "PRAGMA journal_mode=WAL; CREATE TABLE later(x); PRAGMA user_version=99",
                      nullptr, nullptr, nullptr);
       },
       ".newer"},
      // Another program's database, or a version no step leads from: never migrated.
      {"a version below 0", [](const std::string& path) { WriteVersioned(path, "", -1); },
       ".damaged"},
      {"a version below 0 with our tables",
       [](const std::string& path) {
         WriteVersioned(
             path, "CREATE TABLE runs(x); CREATE TABLE words(x); CREATE TABLE run_words(x);", -1);
       },
       ".damaged"},
      {"another program's tables",
       [](const std::string& path) { WriteVersioned(path, "CREATE TABLE notes(x);", 0); },
       ".damaged"},
      {"version 1 without our tables",
       [](const std::string& path) { WriteVersioned(path, "CREATE TABLE runs(x);", 1); },
       ".damaged"},
  };
  for (const Case& c : cases) {
    testing::TemporaryDirectory directory;
    path_ = RunHistoryPath(directory.Path());
    notices_.clear();
    c.make(path_);
    const std::string before = FileBytes(path_);
    const bool journal = std::filesystem::exists(path_ + "-wal");

    WriteTwoRuns();
    EXPECT_EQ(History()->Runs().size(), 2u) << c.name;
    EXPECT_EQ(FileBytes(path_ + c.setAsideAs), before) << c.name;
    ASSERT_EQ(notices_.size(), 1u) << c.name;
    EXPECT_NE(notices_[0].find(path_ + c.setAsideAs + " に移し"), std::string::npos) << notices_[0];
    // Its journal goes with it: replayed into the new file it would bring the old one back.
    EXPECT_EQ(std::filesystem::exists(path_ + c.setAsideAs + "-wal"), journal) << c.name;
    sqlite3_close(other);
    other = nullptr;
  }
}

// The window closes the history before the data files are saved: nothing of the journal may
// stay to take their room, and the next run opens it again.
TEST_F(RunHistoryTest, ClosingFoldsTheJournalInAndRemovesIt) {
  auto history = History();
  history->Append(RunAt(1000, 935), {{"SHIP", 3}});
  ASSERT_TRUE(std::filesystem::exists(path_ + "-wal"));
  history->Close();
  EXPECT_FALSE(std::filesystem::exists(path_ + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(path_ + "-shm"));
  history->Append(RunAt(2000, 940), {{"SHIP", 5}});
  EXPECT_EQ(history->Runs().size(), 2u);
}

TEST_F(RunHistoryTest, AHistoryThatCannotBeOpenedIsOneErrorAndNothingIsSetAside) {
  std::filesystem::create_directory(path_);  // stands for a file this user may not write
  EXPECT_THROW(History()->Append(RunAt(1000, 0), {{"SHIP", 1}}), HistoryError);
  EXPECT_TRUE(std::filesystem::is_directory(path_));
  EXPECT_TRUE(notices_.empty());
}

}  // namespace
}  // namespace quillmark
