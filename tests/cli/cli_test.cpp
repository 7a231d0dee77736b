// quillmark-cli as a process against a small site on 127.0.0.1.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <locale.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/history_commands.h"
#include "cli/run_result.h"
#include "gather/gathering_crawl.h"
#include "session/kept_articles.h"
#include "session/session.h"
#include "study/html_report.h"
#include "study/vocabulary_level.h"
#include "study/word_cards.h"
#include "support/child_process.h"
#include "support/fake_store_files.h"
#include "support/memory_ceiling.h"
#include "support/scripted_server.h"
#include "text/ascii_case.h"
#include "text/shift_jis.h"

namespace quillmark {
namespace {

using namespace std::chrono_literals;
using testing::Exchange;
using testing::Page;
using testing::RunProcess;
namespace fs = std::filesystem;

const char* const kUsageStart = "usage: quillmark-cli";

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() /
            ("quillmark-cli-test-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(data_);
    fs::create_directories(data_);
    WriteFile(data_ / "sites.txt", server_.Url("/") + "\r\n");
  }
  void TearDown() override { fs::remove_all(data_); }

  // Adds a run at `time` with `words` and its `articles` to the data directory's history, the
  // articles counted with the built-in lists as a gathering counts them.
  void KeepRun(std::int64_t time, const std::vector<WordCount>& words,
               const std::vector<KeptArticle>& articles) const {
    testing::FakeStoreFiles files;
    for (const char* name : {"HOSTS", "NGWORDS", "MAPPEDWORDS", "MAPPING_DIC", "EJDICT"})
      files.builtIns[name] = ReadFile(fs::path(QUILLMARK_SOURCE_DIR) / "resources" / name);
    testing::FakeSettingsFile settings;
    Session session(files);
    session.Load(settings);
    SqliteRunHistory history(RunHistoryPath(data_.string() + "/"), HistoryDirectory::kMustExist,
                             nullptr);
    const std::int64_t id = history.Append(HistoryRun{.time = time}, words);
    KeepArticlesOfRun(history, id, time, articles, session.Stores().mappedWords,
                      session.Dictionary(), 30);
  }

  std::vector<std::string> Cli(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {QUILLMARK_CLI, "--data-dir", data_.string()});
    return arguments;
  }

  // What the window program's path makes of the same site: the crawl, then the session's
  // aggregation with the built-in lists, formatted as `gather --all` prints it, the report,
  // and every word's card with its goo address.
  struct InProcess {
    std::string result;
    std::string report;
    std::string allCards;
  };
  InProcess GatheredInProcess() const {
    testing::FakeStoreFiles files;
    for (const char* name : {"HOSTS", "NGWORDS", "MAPPEDWORDS", "MAPPING_DIC", "EJDICT"}) {
      files.builtIns[name] = ReadFile(fs::path(QUILLMARK_SOURCE_DIR) / "resources" / name);
    }
    testing::FakeSettingsFile settings;
    Session session(files);
    session.Load(settings);
    PageFetch fetch;
    struct : CrawlView {
      void SetLabel(const std::string&) override {}
      void AddStatusLine(const std::string&) override {}
    } view;
    GatheringCrawl crawl(fetch, view, SystemTickCount());
    crawl.SetSiteList({server_.Url("/")});
    crawl.SetLinkOptions({.IsLevel = true,
                          .AllowedLevel = 1,
                          .ArticleText = session.Stores().configuration.articleText,
                          .FollowArticles = session.Stores().configuration.followArticles,
                          .ArticlesPerSite = session.Stores().configuration.articlesPerSite});
    RunCrawl(crawl, fetch, {.pump = [] {}, .idle = [] {}});
    MainStores& stores = session.Stores();
    const std::size_t before = stores.mappedWords.size();
    session.AggregateGathered(crawl.CopySentenceStore());
    RunResult result{stores.figures, stores.ranking, {}};
    result.learned.assign(stores.mappedWords.begin() + static_cast<std::ptrdiff_t>(before),
                          stores.mappedWords.end());
    return {FormatRunResult(result, stores.ngWords, 0, true, ResultFormat::kTsv),
            WriteHtmlReport(stores.figures, stores.ranking, stores.ngWords,
                            stores.configuration.itemViewCount, {server_.Url("/")},
                            ArticlesReadBySite(crawl.SiteArticles())),
            WriteWordCards(stores.ranking, stores.ngWords, stores.configuration.itemViewCount,
                           CardWords::kAllRanked, stores.sentences, stores.inflectionIndex,
                           WebDictionary::kGoo, session.RunWordMeanings())};
  }

  static std::vector<std::pair<std::string, Exchange>> SitePages() {
    return {
        {"/", Page("<p>The zorbs rolled. A zorb rolls.</p><a href=\"two.html\">x</a>")},
        {"/two.html", Page("<p>Two zorbs fell down. The ship sank.</p>")},
        {"/drip.html", Exchange::Reply("HTTP/1.0 200 OK\r\n\r\n<p>Slow news. ")
                           .Drip(std::string(100000, 'z'), 1, 2ms)},
    };
  }

  testing::ScriptedServer server_{testing::ServePages(SitePages())};
  fs::path data_;
};

TEST_F(CliTest, GatherAllAgreesWithTheWindowProgramsPathAndWritesNothingWithoutSave) {
  const auto run =
      RunProcess(Cli({"gather", "--sites", (data_ / "sites.txt").string(), "--follow-links",
                      "--all", "--report", (data_ / "report.html").string()}));
  EXPECT_EQ(run.status, 0) << run.error;
  const auto [result, report, allCards] = GatheredInProcess();
  EXPECT_EQ(run.output, result);
  EXPECT_EQ(ReadFile(data_ / "report.html"), report);
  fs::remove(data_ / "report.html");
  EXPECT_NE(run.error.find("[1/1] " + server_.Url("/") + "接続開始\n"), std::string::npos)
      << run.error;
  EXPECT_NE(run.error.find("[2/2] 127.0.0.1からのドキュメント取得成功\n"), std::string::npos);
  EXPECT_EQ(fs::directory_iterator(data_)->path().filename(), "sites.txt");  // nothing saved
  EXPECT_EQ(std::distance(fs::directory_iterator(data_), fs::directory_iterator()), 1);
}

// The same site over https, fetched because the command line asks for it; the test authority
// is trusted as the system's roots are, through the variable OpenSSL reads.
TEST_F(CliTest, HttpsAskedForGathersTheSiteOverHttpsAsOverHttp) {
  testing::ScriptedServer secure(testing::ServePages(SitePages()));
  secure.UseTls(testing::TestTlsFile("server.pem"));
  WriteFile(data_ / "secure.txt", secure.Url("/") + "\r\n");
  ::setenv("SSL_CERT_FILE", testing::TestTlsFile("ca.pem").c_str(), 1);
  const auto run = RunProcess(Cli({"gather", "--sites", (data_ / "secure.txt").string(),
                                   "--follow-links", "--all", "--https"}));
  ::unsetenv("SSL_CERT_FILE");
  EXPECT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.output, GatheredInProcess().result);

  // The last of --https and --no-https wins; without either, the configuration decides.
  EXPECT_EQ(ParseCliOptions({"gather", "--https", "--no-https"}).fetchHttps, false);
  EXPECT_EQ(ParseCliOptions({"gather", "--no-https", "--https"}).fetchHttps, true);
  EXPECT_EQ(ParseCliOptions({"gather"}).fetchHttps, std::nullopt);
  // And the defaults the usage text promises.
  EXPECT_NE(std::string(kCliUsage).find("waits up to SECONDS (default 30)"), std::string::npos);
  EXPECT_EQ(ParseCliOptions({"gather"}).lockWaitSeconds, 30);
}

// A site whose address is its feed, with the default configuration: its newest articles are
// read after it, their words counted, the count is the site's last line and follows the site
// in the report; --no-articles reads the address alone, --articles 1 the newest only.
TEST_F(CliTest, TheDefaultRunReadsTheFeedsNewestArticles) {
  std::string port;
  testing::ScriptedServer site([&port](int, const std::string& request) {
    const auto item = [&port](const char* path, const char* date) {
      return std::string("<item><link>http://127.0.0.1:") + port + path + "</link><pubDate>" +
             date + "</pubDate></item>";
    };
    const std::pair<const char*, std::string> pages[] = {
        {"/feed.xml", "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>" +
                          item("/old.html", "06 Dec 2026 08:00 GMT") +
                          item("/new.html", "07 Dec 2026 08:00 GMT") + "</channel></rss>"},
        {"/old.html", "<p>The glimmers faded.</p>"},
        {"/new.html", "<p>The zorbs rolled.</p>"}};
    for (const auto& [path, body] : pages) {
      if (request.starts_with(std::string("GET ") + path + " ")) return Page(body);
    }
    return Exchange::Reply("HTTP/1.0 404 Not Found\r\n\r\n");
  });
  port = std::to_string(site.port());
  const std::string feed = site.Url("/feed.xml");
  WriteFile(data_ / "feed.txt", feed + "\r\n");
  const auto gather = [&](std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"gather", "--sites",  (data_ / "feed.txt").string(),
                                          "--all",  "--report", (data_ / "report.html").string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return RunProcess(Cli(arguments));
  };

  const auto run = gather({});
  EXPECT_EQ(run.status, 0) << run.error;
  EXPECT_NE(run.output.find("ZORBS\t1\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("GLIMMER\t1\n"), std::string::npos) << run.output;
  const std::size_t newer = run.error.find("記事 1/2 " + site.Url("/new.html") + "\n");
  EXPECT_NE(newer, std::string::npos) << run.error;
  EXPECT_LT(newer, run.error.find("記事 2/2 " + site.Url("/old.html") + "\n"));
  EXPECT_NE(run.error.find(feed + "の記事を2件取得\n"), std::string::npos) << run.error;
  EXPECT_NE(ReadFile(data_ / "report.html").find(Utf8ToShiftJis(" 記事2件")), std::string::npos);

  const auto none = gather({"--no-articles"});
  EXPECT_EQ(none.output.find("ZORB"), std::string::npos) << none.output;
  EXPECT_EQ(none.error.find("記事"), std::string::npos) << none.error;
  const auto one = gather({"--articles", "1"});
  EXPECT_NE(one.output.find("ZORBS\t1\n"), std::string::npos) << one.output;
  EXPECT_EQ(one.output.find("GLIMMER"), std::string::npos) << one.output;
}

TEST(CliArticleOptions, ArticlesTakesACountAndNoArticlesTurnsThemOffTheLastWinning) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<std::int32_t> articles;
  } cases[] = {{{"gather"}, std::nullopt},
               {{"gather", "--articles", "1"}, 1},
               {{"gather", "--articles", "100"}, 100},
               {{"gather", "--articles=5"}, 5},
               {{"gather", "--no-articles"}, 0},
               {{"gather", "--articles", "5", "--no-articles"}, 0},
               {{"gather", "--no-articles", "--articles", "3"}, 3},
               {{"export", "--articles", "7", "out.txt"}, 7}};
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCliOptions(c.arguments).articlesPerSite, c.articles)
        << ::testing::PrintToString(c.arguments);
  }
}

TEST_F(CliTest, ExportWritesEveryUnknownWordsCardToStandardOutput) {
  const auto run = RunProcess(Cli({"export", "--sites", (data_ / "sites.txt").string(),
                                   "--follow-links", "--all", "--dictionary", "goo", "-"}));
  EXPECT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.output, GatheredInProcess().allCards);
  EXPECT_NE(run.output.find("zorb\t3\t"), std::string::npos) << run.output;
}

// Each file is one page, read up to the ceiling of a fetched body: /dev/zero under a 1 GiB
// address-space limit neither ends the run nor keeps the next file from being counted.
TEST_F(CliTest, WordsReadsAFileAsOnePageUpToTheCeilingOfABody) {
  if (!testing::kAddressSpaceCanBeCapped) GTEST_SKIP() << "no address-space ceiling here";
  WriteFile(data_ / "page.html", "<p>The zorbs rolled. A zorb rolls.</p>");
  testing::ChildProcess child(
      Cli({"words", "--top", "2", "/dev/zero", (data_ / "page.html").string()}), {},
      testing::ChildProcess::InputEnd::kAfterInput, 1ull << 30);
  EXPECT_EQ(child.Finish(), 0) << child.Error();
  EXPECT_NE(child.Error().find("/dev/zero: only the first 67108864 bytes are read"),
            std::string::npos)
      << child.Error();
  EXPECT_NE(child.Output().find("roll\t2\nzorb\t2\n"), std::string::npos) << child.Output();
}

TEST_F(CliTest, WordsCountsASavedPageAndSavesOnlyWhenAsked) {
  const std::string page = "<html><body><p>The zorbs rolled. A zorb rolls.</p></body></html>";
  WriteFile(data_ / "page.html", page);
  const auto run = RunProcess(Cli({"words", "--top", "2", (data_ / "page.html").string()}));
  EXPECT_EQ(run.status, 0) << run.error;
  // Read as an article: "The zorbs rolled." and "A zorb rolls.", 17 + 13 bytes, six words;
  // THE and A are NG words. Read whole, the scanner's sentences lose their full stops.
  EXPECT_EQ(run.output,
            "# data size: 30 bytes; words before aggregation: 6; words after aggregation: 4\n"
            "roll\t2\nzorb\t2\n");
  EXPECT_EQ(RunProcess(Cli({"words", "--top", "2", "--whole-page", "-"}), page).output,
            "# data size: 28 bytes; words before aggregation: 6; words after aggregation: 4\n"
            "roll\t2\nzorb\t2\n");
  // Both words stand only in lines of three words: page labels, which --hide-names leaves out.
  const auto detailed = RunProcess(Cli({"words", "--format", "json", "--forms", "-"}), page);
  EXPECT_NE(detailed.output.find("{\"word\": \"zorb\", \"count\": 2, \"class\": \"label\", "
                                 "\"forms\": [{\"form\": \"zorbs\", \"count\": 1}]}"),
            std::string::npos)
      << detailed.output;
  EXPECT_EQ(RunProcess(Cli({"words", "--hide-names", "-"}), page).output,
            "# data size: 30 bytes; words before aggregation: 6; words after aggregation: 4\n");

  const auto saved = RunProcess(
      Cli({"words", "--all", "--format", "json", "--save", "--host", "saved", "-"}), page);
  EXPECT_EQ(saved.status, 0) << saved.error;
  EXPECT_NE(saved.output.find("{\"word\": \"ZORB\", \"count\": 2, \"class\": \"label\"}"),
            std::string::npos)
      << saved.output;
  EXPECT_NE(saved.output.find("\"learned\": [\"ZORB\"]"), std::string::npos) << saved.output;
  // THE and A, two of the six words, are known.
  EXPECT_NE(saved.output.find("\"wordsAfterAggregation\": 4, \"knownShare\": 33.3}"),
            std::string::npos)
      << saved.output;
  for (const char* name : {"hosts.dat", "ngwords.dat", "mappedwords.dat", "quillmark.ini"})
    EXPECT_TRUE(fs::exists(data_ / name)) << name;
  EXPECT_NE(ReadFile(data_ / "mappedwords.dat").find("\r\nZORB\r\n"), std::string::npos);

  WriteFile(data_ / "sentences.txt", "The zorbs rolled\r\nNothing here\r\n");
  const auto found =
      RunProcess(Cli({"find", "zorb", "--sentences", (data_ / "sentences.txt").string()}));
  EXPECT_EQ(found.output, "[from History]\r\nThe zorbs rolled...\r\n\r\n");
  EXPECT_EQ(found.status, 0);
}

// --help and --version answer on standard output; "--" ends the options; find fails as grep
// does when no sentence holds the word, its text still printed.
TEST_F(CliTest, HelpVersionEndOfOptionsAndFindsExitStatus) {
  const std::string sentences = (data_ / "sentences.txt").string();
  WriteFile(sentences, "The zorbs rolled\r\nNothing here --zorb\r\n");
  // Nothing to count: a page without text, a site list whose one page is not found.
  const std::string empty = (data_ / "empty.html").string();
  WriteFile(empty, "<html><body><script>var zorb;</script></body></html>");
  const std::string nowhere = (data_ / "nowhere.txt").string();
  WriteFile(nowhere, server_.Url("/none.html") + "\r\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string outputStart;
  };
  const Case cases[] = {
      {{"--help"}, 0, kUsageStart},
      {{"find", "zorb", "--help"}, 0, kUsageStart},
      {{"--version"}, 0, "quillmark-cli 0.1"},
      {{"find", "--sentences", sentences, "ship"}, 1, "Sentence NOT Found.\n"},
      {{"find", "--sentences", sentences, "--", "--zorb"}, 0, "[from History]\r\nNothing"},
      {{"find", "--sentences", sentences, "--", "--help"}, 1, "Sentence NOT Found.\n"},
      {{"find", "--sentences", sentences, "--zorb"}, 2, ""},
      {{"words", empty}, 1, ""},
      {{"gather", "--sites", nowhere}, 1, ""},
      {{"export", "--sites", nowhere, "-"}, 1, ""},
  };
  for (const Case& c : cases) {
    const auto run = RunProcess(Cli(c.arguments));
    EXPECT_EQ(run.status, c.status) << ::testing::PrintToString(c.arguments) << run.error;
    EXPECT_TRUE(run.output.starts_with(c.outputStart)) << run.output;
  }
}

TEST_F(CliTest, DefineAndMeaningsLookWordsUpInTheBuiltInDictionary) {
  const auto defined = RunProcess(Cli({"define", "RAN", "zorb"}));
  EXPECT_EQ(defined.status, 0) << defined.error;
  EXPECT_TRUE(defined.output.starts_with("RAN\trun\t『走る』,駆ける / ")) << defined.output;
  EXPECT_EQ(std::count(defined.output.begin(), defined.output.end(), '\n'), 1);
  EXPECT_EQ(defined.error, "quillmark-cli: no meaning for zorb\n");
  // A line break in an argument is escaped as the other control bytes are: one line a word.
  const auto broken = RunProcess(Cli({"define", "run\nRAN", "ship"}));
  EXPECT_EQ(broken.error, "quillmark-cli: no meaning for run\\x0aRAN\n");
  EXPECT_EQ(std::count(broken.output.begin(), broken.output.end(), '\n'), 1) << broken.output;
  const auto none = RunProcess(Cli({"define", "zorb", "qwzx"}));
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.output, "");

  // A third column; a field in JSON. Both words stand in lines of three words at most, page
  // labels: the one the dictionary lacks is called one, the other keeps its meaning.
  const std::string page = "<p>The zorbs rolled. A zorb rolls.</p>";
  const auto words = RunProcess(Cli({"words", "--meanings", "-"}), page);
  EXPECT_TRUE(words.output.ends_with("\nzorb\t2\tページの見出し語（メニュー・サイト名など）\n"))
      << words.output;
  EXPECT_NE(words.output.find("\nroll\t2\t〈球などが〉『転がる』"), std::string::npos)
      << words.output;
  const auto json = RunProcess(Cli({"words", "--meanings", "--format", "json", "-"}), page);
  EXPECT_NE(
      json.output.find("{\"word\": \"zorb\", \"count\": 2, \"class\": \"label\", \"meaning\": "
                       "\"ページの見出し語（メニュー・サイト名など）\"}"),
      std::string::npos)
      << json.output;
}

TEST_F(CliTest, BadUsageAndUnreadableFiles) {
  const std::vector<std::vector<std::string>> badUsage = {
      {},
      {"nonsense"},
      {"gather", "--top", "x"},
      {"gather", "--host", "a"},
      {"words"},
      {"find"},
      {"gather", "--format", "xml"},
      {"export"},
      {"export", "--top", "3", "out.txt"},
      {"export", "--dictionary", "eijiro", "out.txt"},
      {"gather", "--dictionary", "goo"},
      {"words", "--https", "a.html"},
      {"define"},
      {"find", "ship", "--meanings"},
      {"history", "--top", "3"},
      {"trends", "--days", "x"},
      {"trends", "--days", "-1"},
      {"gather", "--articles", "0"},
      {"gather", "--articles", "101"},
      {"words", "--no-articles", "a.html"}};
  for (const auto& arguments : badUsage) {
    const auto run = RunProcess(Cli(arguments));
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(run.error.find(kUsageStart), std::string::npos);
  }
  // As other GNU tools say it: the program, the file, the system's reason in the locale's
  // language (the child's locale is the test's environment, as here).
  const std::string missing = (data_ / "missing.html").string();
  const auto run = RunProcess(Cli({"words", missing}));
  EXPECT_EQ(run.status, 1);
  const locale_t here = ::newlocale(LC_ALL_MASK, "", nullptr);
  EXPECT_EQ(run.error, "quillmark-cli: " + missing + ": " + ::strerror_l(ENOENT, here) + "\n");
  ::freelocale(here);
}

// GNU forms: "--name=value" for every option that takes a value, and "--" ends every option.
TEST(CliOptionsTest, ValuesAfterAnEqualsSignAndTheEndOfOptions) {
  struct Case {
    std::vector<std::string> arguments;
    std::function<bool(const CliOptions&)> holds;
  };
  const Case cases[] = {
      {{"gather", "--top=3", "--depth=2"},
       [](const CliOptions& o) { return o.top == 3 && o.depth == 2; }},
      {{"--lock-wait=0", "--data-dir=/d=e", "words", "a"},
       [](const CliOptions& o) { return o.lockWaitSeconds == 0 && o.dataDirectory == "/d=e"; }},
      {{"trends", "--days=3"}, [](const CliOptions& o) { return o.days == 3; }},
      {{"find", "--sentences=s.txt", "ship"},
       [](const CliOptions& o) { return o.sentencesFile == "s.txt" && o.word == "ship"; }},
      {{"words", "--format=json", "--forms", "a"},
       [](const CliOptions& o) { return o.format == ResultFormat::kJson && o.forms; }},
      {{"find", "--", "--lock-wait"},
       [](const CliOptions& o) { return o.word == "--lock-wait" && o.lockWaitSeconds == 30; }},
      {{"words", "--", "--top=3", "--data-dir"},
       [](const CliOptions& o) {
         return o.files == std::vector<std::string>{"--top=3", "--data-dir"} && !o.top &&
                !o.dataDirectory;
       }},
      {{"export", "--dictionary=goo", "--no-https", "-"},
       [](const CliOptions& o) {
         return o.dictionary == WebDictionary::kGoo && o.fetchHttps == false;
       }},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(c.holds(ParseCliOptions(c.arguments))) << ::testing::PrintToString(c.arguments);

  // --all lists every ranked word, but the empty one (what is not a word) is no row.
  const RunResult ranked{{}, {{"", 5}, {"ZORB", 2}}, {}};
  EXPECT_EQ(FormatRunResult(ranked, {""}, 0, true, ResultFormat::kTsv),
            "# data size: 0 bytes; words before aggregation: 0; words after aggregation: 0\n"
            "ZORB\t2\n--\n");

  // A switch given a value, an empty value, and forms where a tab-separated line has no place.
  const std::vector<std::vector<std::string>> refused = {
      {"gather", "--all=1"},      {"gather", "--top="},  {"gather", "--articles="},
      {"gather", "--articles=0"}, {"gather", "--forms"}, {"words", "--forms", "a"}};
  for (const auto& arguments : refused)
    EXPECT_THROW(ParseCliOptions(arguments), UsageError) << ::testing::PrintToString(arguments);
}

TEST_F(CliTest, AnInterruptEndsTheCrawlAsCancelPrintsWhatWasGatheredAndSavesNothing) {
  WriteFile(data_ / "sites.txt", server_.Url("/") + "\r\n" + server_.Url("/drip.html") + "\r\n" +
                                     server_.Url("/two.html") + "\r\n");
  // The designed crawl, one page at a time (the day's articles read their sites side by side).
  testing::ChildProcess child(Cli(
      {"gather", "--sites", (data_ / "sites.txt").string(), "--no-articles", "--all", "--save"}));
  // Interrupted while the slow page arrives.
  ASSERT_TRUE(child.WaitForError("drip.html接続開始\n[2/3] 127.0.0.1コネクション確立\n"));
  child.Signal(SIGINT);
  EXPECT_EQ(child.Finish(), 130) << child.Error();
  // What was gathered until then is counted and printed; the third site never started.
  EXPECT_NE(child.Output().find("ZORB\t2\n"), std::string::npos) << child.Output();
  EXPECT_EQ(child.Error().find("two.html接続開始"), std::string::npos);
  EXPECT_FALSE(fs::exists(data_ / "hosts.dat"));
}

// The data files are what the learner keeps: a result that cannot be printed (standard output on
// a full device) or a report that cannot be written is said after they are saved, with exit 1.
TEST_F(CliTest, AFailedOutputOrReportIsSaidAfterTheDataFilesAreSaved) {
  const std::string page = (data_ / "page.html").string();
  WriteFile(page, "<p>The zorbs rolled. A zorb rolls.</p>");
  std::vector<std::string> toFullDevice = {"/bin/sh", "-c", "exec \"$@\" >/dev/full", "sh"};
  for (const auto& argument : Cli({"words", "--save", page})) toFullDevice.push_back(argument);
  const auto full = RunProcess(toFullDevice);
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.error, "quillmark-cli: 標準出力に書き込めません\n");
  EXPECT_NE(ReadFile(data_ / "mappedwords.dat").find("\r\nZORB\r\n"), std::string::npos);

  fs::remove(data_ / "hosts.dat");
  const std::string report = (data_ / "missing" / "r.html").string();
  const auto failed = RunProcess(
      Cli({"gather", "--sites", (data_ / "sites.txt").string(), "--save", "--report", report}));
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.error.find("\nquillmark-cli: " + report + ": "), std::string::npos)
      << failed.error;
  EXPECT_TRUE(fs::exists(data_ / "hosts.dat"));
}

// Another program saving to the data directory (its save held open by the test): a reader goes
// on beside it and leaves its temporary alone; a saver that may not wait gives up at once,
// saying so, writing nothing; one that may wait saves after it, keeping what it learned.
TEST_F(CliTest, OneProgramAtATimeSavesToADataDirectory) {
  const std::string page = (data_ / "page.html").string();
  WriteFile(page, "<p>The zorbs rolled. A zorb rolls.</p>");
  testing::ChildProcess holder({QUILLMARK_SAVE_HOLDER, data_.string() + "/", "HELDWORD"}, {},
                               testing::ChildProcess::InputEnd::kOnCloseInput);
  ASSERT_TRUE(holder.WaitForError("saving\n"));

  EXPECT_EQ(RunProcess(Cli({"words", page})).status, 0);
  const auto impatient = RunProcess(Cli({"--lock-wait", "0", "words", "--save", page}));
  EXPECT_EQ(impatient.status, 1);
  EXPECT_EQ(impatient.output, "");
  EXPECT_EQ(impatient.error, "quillmark-cli: データフォルダ " + data_.string() +
                                 "/ は別の Quillmark が使用中です。何も保存せずに終わります\n");
  EXPECT_TRUE(fs::exists(data_ / "hosts.dat.Held00"));
  EXPECT_FALSE(fs::exists(data_ / "mappedwords.dat"));

  testing::ChildProcess patient(Cli({"words", "--save", page}));
  ASSERT_TRUE(patient.WaitForError("秒待っています\n"));
  holder.CloseInput();
  EXPECT_EQ(holder.Finish(), 0) << holder.Error();
  EXPECT_EQ(patient.Finish(), 0) << patient.Error();
  const std::string mapped = ReadFile(data_ / "mappedwords.dat");
  EXPECT_NE(mapped.find("\r\nHELDWORD\r\n"), std::string::npos);
  EXPECT_NE(mapped.find("\r\nZORB\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(data_ / "hosts.dat.Held00"));
}

// Two runs against the loopback site, the second with a page the first did not have (the
// first ranked only the plural ZORBS, having no page with the singular to fold it onto).
TEST_F(CliTest, HistoryAndTrendsOverTwoSavedRuns) {
  WriteFile(data_ / "first.txt", server_.Url("/two.html") + "\r\n");
  ASSERT_EQ(RunProcess(Cli({"gather", "--sites", (data_ / "first.txt").string(), "--save"})).status,
            0);
  ASSERT_EQ(RunProcess(Cli({"gather", "--sites", (data_ / "sites.txt").string(), "--follow-links",
                            "--save"}))
                .status,
            0);

  const auto history = RunProcess(Cli({"history"}));
  EXPECT_EQ(history.status, 0) << history.error;
  ASSERT_EQ(std::count(history.output.begin(), history.output.end(), '\n'), 3) << history.output;
  EXPECT_NE(history.output.find("\t1\t2\t"), std::string::npos)
      << history.output;  // 1 site, 2 pages

  const auto trends = RunProcess(Cli({"trends"}));
  EXPECT_EQ(trends.status, 0) << trends.error;
  EXPECT_NE(
      trends.output.find("; compared with 1 runs of the last 7 days\nnew\tzorb\t3\nnew\troll\t2\n"),
      std::string::npos)
      << trends.output;
  const auto json = RunProcess(Cli({"trends", "--days", "1", "--format", "json"}));
  EXPECT_NE(json.output.find("{\"word\": \"roll\", \"count\": 2}],\n \"rising\": []}"),
            std::string::npos)
      << json.output;
}

// The history is written only after the data files were saved: on a full disk its journal
// must not take their room. quillmark.ini is a named pipe, so the test knows when the save
// begins (the second reading of it): no history file may exist yet.
TEST_F(CliTest, TheHistoryIsWrittenAfterTheDataFiles) {
  WriteFile(data_ / "first.txt", server_.Url("/two.html") + "\r\n");
  const std::string configuration = (data_ / "quillmark.ini").string();
  ASSERT_EQ(::mkfifo(configuration.c_str(), 0600), 0);
  testing::ChildProcess child(Cli({"gather", "--sites", (data_ / "first.txt").string(), "--save"}));
  bool historyBeforeSave = true;
  for (const bool saving : {false, true}) {
    // The load's reading has ended once the crawl speaks: a writer opening before that would
    // meet the load's reader again.
    if (saving) {
      ASSERT_TRUE(child.WaitForError("からのドキュメント取得"));
    }
    const int fd = ::open(configuration.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    if (saving) historyBeforeSave = fs::exists(data_ / "history.sqlite3");
    ::close(fd);
  }
  EXPECT_EQ(child.Finish(), 0) << child.Error();
  EXPECT_FALSE(historyBeforeSave);
  EXPECT_TRUE(fs::exists(data_ / "history.sqlite3"));
}

// A history that cannot be written is said once; the data files are saved all the same.
TEST_F(CliTest, AHistoryThatCannotBeWrittenLeavesTheDataFilesSaved) {
  fs::create_directory(data_ / "history.sqlite3");
  const auto run = RunProcess(Cli({"gather", "--sites", (data_ / "sites.txt").string(), "--save"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.error.find("quillmark-cli: "), std::string::npos) << run.error;
  EXPECT_NE(run.error.find((data_ / "history.sqlite3").string()), std::string::npos) << run.error;
  EXPECT_TRUE(fs::exists(data_ / "hosts.dat"));
  EXPECT_EQ(RunProcess(Cli({"trends"})).status, 1);
}

// The articles a saved run read, listed and read from the history: the known share is the one
// `words` gives for the same text, and the words not known are marked.
TEST_F(CliTest, ArticlesAndReadGiveTheKnownShareWordsGivesAndMarkUnknownWords) {
  // Long enough for the page of `words` to be read as an article.
  const std::vector<std::string> easy = {"The ship sank near the coast of the island last night.",
                                         "The man ran home to tell his family about the news."};
  const std::vector<std::string> hard = {"Zorbs glimmered in the quagmire.",
                                         "Zorbs defenestrated the gubernatorial candidates."};
  KeepRun(1'780'000'000, {},
          {KeptArticle{"hard.example", "http://hard.example/1", "Hard", "", hard},
           KeptArticle{"easy.example", "http://easy.example/1", "Easy", "", easy}});
  auto knownShareIn = [](const std::string& json) {
    const std::size_t at = json.find("\"knownShare\": ");
    return at == std::string::npos ? std::string("none")
                                   : json.substr(at + 14, json.find_first_of(",}", at) - at - 14);
  };
  const auto table = RunProcess(Cli({"articles", "--format", "json"}));
  ASSERT_EQ(table.status, 0) << table.error;
  EXPECT_LT(table.output.find("http://easy.example/1"), table.output.find("http://hard.example/1"))
      << table.output;  // the most readable first

  for (const auto& [number, paragraphs] : {std::pair{"1", easy}, std::pair{"2", hard}}) {
    WriteFile(data_ / "page.html",
              "<html><body><p>" + paragraphs[0] + "</p><p>" + paragraphs[1] + "</p></body></html>");
    const auto words =
        RunProcess(Cli({"words", (data_ / "page.html").string(), "--format", "json"}));
    const auto read = RunProcess(Cli({"read", number, "--format", "json"}));
    ASSERT_EQ(read.status, 0) << read.error;
    EXPECT_EQ(knownShareIn(read.output), knownShareIn(words.output)) << words.output;
    const std::string row =
        table.output.substr(table.output.find(std::string("\"number\": ") + number));
    EXPECT_EQ(knownShareIn(row), knownShareIn(words.output));
  }

  const auto text = RunProcess(Cli({"read", "http://hard.example/1"}));
  EXPECT_EQ(text.status, 0) << text.error;
  EXPECT_NE(text.output.find("\n\n[Zorbs] [glimmered] in the [quagmire].\n"), std::string::npos)
      << text.output;
  const auto json = RunProcess(Cli({"read", "2", "--format", "json"}));
  EXPECT_NE(json.output.find("{\"text\": \"Zorbs\", \"word\": \"zorbs\", \"unknown\": true}"),
            std::string::npos)
      << json.output;
  EXPECT_NE(json.output.find("{\"text\": \"the\", \"word\": \"the\", \"unknown\": false}"),
            std::string::npos);

  // find reads the kept articles when sum.dat has no sentence of the word (none was saved).
  ASSERT_FALSE(fs::exists(data_ / "sum.dat"));
  const auto found = RunProcess(Cli({"find", "glimmer"}));
  EXPECT_EQ(found.status, 0) << found.error;
  EXPECT_EQ(found.output, "[from hard.example]\r\nZorbs glimmered in the quagmire.\r\n\r\n");

  struct Failing {
    std::vector<std::string> arguments;
    int status;
  };
  for (const Failing& c : std::vector<Failing>{{{"read", "3"}, 1},
                                               {{"read", "http://none.example/"}, 1},
                                               {{"read", "1", "--format", "tsv"}, 2},
                                               {{"read"}, 2},
                                               {{"articles", "--days", "x"}, 2}}) {
    EXPECT_EQ(RunProcess(Cli(c.arguments)).status, c.status) << c.arguments.back();
  }
}

// `article` on two saved pages in a row: the second shows nothing of the first (its headline
// included), each in the three forms; a missing file fails the command, bad usage exits 2.
TEST_F(CliTest, ArticleReadsEachSavedPageAsAGatheringDoes) {
  const std::string first = (data_ / "a.html").string();
  const std::string second = (data_ / "b.html").string();
  WriteFile(first,
            "<html><head><title>Page A</title></head><body><nav><a href=\"/\">Home</a></nav>"
            "<article><h1>Zorbs roll home</h1><p>The zorbs rolled down the hill at dawn, and "
            "nobody in the quiet village saw them go.</p><p>Dr. Smith said they would all "
            "return by noon. The mayor did not agree with her.</p></article></body></html>");
  WriteFile(second,
            "<html><body><article><p>The ship sank near the coast of the island last night, "
            "and its crew of twelve swam ashore.</p></article></body></html>");
  const std::string firstText =
      "The zorbs rolled down the hill at dawn, and nobody in the quiet village saw them go.";
  const std::string secondText =
      "The ship sank near the coast of the island last night, and its crew of twelve swam "
      "ashore.";

  const auto text = RunProcess(Cli({"article", first, second}));
  EXPECT_EQ(text.status, 0) << text.error;
  EXPECT_EQ(text.output, "==> " + first + " <==\n" + firstText +
                             "\n\nDr. Smith said they would all return by noon. The mayor did "
                             "not agree with her.\n\n==> " +
                             second + " <==\n" + secondText + "\n");
  const auto sentences = RunProcess(Cli({"article", "--sentences", first}));
  EXPECT_EQ(sentences.output, firstText +
                                  "\nDr. Smith said they would all return by noon.\nThe mayor "
                                  "did not agree with her.\n");
  const auto json = RunProcess(Cli({"article", "--format", "json", first, second}));
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.output.find("{\"file\":\"" + first + "\",\"title\":\"Zorbs roll home\","),
            std::string::npos)
      << json.output;
  EXPECT_NE(json.output.find("{\"file\":\"" + second + "\",\"title\":\"\",\"text\":\"" +
                             secondText + "\",\"sentences\":[\"" + secondText + "\"]}"),
            std::string::npos)
      << json.output;

  const std::string missing = (data_ / "missing.html").string();
  const auto failed = RunProcess(Cli({"article", first, missing}));
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.error.find("quillmark-cli: " + missing + ": "), std::string::npos)
      << failed.error;
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"article"}, {"article", "--format", "tsv", first}, {"article", "--top", "3", first}}) {
    EXPECT_EQ(RunProcess(Cli(arguments)).status, 2) << ::testing::PrintToString(arguments);
  }
}

// Three runs: one a day and a second before the last, one exactly a day before it, and the
// last. Every command that reads the history takes the run exactly a day back into "the last
// day" and leaves the one a second older out; without --days only the last run's articles.
// On a data directory without a history each says there is nothing (exit 1) and makes no file.
TEST_F(CliTest, HistoryCommandsOverRunsADayApartAndOnAnEmptyDirectory) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"history"}, {"trends"}, {"articles"}, {"read", "1"}, {"read", "http://a.example/"}}) {
    EXPECT_EQ(RunProcess(Cli(arguments)).status, 1) << arguments[0];
    EXPECT_FALSE(fs::exists(data_ / "history.sqlite3")) << arguments[0];
  }
  constexpr std::int64_t kLast = 1'780'000'000;  // 2026-05-28T20:26:40Z
  const auto run = [&](std::int64_t time, std::vector<WordCount> words, const char* site,
                       const char* sentence) {
    KeepRun(time, words,
            {KeptArticle{site, std::string("http://") + site + "/news", site, "", {sentence}}});
  };
  run(kLast - 86'401, {{"ZORB", 5}}, "a.example", "Zorbs glimmered.");
  run(kLast - 86'400, {{"GLIMMER", 4}}, "b.example", "Glimmers faded.");
  run(kLast, {{"ZORB", 3}, {"GLIMMER", 3}, {"QUAGMIRE", 2}}, "c.example", "Quagmires.");
  const auto history = RunProcess(Cli({"history"}));
  EXPECT_EQ(history.status, 0) << history.error;
  const std::size_t a = history.output.find("\n2026-05-27T20:26:39Z\t");
  const std::size_t b = history.output.find("\n2026-05-27T20:26:40Z\t");
  const std::size_t c = history.output.find("\n2026-05-28T20:26:40Z\t");
  EXPECT_TRUE(a < b && b < c && c != std::string::npos) << history.output;

  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
  };
  const Case cases[] = {
      {{"trends"}, {"compared with 2 runs of the last 7 days\nnew\tquagmire\t2\n"}, {"new\tzorb"}},
      {{"trends", "--days", "1"},
       {"compared with 1 runs of the last 1 days\n", "new\tzorb\t3\n", "new\tquagmire\t2\n"},
       {"new\tglimmer"}},
      {{"articles"}, {"http://c.example/"}, {"http://b.example/", "http://a.example/"}},
      {{"articles", "--days", "1"},
       {"http://c.example/", "http://b.example/"},
       {"http://a.example/"}},
      {{"read", "1"}, {"http://c.example/news\n"}, {"Glimmers"}},
      {{"read", "http://a.example/news"}, {"\n\n[Zorbs] [glimmered].\n"}, {"Quagmires"}},
  };
  for (const Case& c : cases) {
    const auto run = RunProcess(Cli(c.arguments));
    EXPECT_EQ(run.status, 0) << ::testing::PrintToString(c.arguments) << run.error;
    for (const std::string& text : c.shown)
      EXPECT_NE(run.output.find(text), std::string::npos) << text << "\n" << run.output;
    for (const std::string& text : c.hidden)
      EXPECT_EQ(run.output.find(text), std::string::npos) << text << "\n" << run.output;
  }
  EXPECT_EQ(RunProcess(Cli({"read", "2"})).status, 1);  // the last run read one article
  EXPECT_EQ(RunProcess(Cli({"read", "2", "--days", "1"})).status, 0);
  EXPECT_EQ(RunProcess(Cli({"read", "3", "--days", "1"})).status, 1);
}

// The faults a learner met on the command line: a history that cannot be opened is said as a
// file is (prefix, file, the system's reason in the locale's language), an empty history still
// gives a JSON document, and a page that gives no article text is nothing read.
TEST_F(CliTest, HistoryFailuresEmptyTrendsAndAnEmptyArticleAreSaidAsSuch) {
  fs::create_symlink(data_ / "missing" / "history.sqlite3", data_ / "history.sqlite3");
  const auto failed = RunProcess({"/usr/bin/env", "LANG=C", "LC_ALL=C", QUILLMARK_CLI, "--data-dir",
                                  data_.string(), "history"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.error, "quillmark-cli: " + (data_ / "history.sqlite3").string() +
                              ": No such file or directory\n");
  fs::remove(data_ / "history.sqlite3");

  const auto trends = RunProcess(Cli({"trends", "--days=3", "--format", "json"}));
  EXPECT_EQ(trends.status, 1);
  EXPECT_EQ(trends.output, EmptyTrendsJson(3));
  EXPECT_EQ(
      trends.output,
      "{\"run\": null,\n \"earlierRuns\": 0, \"days\": 3,\n \"new\": [],\n \"rising\": []}\n");

  WriteFile(data_ / "empty.html", "<html><body><nav>Home</nav></body></html>");
  WriteFile(data_ / "page.html", "<html><body><p>The ship sank near the coast.</p></body></html>");
  EXPECT_EQ(RunProcess(Cli({"article", (data_ / "empty.html").string()})).status, 1);
  EXPECT_EQ(RunProcess(Cli({"article", (data_ / "page.html").string()})).status, 0);
}

TEST(CliOutputTest, UnderliningOnlyOnATerminalThatIsNotDumbWithoutNoColor) {
  const struct {
    bool terminal;
    const char* term;
    const char* noColor;
    bool underline;
  } cases[] = {{true, "xterm-256color", nullptr, true},
               {true, nullptr, nullptr, true},
               {true, "xterm", "", true},
               {false, "xterm", nullptr, false},
               {true, "dumb", nullptr, false},
               {true, "xterm", "1", false}};
  for (const auto& c : cases)
    EXPECT_EQ(UnderlineWanted(c.terminal, c.term, c.noColor), c.underline)
        << (c.term ? c.term : "(unset)") << " " << (c.noColor ? c.noColor : "(unset)");
}

}  // namespace
}  // namespace quillmark

namespace quillmark {
namespace {

// The first rank from `from` whose base and the next rank's are no NG words, with the two.
struct Boundary {
  std::int32_t rank;
  std::string within, beyond;
};
Boundary BoundaryFrom(const FrequencyRanks& ranks, std::int32_t from) {
  const std::string ng = ReadFile(fs::path(QUILLMARK_SOURCE_DIR) / "resources" / "NGWORDS");
  const auto isNg = [&](const std::string& word) {
    return ng.find("\r\n" + word + "\r\n") != std::string::npos;
  };
  for (std::int32_t rank = from;; ++rank) {
    if (!isNg(ranks.BaseOf(rank)) && !isNg(ranks.BaseOf(rank + 1)))
      return {rank, ranks.BaseOf(rank), ranks.BaseOf(rank + 1)};
  }
}

// The check answered by a script that knows the 5,000 commonest words, with one answer it
// does not take; then the level kept, set and shown, and each place a level counts.
TEST_F(CliTest, LevelRunsTheCheckForAScriptAndTheLevelCountsItsWordsAsKnown) {
  const FrequencyRanks ranks(
      ReadFile(fs::path(QUILLMARK_SOURCE_DIR) / "resources" / "FREQUENCY_RANKS"));
  EXPECT_EQ(RunProcess(Cli({"level", "--show"})).output, "0\n");
  {
    testing::ChildProcess check(Cli({"level", "--save"}), {},
                                testing::ChildProcess::InputEnd::kOnCloseInput);
    for (std::size_t asked = 1; check.WaitForOutputLines(asked); ++asked) {
      const std::string& out = check.Output();
      const std::size_t start = out.rfind('\n', out.size() - 2) + 1;
      const std::string word = out.substr(start, out.size() - 1 - start);
      if (word.starts_with("推定")) break;
      if (asked == 3) check.Send("maybe\n");
      const std::int32_t rank = ranks.RankOf(UpperCaseAscii(word));
      check.Send(rank > 0 && rank <= 5000 ? "Y\n" : "n\n");
    }
    EXPECT_EQ(check.Finish(), 0) << check.Error();
    EXPECT_EQ(std::count(check.Output().begin(), check.Output().end(), '\n'), 121);
    EXPECT_TRUE(check.Output().ends_with("\n推定語彙数: 約5,000語\n")) << check.Output();
    EXPECT_EQ(check.Error(), "answer y (known) or n (not known)\n");
  }
  EXPECT_EQ(RunProcess(Cli({"level", "--show"})).output, "5000\n");
  // An input that ends before the check does keeps nothing.
  const auto left = RunProcess(Cli({"level", "--save"}), "y\nn\n");
  EXPECT_EQ(left.status, 1);
  EXPECT_EQ(RunProcess(Cli({"level", "--show"})).output, "5000\n");
  EXPECT_EQ(RunProcess(Cli({"level", "--set", "-1"})).status, 2);
  EXPECT_EQ(RunProcess(Cli({"level", "--set", "3", "--show"})).status, 2);

  // The boundary: rank N known at level N, rank N + 1 not.
  const Boundary boundary = BoundaryFrom(ranks, 3000);
  ASSERT_EQ(RunProcess(Cli({"level", "--set", std::to_string(boundary.rank)})).status, 0);
  const std::string page = "<p>The " + boundary.within + " and the " + boundary.beyond +
                           " met the " + boundary.beyond +
                           " today. Yesterday Bush spoke to the press. Later Bush left the "
                           "room.</p>";
  const auto words = [&] { return RunProcess(Cli({"words", "--top", "50", "-"}), page).output; };
  const std::string within = LowerCaseAscii(boundary.within);
  const std::string beyond = LowerCaseAscii(boundary.beyond);
  EXPECT_EQ(words().find("\n" + within + "\t"), std::string::npos) << words();
  EXPECT_NE(words().find("\n" + beyond + "\t2\n"), std::string::npos) << words();
  // The known share leaves the name out: of the 20 running words BUSH (twice, a name) is not
  // counted and only BEYOND (twice) is unknown: 16 of 18, not 16 of 20.
  const auto json = RunProcess(Cli({"words", "--format", "json", "-"}), page).output;
  EXPECT_NE(json.find("\"knownShare\": 88.9}"), std::string::npos) << json;

  // 知らない beats the level; 知っている beats its absence.
  WriteFile(data_ / "unknownwords.dat", boundary.within + "\r\n");
  WriteFile(data_ / "ngwords.dat", boundary.beyond + "\r\n");
  EXPECT_NE(words().find("\n" + within + "\t1\n"), std::string::npos) << words();
  EXPECT_EQ(words().find("\n" + beyond + "\t"), std::string::npos) << words();

  // Level 0 again: the words and share of a learner who never set one, byte for byte.
  fs::remove(data_ / "unknownwords.dat");
  fs::remove(data_ / "ngwords.dat");
  ASSERT_EQ(RunProcess(Cli({"level", "--set", "0"})).status, 0);
  const auto none = RunProcess(Cli({"words", "--format", "json", "-"}), page).output;
  fs::remove(data_ / "quillmark.ini");
  EXPECT_EQ(none, RunProcess(Cli({"words", "--format", "json", "-"}), page).output);
}

}  // namespace
}  // namespace quillmark
