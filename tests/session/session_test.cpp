#include "session/session.h"

#include <gtest/gtest.h>

#include "support/fake_store_files.h"

namespace quillmark {
namespace {

using testing::FakeSettingsFile;
using testing::FakeStoreFiles;
using Names = std::vector<std::string>;

TEST(Session, SavesEveryFileInTheExitOrderAfterACompleteLoad) {
  FakeStoreFiles files;
  files.builtIns["MAPPING_DIC"] = "RAN RUN";
  files.files["sum.dat"] = "";
  FakeSettingsFile settings;
  Session session(files);
  session.Load(settings);
  EXPECT_TRUE(session.Loaded());
  EXPECT_TRUE(session.Stores().dictionary.empty());  // read at its first use
  EXPECT_EQ(session.Dictionary().at("RAN"), "RUN");

  session.Save(settings);
  EXPECT_EQ(files.writes, (Names{"hosts.dat", "ngwords.dat", "mappedwords.dat", "sum.dat"}));
  EXPECT_EQ(settings.commits, 1);
}

TEST(Session, AStartUpThatFailedPartWayWritesNothing) {
  FakeStoreFiles files;
  files.files["hosts.dat"] = "http://mine.example/\r\n";
  files.unreadable.insert("mappedwords.dat");  // read after hosts.dat and sum.dat
  FakeSettingsFile settings;
  Session session(files);
  EXPECT_THROW(session.Load(settings), FileError);
  EXPECT_FALSE(session.Loaded());

  session.Save(settings);
  EXPECT_TRUE(files.writes.empty());
  EXPECT_EQ(settings.commits, 0);
  EXPECT_EQ(files.files.at("hosts.dat"), "http://mine.example/\r\n");
}

TEST(Session, ARunReplacesTheStoreRankingAndFiguresButKeepsWhatEarlierRunsLearned) {
  FakeStoreFiles files;
  files.builtIns["MAPPING_DIC"] = "SHIPS SHIP\r\nCATS CAT";
  files.files["sum.dat"] = "Old history line\r\n";
  FakeSettingsFile settings;
  Session session(files);
  session.Load(settings);
  const MainStores& stores = session.Stores();

  session.BeginRun();
  session.AggregateGathered({{"a.example", {"Ships sail", "The ship sank"}}});
  EXPECT_EQ(stores.sentences.count("History"), 0u);
  EXPECT_EQ(stores.figures.dataSize, 23u);
  EXPECT_EQ(stores.ranking.back(), (std::pair<std::string, std::int32_t>{"SHIP", 2}));
  EXPECT_EQ(stores.inflectionIndex.at("SHIP"), (std::set<std::string>{"SHIPS"}));

  session.BeginRun();
  EXPECT_TRUE(stores.ranking.empty());
  EXPECT_EQ(stores.figures.dataSize, 0u);
  session.AggregateGathered({{"b.example", {"Cats sleep"}}});
  EXPECT_EQ(stores.figures.wordsAfterAggregation, 2);   // CAT and SLEEP
  EXPECT_EQ(stores.inflectionIndex.count("SHIP"), 1u);  // the index is only extended
}

}  // namespace
}  // namespace quillmark
