// quillmark-cli as a process against a small site on 127.0.0.1.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_options.h"
#include "cli/run_result.h"
#include "gather/gathering_crawl.h"
#include "session/session.h"
#include "study/html_report.h"
#include "study/word_cards.h"
#include "support/child_process.h"
#include "support/fake_store_files.h"
#include "support/memory_ceiling.h"
#include "support/scripted_server.h"

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
    for (const char* name : {"HOSTS", "NGWORDS", "MAPPEDWORDS", "MAPPING_DIC"}) {
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
    crawl.SetLinkOptions({.IsLevel = true, .AllowedLevel = 1});
    RunCrawl(crawl, fetch, {.pump = [] {}, .idle = [] {}});
    MainStores& stores = session.Stores();
    const std::size_t before = stores.mappedWords.size();
    session.AggregateGathered(crawl.CopySentenceStore());
    RunResult result{stores.figures, stores.ranking, {}};
    result.learned.assign(stores.mappedWords.begin() + static_cast<std::ptrdiff_t>(before),
                          stores.mappedWords.end());
    return {FormatRunResult(result, stores.ngWords, 0, true, ResultFormat::kTsv),
            WriteHtmlReport(stores.figures, stores.ranking, stores.ngWords,
                            stores.configuration.itemViewCount, {server_.Url("/")}),
            WriteWordCards(stores.ranking, stores.ngWords, stores.configuration.itemViewCount,
                           CardWords::kAllRanked, stores.sentences, stores.inflectionIndex,
                           WebDictionary::kGoo)};
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
      Cli({"words", "--top", "2", "/dev/zero", (data_ / "page.html").string()}), {}, 1ull << 30);
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
  // "The zorbs rolled" and "A zorb rolls": 16 + 12 bytes, six words; THE and A are NG words.
  EXPECT_EQ(run.output,
            "# data size: 28 bytes; words before aggregation: 6; words after aggregation: 4\n"
            "roll\t2\nzorb\t2\n");

  const auto saved = RunProcess(
      Cli({"words", "--all", "--format", "json", "--save", "--host", "saved", "-"}), page);
  EXPECT_EQ(saved.status, 0) << saved.error;
  EXPECT_NE(saved.output.find("{\"word\": \"ZORB\", \"count\": 2}"), std::string::npos)
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
      {"words", "--https", "a.html"}};
  for (const auto& arguments : badUsage) {
    const auto run = RunProcess(Cli(arguments));
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(run.error.find(kUsageStart), std::string::npos);
  }
  const std::string missing = (data_ / "missing.html").string();
  const auto run = RunProcess(Cli({"words", missing}));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.error, "ファイル " + missing + " は開けません\n");
}

TEST_F(CliTest, AnInterruptEndsTheCrawlAsCancelPrintsWhatWasGatheredAndSavesNothing) {
  WriteFile(data_ / "sites.txt", server_.Url("/") + "\r\n" + server_.Url("/drip.html") + "\r\n" +
                                     server_.Url("/two.html") + "\r\n");
  testing::ChildProcess child(
      Cli({"gather", "--sites", (data_ / "sites.txt").string(), "--all", "--save"}));
  // Interrupted while the slow page arrives.
  ASSERT_TRUE(child.WaitForError("drip.html接続開始\n[2/3] 127.0.0.1コネクション確立\n"));
  child.Signal(SIGINT);
  EXPECT_EQ(child.Finish(), 130) << child.Error();
  // What was gathered until then is counted and printed; the third site never started.
  EXPECT_NE(child.Output().find("ZORB\t2\n"), std::string::npos) << child.Output();
  EXPECT_EQ(child.Error().find("two.html接続開始"), std::string::npos);
  EXPECT_FALSE(fs::exists(data_ / "hosts.dat"));
}

}  // namespace
}  // namespace quillmark
