#include "session/kept_articles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "article/sentence_split.h"
#include "session/run_aggregation.h"
#include "study/known_share.h"
#include "study/sentence_store.h"
#include "support/temporary_directory.h"

namespace quillmark {
namespace {

constexpr std::int64_t kDay = 86'400;
constexpr std::int64_t kFirstDay = 1'780'000'000;

KeptArticle ArticleAt(const std::string& address, const std::string& text) {
  return KeptArticle{.site = "news.example",
                     .address = address,
                     .title = "Title of " + address,
                     .date = "2026-12-07",
                     .paragraphs = {text, "A second\r\nparagraph."}};
}

HistoryRun RunAt(std::int64_t time) {
  return HistoryRun{.time = time, .sites = {"http://news.example/"}, .figures = {}};
}

class KeptArticlesTest : public ::testing::Test {
 protected:
  std::unique_ptr<SqliteRunHistory> History() {
    return std::make_unique<SqliteRunHistory>(path_, HistoryDirectory::kMustExist, nullptr);
  }

  // A run at `time` that read `addresses`, kept for `keepDays` days.
  void Run(std::int64_t time, const std::vector<std::string>& addresses,
           std::int32_t keepDays = 30) {
    auto history = History();
    const std::int64_t runId = history->Append(RunAt(time), {{"SHIP", 1}});
    std::vector<KeptArticle> articles;
    for (const std::string& address : addresses)
      articles.push_back(ArticleAt(address, "The ship sailed at " + address + "."));
    KeepArticlesOfRun(*history, runId, time, articles, {}, {}, keepDays);
  }

  std::vector<std::string> Addresses(std::int32_t days) {
    std::vector<std::string> addresses;
    for (const ArticleEntry& entry : ListedArticles(*History(), days))
      addresses.push_back(entry.address);
    return addresses;
  }

  testing::TemporaryDirectory directory_;
  std::string path_ = RunHistoryPath(directory_.Path());
};

TEST_F(KeptArticlesTest, KeepsTextAndWordsAcrossOpeningsOneRowPerAddress) {
  Run(kFirstDay, {"http://a/1", "http://a/2"});
  Run(kFirstDay + kDay, {"http://a/2", "http://a/3"});  // a/2 read again: replaced, now of run 2
  const std::optional<KeptArticle> article = History()->ArticleAt("http://a/2");
  ASSERT_TRUE(article);
  EXPECT_EQ(article->site, "news.example");
  EXPECT_EQ(article->title, "Title of http://a/2");
  EXPECT_EQ(article->date, "2026-12-07");
  EXPECT_EQ(article->paragraphs,
            (std::vector<std::string>{"The ship sailed at http://a/2.",
                                      "A second  paragraph."}));  // a paragraph is one line
  EXPECT_FALSE(History()->ArticleAt("http://a/9"));
  EXPECT_EQ(Addresses(0), (std::vector<std::string>{"http://a/2", "http://a/3"}));
  EXPECT_EQ(Addresses(1), (std::vector<std::string>{"http://a/1", "http://a/2", "http://a/3"}));
  const std::vector<ArticleEntry> entries = History()->ArticlesSince(0);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].words,
            (std::vector<WordCount>{{"A", 2},  // the address's "a" between slashes too
                                    {"AT", 1},
                                    {"HTTP", 1},  // its digits are no word
                                    {"PARAGRAPH", 1},
                                    {"SAILED", 1},
                                    {"SECOND", 1},
                                    {"SHIP", 1},
                                    {"THE", 1}}));
  // A clock set back: the last run is the last written, not the latest in time.
  Run(kFirstDay, {"http://a/4"});
  EXPECT_EQ(Addresses(0), std::vector<std::string>{"http://a/4"});
}

// A run and its articles are one write: an article refused takes its run along. And what is
// kept of an article is bounded: whole paragraphs within 64 KB (a first one past it cut at a
// character) and its 2,000 most frequent words.
TEST_F(KeptArticlesTest, ARunIsRecordedWithItsBoundedArticlesOrNotAtAll) {
  Run(kFirstDay, {"http://a/1"});
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
  sqlite3_exec(other,
               "CREATE TRIGGER refuse BEFORE INSERT ON articles WHEN NEW.address = 'http://bad/'"
               " BEGIN SELECT RAISE(ABORT, 'refused'); END",
               nullptr, nullptr, nullptr);
  EXPECT_THROW(RecordRunWithArticles(*History(), RunAt(kFirstDay + kDay), {{"SHIP", 1}},
                                     {ArticleAt("http://bad/", "Refused.")}, {}, {}, 30),
               HistoryError);
  sqlite3_exec(other, "DROP TRIGGER refuse", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(History()->Runs().size(), 1u);

  std::string distinct;  // 3,000 words of letters, each once: "baaa baab ..."
  for (int i = 0; i < 3000; ++i) {
    distinct += {static_cast<char>('b' + i / 676), static_cast<char>('a' + i / 26 % 26),
                 static_cast<char>('a' + i % 26), ' '};
  }
  std::string twice;  // 70,000 bytes: one past the bound, its last character cut whole
  for (int i = 0; i < 35000; ++i) twice += "\xC3\xA9";
  KeptArticle wide = ArticleAt("http://a/wide", distinct);
  wide.paragraphs.push_back(std::string(kMaxKeptParagraphBytes, 'x'));  // past the bound: gone
  RecordRunWithArticles(*History(), RunAt(kFirstDay + kDay), {{"SHIP", 1}},
                        {wide, ArticleAt("http://a/long", "x" + twice)}, {}, {}, 30);
  EXPECT_EQ(History()->Runs().size(), 2u);
  const std::optional<KeptArticle> keptWide = History()->ArticleAt("http://a/wide");
  ASSERT_TRUE(keptWide);
  EXPECT_EQ(keptWide->paragraphs.size(), 2u);
  const std::optional<KeptArticle> keptLong = History()->ArticleAt("http://a/long");
  ASSERT_TRUE(keptLong);
  ASSERT_EQ(keptLong->paragraphs.size(), 1u);
  EXPECT_EQ(keptLong->paragraphs[0].size(), kMaxKeptParagraphBytes - 1);
  for (const ArticleEntry& entry : History()->ArticlesSince(kFirstDay + kDay)) {
    if (entry.address == "http://a/wide") EXPECT_EQ(entry.words.size(), kMaxKeptWords);
  }
}

// `read NUMBER` finds the row the table shows, for every row and both kinds of table, without
// making the table.
TEST_F(KeptArticlesTest, TheNumberedArticleIsTheTablesRowOfThatNumber) {
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"http://a/1", "The ship sailed."},
      {"http://a/2", "Zorbs glimmer over ships."},
      {"http://a/3", "The ship sank."},
      {"http://a/4", "The zorbs sank the ship."},
      {"http://a/5", "A ship, a ship."}};
  for (std::size_t run = 0; run < 2; ++run) {
    auto history = History();
    const std::int64_t time = kFirstDay + static_cast<std::int64_t>(run) * kDay;
    const std::int64_t runId = history->Append(RunAt(time), {{"SHIP", 1}});
    std::vector<KeptArticle> articles;
    for (std::size_t i = run * 2; i < texts.size() && i < run * 2 + 3; ++i)
      articles.push_back(ArticleAt(texts[i].first, texts[i].second));
    KeepArticlesOfRun(*history, runId, time, articles, {}, {}, 30);
  }
  const std::set<std::string> known = {"THE", "SHIP", "SANK", "A", "SECOND", "PARAGRAPH"};
  for (const std::int32_t days : {0, 1}) {
    const std::vector<ArticleRow> rows =
        RowsMostReadableFirst(ListedArticles(*History(), days), known);
    ASSERT_EQ(rows.size(), days == 0 ? 3u : 5u);
    for (std::size_t number = 1; number <= rows.size(); ++number)
      EXPECT_EQ(AddressOfListedArticle(*History(), known, days, number),
                rows[number - 1].entry.address)
          << days << " " << number;
    EXPECT_EQ(AddressOfListedArticle(*History(), known, days, 0), std::nullopt);
    EXPECT_EQ(AddressOfListedArticle(*History(), known, days, rows.size() + 1), std::nullopt);
  }
}

TEST_F(KeptArticlesTest, ArticlesOlderThanTheSettingGoWhenARunIsWrittenTheNewestStay) {
  struct Case {
    std::int32_t keepDays;
    std::int64_t lastRunDay;
    std::vector<std::string> kept;
  };
  const std::vector<Case> cases = {
      {30, 2, {"http://d0", "http://d1", "http://d2"}},
      {1, 2, {"http://d1", "http://d2"}},  // exactly one day old stays
      {0, 2, {"http://d2"}},
      {0, 5, {"http://d2"}},  // a run that read nothing still removes, but only older ones
      {-4, 2, {"http://d2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keepDays);
    std::filesystem::remove(path_);
    Run(kFirstDay, {"http://d0"});
    Run(kFirstDay + kDay, {"http://d1"});
    Run(kFirstDay + 2 * kDay, {"http://d2"}, c.keepDays);
    if (c.lastRunDay != 2) Run(kFirstDay + c.lastRunDay * kDay, {}, c.keepDays + 3);
    std::vector<std::string> kept;
    for (const ArticleEntry& entry : History()->ArticlesSince(0)) kept.push_back(entry.address);
    EXPECT_EQ(kept, c.kept);
  }
}

TEST_F(KeptArticlesTest, AHistoryOfTheFirstSchemaKeepsItsRunsAndGainsArticles) {
  sqlite3* database = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &database), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(database,
                         "CREATE TABLE runs(id INTEGER PRIMARY KEY, time INTEGER NOT NULL,"
                         " sites TEXT NOT NULL, data_size INTEGER NOT NULL, words_before INTEGER"
                         " NOT NULL, words_after INTEGER NOT NULL, known_share_tenths INTEGER"
                         " NOT NULL, pages_fetched INTEGER NOT NULL);"
                         "CREATE TABLE words(id INTEGER PRIMARY KEY, word TEXT NOT NULL UNIQUE);"
                         "CREATE TABLE run_words(run_id INTEGER NOT NULL, word_id INTEGER NOT"
                         " NULL, count INTEGER NOT NULL, PRIMARY KEY(run_id, word_id)) WITHOUT"
                         " ROWID;"
                         "INSERT INTO runs VALUES(1, 1000, 'http://old/', 10, 20, 5, 935, 3);"
                         "INSERT INTO words VALUES(1, 'SHIP');"
                         "INSERT INTO run_words VALUES(1, 1, 7);"
                         "PRAGMA user_version=1",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(database);

  EXPECT_TRUE(ListedArticles(*History(), 0).empty());
  const std::vector<HistoryRun> runs = History()->Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].knownShareTenths, 935);
  EXPECT_EQ(History()->WordsOf(1), (std::vector<WordCount>{{"SHIP", 7}}));
  Run(2000, {"http://new/story"});
  EXPECT_EQ(Addresses(0), std::vector<std::string>{"http://new/story"});
  EXPECT_EQ(History()->Runs().size(), 2u);
}

// What quillmark-cli words (the run aggregation) gives for a page of the article's text.
TEST(ArticleWordCounter, GivesTheRunAggregationsCountsAndKnownShare) {
  const std::vector<std::string> mapped{"MEET", "STUDY", "DINE", "GO", "GOING", "HOP", "HOPE"};
  const MappingDictionary dictionary{
      {"RAN", "RUN"}, {"WENT", "GO"}, {"MEETING", "MEET"}, {"STUDY", "STUDY"}};
  const std::set<std::string> known{"", "THE", "A", "RUN", "GO", "STUDY", "AND"};
  const std::vector<std::vector<std::string>> texts = {
      {"The cat ran. The dogs ran and went home."},
      {"They studies hard. She studied and dined. We are dining.", "Meetings and meetings."},
      {"Meet the meeting. Meetings go on.", "She ran. She ran."},  // the same sentence twice
      {"Walked walks walking. Walk!", "Don't stop 42 times. Stop."},
      {"Mr. Smith went to Washington. \"Meetings,\" he said, \"go on.\"", "3.5 percent rose."},
      {"Numbers only 1 2 3.", ""},
      {"They hoped the goings on would end."},  // GOINGS -> GOING -> GO; HOPED -> HOP, not HOPE
      {},
  };
  for (const std::vector<std::string>& paragraphs : texts) {
    SCOPED_TRACE(paragraphs.empty() ? "" : paragraphs.front());
    KeptArticle article;
    article.paragraphs = paragraphs;
    const ArticleWords words = KeptArticleWords(ArticleWordCounter(mapped, dictionary), article);

    SentenceStore sentences;  // as the crawl and quillmark-cli words keep an article's
    AddArticleSentences("local", SentencesOf(paragraphs), sentences);
    std::vector<std::string> runMapped = mapped;
    MappingDictionary runDictionary = dictionary;
    InflectionIndex index;
    RankedWordList ranking;
    RunFigures figures;
    AggregateRun(sentences, runMapped, runDictionary, index, ranking, figures,
                 WordReading::kArticle);
    std::map<std::string, std::int32_t> expected;
    for (const auto& [word, count] : ranking)
      if (!word.empty()) expected[word] = count;
    std::map<std::string, std::int32_t> counted;
    for (const WordCount& word : words.counts) counted[word.word] = word.count;
    EXPECT_EQ(counted, expected);
    EXPECT_EQ(PercentText(StandingOf(words.counts, known).knownShareTenths),
              KnownSharePercent(ranking, known));
  }
}

}  // namespace
}  // namespace quillmark
