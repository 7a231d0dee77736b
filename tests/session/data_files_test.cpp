#include "session/data_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_store_files.h"

namespace quillmark {
namespace {

using testing::FakeSettingsFile;
using testing::FakeStoreFiles;
using Words = std::vector<std::string>;

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    files.builtIns["HOSTS"] = "http://b.example/\r\nhttp://A.example/\r\n";
    files.builtIns["NGWORDS"] = "\r\nAND\r\nthe\r\n";
    files.builtIns["MAPPEDWORDS"] = "car\r\nRUN\r\n";
    files.builtIns["MAPPING_DIC"] =
        "ABACUSES ABACUS\r\nANALYSES ANALYSE\r\nANALYSES ANALYSIS\r\nRAN RUN";
    files.directories.insert("/program");
  }

  void Load() {
    LoadStoresAndConfiguration(stores, files, settings);
    LoadMappingDictionary(stores, files);
  }

  Words Sites() const { return stores.sites.Addresses(); }

  FakeStoreFiles files;
  FakeSettingsFile settings;
  MainStores stores;
};

TEST_F(DataFiles, WithoutDataFilesTheBuiltInListsAndDefaultsAreUsed) {
  Load();
  EXPECT_EQ(Sites(), (Words{"http://A.example/", "http://b.example/", kFurtherBuiltInSites[0],
                            kFurtherBuiltInSites[1]}));
  EXPECT_EQ(stores.ngWords, (std::set<std::string>{"", "AND", "THE"}));
  EXPECT_EQ(stores.mappedWords, (Words{"CAR", "RUN"}));
  EXPECT_TRUE(stores.sentences.empty());
  EXPECT_EQ(stores.configuration.itemViewCount, 30);
  EXPECT_EQ(stores.configuration.allowedLevel, 1);
  EXPECT_FALSE(stores.configuration.isLevel);
  EXPECT_EQ(stores.configuration.lastSavedDirectory, "/program");
  EXPECT_EQ(files.currentDirectory, "/program");
  EXPECT_EQ(stores.programDirectory, "/program/");
  EXPECT_EQ(files.temporariesRemovedFor, (Words{"hosts.dat", "ngwords.dat", "mappedwords.dat",
                                                "sum.dat", "quillmark.ini", "unknownwords.dat"}));
}

TEST_F(DataFiles, HostsFileReplacesTheBuiltInSitesButNotTheTwoFurtherOnes) {
  files.files["hosts.dat"] = "http://mine.example/\r\n";
  Load();
  EXPECT_EQ(Sites(),
            (Words{kFurtherBuiltInSites[0], "http://mine.example/", kFurtherBuiltInSites[1]}));
}

TEST_F(DataFiles, NgWordsFileIsUpperCasedAndAddedToTheBuiltInList) {
  files.files["ngwords.dat"] = "zebra\r\nand\r\n";
  Load();
  EXPECT_EQ(stores.ngWords, (std::set<std::string>{"", "AND", "THE", "ZEBRA"}));
}

TEST_F(DataFiles, MappedWordsFileKeepsItsCaseAndComesBeforeTheBuiltInWords) {
  files.files["mappedwords.dat"] = "Ship\r\nRUN\r\n";
  Load();
  EXPECT_EQ(stores.mappedWords, (Words{"Ship", "RUN", "CAR", "RUN"}));
}

TEST_F(DataFiles, SumFileLinesBecomeTheDistinctHistorySentences) {
  files.files["sum.dat"] = "b line\r\na line\r\nb line\r\n";
  Load();
  ASSERT_EQ(stores.sentences.size(), 1u);
  EXPECT_EQ(stores.sentences.at("History"), (std::set<std::string>{"a line", "b line"}));

  files.files["sum.dat"] = "";
  MainStores empty;
  LoadStoresAndConfiguration(empty, files, settings);
  EXPECT_TRUE(empty.sentences.count("History"));
}

TEST_F(DataFiles, LaterDictionaryLineWinsAndBlanksSeparateTheTwoFields) {
  files.builtIns["MAPPING_DIC"] =
      "ANALYSES ANALYSE\r\nANALYSES ANALYSED\r\n  MICE\tMOUSE extra\r\nLONELY\r\n"
      "ANALYSES ANALYSIS\r\n";  // a repeat behind a later form wins as well
  Load();
  EXPECT_EQ(stores.dictionary, (MappingDictionary{{"ANALYSES", "ANALYSIS"}, {"MICE", "MOUSE"}}));
}

TEST_F(DataFiles, ConfigurationValuesAreReadWithoutClamping) {
  settings.values = {{"config/ItemViewCount", "500"},
                     {"config/LastSavedDirectory", "/reports"},
                     {"link/AllowedLevel", "-3"},
                     {"link/IsLevel", "2"}};
  files.directories.insert("/reports");
  Load();
  EXPECT_EQ(stores.configuration.itemViewCount, 500);
  EXPECT_EQ(stores.configuration.allowedLevel, -3);
  EXPECT_TRUE(stores.configuration.isLevel);
  EXPECT_EQ(files.currentDirectory, "/reports");
}

TEST_F(DataFiles, NonNumbersGiveTheDefaultsAndAMissingDirectoryIsIgnored) {
  settings.values = {{"config/ItemViewCount", "many"},
                     {"config/LastSavedDirectory", "/gone"},
                     {"link/AllowedLevel", "2x"},
                     {"link/IsLevel", ""}};
  Load();
  EXPECT_EQ(stores.configuration.itemViewCount, 30);
  EXPECT_EQ(stores.configuration.allowedLevel, 1);
  EXPECT_FALSE(stores.configuration.isLevel);
  EXPECT_EQ(stores.configuration.lastSavedDirectory, "/gone");
  EXPECT_EQ(files.currentDirectory, "");
}

// FetchHttps, ArticleText (on by default) and HideNames (off) are read like the other keys, but a
// file without one gets it only once it differs from its default: a configuration that never
// changed them keeps its bytes.
TEST_F(DataFiles, SwitchesAreWrittenOnlyOnceChangedOrInTheFile) {
  struct Case {
    const char* inFile;  // nullptr: no such key
    bool read;
    bool setTo;
    const char* written;  // nullptr: still no such key
  };
  const struct Switch {
    const char* key;
    bool Configuration::*value;
    std::vector<Case> cases;
  } switches[] = {
      {"link/FetchHttps",
       &Configuration::fetchHttps,
       {{nullptr, true, true, nullptr},
        {nullptr, true, false, "0"},
        {"1", true, false, "0"},
        {"0", false, false, "0"},
        {"0", false, true, "1"},
        {"yes", true, true, "1"}}},
      {"link/FollowArticles",
       &Configuration::followArticles,
       {{nullptr, true, true, nullptr}, {nullptr, true, false, "0"}, {"0", false, true, "1"}}},
      {"config/HideNames",
       &Configuration::hideNames,
       {{nullptr, false, false, nullptr},
        {nullptr, false, true, "1"},
        {"1", true, false, "0"},
        {"0", false, false, "0"},
        {"yes", false, true, "1"}}},
      {"config/ArticleText",
       &Configuration::articleText,
       {{nullptr, true, true, nullptr},
        {nullptr, true, false, "0"},
        {"0", false, false, "0"},
        {"1", true, true, "1"}}}};
  for (const Switch& s : switches) {
    for (const Case& c : s.cases) {
      SCOPED_TRACE(std::string(s.key) + " " + (c.inFile == nullptr ? "no key" : c.inFile));
      settings.values.clear();
      if (c.inFile != nullptr) settings.values[s.key] = c.inFile;
      Load();
      EXPECT_EQ(stores.configuration.*s.value, c.read);
      stores.configuration.*s.value = c.setTo;
      SaveAllStores(stores, files, settings, "");
      const auto written = settings.values.find(s.key);
      if (c.written == nullptr) {
        EXPECT_EQ(written, settings.values.end());
      } else {
        ASSERT_NE(written, settings.values.end());
        EXPECT_EQ(written->second, c.written);
      }
    }
  }
}

// ArticlesPerSite and SitesAtOnce are read into their ranges and, like a switch, written only
// once they differ from their defaults or the file has them.
TEST_F(DataFiles, CountsAreKeptInTheirRangesAndWrittenOnlyOnceChanged) {
  const struct {
    const char* key;
    std::int32_t Configuration::*member;
    const char* inFile;  // nullptr: no such key
    std::int32_t read;
    std::int32_t setTo;
    const char* written;  // nullptr: still no such key
  } cases[] = {{"link/ArticlesPerSite", &Configuration::articlesPerSite, nullptr, 10, 10, nullptr},
               {"link/ArticlesPerSite", &Configuration::articlesPerSite, nullptr, 10, 25, "25"},
               {"link/ArticlesPerSite", &Configuration::articlesPerSite, "0", 1, 1, "1"},
               {"link/ArticlesPerSite", &Configuration::articlesPerSite, "101", 100, 100, "100"},
               {"link/ArticlesPerSite", &Configuration::articlesPerSite, "ten", 10, 10, "10"},
               {"link/ArticlesPerSite", &Configuration::articlesPerSite, "7", 7, 10, "10"},
               {"link/SitesAtOnce", &Configuration::sitesAtOnce, nullptr, 6, 6, nullptr},
               {"link/SitesAtOnce", &Configuration::sitesAtOnce, nullptr, 6, 1, "1"},
               {"link/SitesAtOnce", &Configuration::sitesAtOnce, "0", 1, 1, "1"},
               {"link/SitesAtOnce", &Configuration::sitesAtOnce, "17", 16, 16, "16"},
               {"link/SitesAtOnce", &Configuration::sitesAtOnce, "8", 8, 6, "6"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + (c.inFile == nullptr ? "no key" : c.inFile));
    settings.values.clear();
    if (c.inFile != nullptr) settings.values[c.key] = c.inFile;
    Load();
    EXPECT_EQ(stores.configuration.*c.member, c.read);
    stores.configuration.*c.member = c.setTo;
    SaveAllStores(stores, files, settings, "");
    const auto written = settings.values.find(c.key);
    if (c.written == nullptr) {
      EXPECT_EQ(written, settings.values.end());
    } else {
      ASSERT_NE(written, settings.values.end());
      EXPECT_EQ(written->second, c.written);
    }
  }
}

TEST(ParseIntegerSetting, AcceptsOnlyDecimalNumbers) {
  EXPECT_EQ(ParseIntegerSetting(std::string("42"), 7), 42);
  EXPECT_EQ(ParseIntegerSetting(std::string("-5"), 7), -5);
  EXPECT_EQ(ParseIntegerSetting(std::string(" 8 "), 7), 8);
  EXPECT_EQ(ParseIntegerSetting(std::string("99999999999"), 7), 7);
  EXPECT_EQ(ParseIntegerSetting(std::string("0x10"), 7), 7);
  EXPECT_EQ(ParseIntegerSetting(std::nullopt, 7), 7);
}

TEST_F(DataFiles, AnUnreadableFileStopsLoadingWithItsPath) {
  files.unreadable.insert("ngwords.dat");
  try {
    Load();
    FAIL() << "loading went on";
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(), "ファイル /program/ngwords.dat は開けません");
  }
}

TEST_F(DataFiles, SavingWritesEveryFileInOrderWithItsRules) {
  files.files["mappedwords.dat"] = "Zed\r\nCAR\r\n";
  files.files["sum.dat"] = "";
  Load();
  stores.sentences = {{"a.example", {"Same one", "Only a"}}, {"b.example", {"Same one"}}};
  stores.configuration.itemViewCount = 12;
  stores.configuration.isLevel = true;
  files.directories.insert("/reports");
  files.writes.clear();

  SaveAllStores(stores, files, settings, "/reports/words.html");

  EXPECT_EQ(files.writes, (Words{"hosts.dat", "ngwords.dat", "mappedwords.dat", "sum.dat"}));
  EXPECT_EQ(files.files["ngwords.dat"], "\r\nAND\r\nTHE\r\n");
  EXPECT_EQ(files.files["mappedwords.dat"], "CAR\r\nRUN\r\nZed\r\n");
  EXPECT_EQ(files.files["sum.dat"], "Only a\r\nSame one\r\n");
  EXPECT_EQ(stores.mappedWords, (Words{"CAR", "RUN", "Zed"}));
  EXPECT_EQ(settings.values["config/ItemViewCount"], "12");
  EXPECT_EQ(settings.values["config/LastSavedDirectory"], "/reports");
  EXPECT_EQ(settings.values["link/AllowedLevel"], "1");
  EXPECT_EQ(settings.values["link/IsLevel"], "1");
}

TEST_F(DataFiles, SumFileIsWrittenOnlyWhenItExistsAndHistoryRoundTrips) {
  Load();
  SaveAllStores(stores, files, settings, "");
  EXPECT_EQ(files.files.count("sum.dat"), 0u);

  files.files["sum.dat"] = "b\r\na\r\nb\r\n";
  MainStores again;
  LoadStoresAndConfiguration(again, files, settings);
  SaveAllStores(again, files, settings, "");
  EXPECT_EQ(files.files["sum.dat"], "a\r\nb\r\n");
}

TEST_F(DataFiles, LastSavedDirectoryStaysWhenNoReportWasSavedOrItsDirectoryIsGone) {
  settings.values["config/LastSavedDirectory"] = "/old";
  Load();
  SaveAllStores(stores, files, settings, "");
  EXPECT_EQ(settings.values["config/LastSavedDirectory"], "/old");
  SaveAllStores(stores, files, settings, "/vanished/report.html");
  EXPECT_EQ(settings.values["config/LastSavedDirectory"], "/old");
  files.directories.insert("/two\nlines");  // cannot be one line of the file
  SaveAllStores(stores, files, settings, "/two\nlines/report.html");
  EXPECT_EQ(settings.values["config/LastSavedDirectory"], "/old");
}

TEST_F(DataFiles, AFailedWriteKeepsTheOldFileAndTheOthersAreStillWritten) {
  files.files["hosts.dat"] = "http://mine.example/\r\n";
  Load();
  files.unwritable = {"hosts.dat", "mappedwords.dat"};
  files.writes.clear();
  try {
    SaveAllStores(stores, files, settings, "");
    FAIL() << "the failure was not reported";
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(),
                 "ファイル /program/hosts.dat を作成できません\n"
                 "ファイル /program/mappedwords.dat を作成できません");
  }
  EXPECT_EQ(files.files["hosts.dat"], "http://mine.example/\r\n");
  EXPECT_EQ(files.files.count("ngwords.dat"), 1u);
  EXPECT_EQ(settings.commits, 1);
}

// KeepArticlesDays is read (default 30) and never written: the designed file stays as it was.
TEST_F(DataFiles, KeepArticlesDaysIsReadAndNeverAdded) {
  const std::vector<std::pair<const char*, std::int32_t>> cases = {
      {nullptr, 30}, {"7", 7}, {" 0 ", 0}, {"a month", 30}};
  for (const auto& [inFile, days] : cases) {
    SCOPED_TRACE(inFile == nullptr ? "no key" : inFile);
    settings.values.clear();
    if (inFile != nullptr) settings.values["config/KeepArticlesDays"] = inFile;
    Load();
    EXPECT_EQ(stores.configuration.keepArticlesDays, days);
    SaveAllStores(stores, files, settings, "");
    EXPECT_EQ(settings.values.contains("config/KeepArticlesDays"), inFile != nullptr);
  }
}

}  // namespace
}  // namespace quillmark

namespace quillmark {
namespace {

// VocabularyLevel and unknownwords.dat: absent from a learner's files until a level is set or
// a word marked 知らない, then kept (upper case) and read back; a failed write is reported and
// leaves the old file.
TEST_F(DataFiles, TheLevelAndTheUnknownWordsAreKeptOnlyOnceSet) {
  Load();
  SaveAllStores(stores, files, settings, "");
  EXPECT_EQ(files.files.count("unknownwords.dat"), 0u);
  EXPECT_EQ(settings.values.count("config/VocabularyLevel"), 0u);

  stores.configuration.vocabularyLevel = 6200;
  stores.unknownWords = {"COURT", "SHIP"};
  SaveAllStores(stores, files, settings, "");
  EXPECT_EQ(files.files["unknownwords.dat"], "COURT\r\nSHIP\r\n");
  EXPECT_EQ(settings.values["config/VocabularyLevel"], "6200");

  files.files["unknownwords.dat"] = "court\r\nShip\r\n";
  settings.values["config/VocabularyLevel"] = "-5";  // a level below 0 is none
  MainStores again;
  LoadStoresAndConfiguration(again, files, settings);
  EXPECT_EQ(again.unknownWords, (std::set<std::string>{"COURT", "SHIP"}));
  EXPECT_EQ(again.configuration.vocabularyLevel, 0);

  // Emptied, the file stays and is emptied; the key stays at 0.
  again.unknownWords.clear();
  files.unwritable = {"unknownwords.dat"};
  EXPECT_THROW(SaveAllStores(again, files, settings, ""), FileError);
  EXPECT_EQ(files.files["unknownwords.dat"], "court\r\nShip\r\n");
  files.unwritable.clear();
  SaveAllStores(again, files, settings, "");
  EXPECT_EQ(files.files["unknownwords.dat"], "");
  EXPECT_EQ(settings.values["config/VocabularyLevel"], "0");
}

}  // namespace
}  // namespace quillmark
