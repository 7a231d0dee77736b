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

namespace quillmark {
namespace {

// The level as a source of known words, and the marks against it: ranks 1-4 are A1 ... A4
// (AA1 A2's comparative), the level 2.
TEST(Session, TheLevelsWordsAreKnownUntilMarkedUnknownAndMarksMoveIt) {
  testing::FakeStoreFiles files;
  files.builtIns["NGWORDS"] = "\r\nTHE\r\n";
  files.builtIns["FREQUENCY_RANKS"] = "A1\r\nA2 AA2\r\nA3\r\nA4\r\n";
  testing::FakeSettingsFile settings;
  Session session(files);
  session.Load(settings);
  EXPECT_EQ(session.KnownWords(), session.Stores().ngWords);  // level 0: the NG words alone
  EXPECT_FALSE(session.MarkUnknown("A1"));
  EXPECT_TRUE(session.Stores().unknownWords.empty());

  session.Stores().configuration.vocabularyLevel = 2;
  EXPECT_EQ(session.KnownWords(), (std::set<std::string>{"", "THE", "A1", "A2", "AA2"}));
  EXPECT_TRUE(session.LevelKnows("A2"));
  EXPECT_FALSE(session.LevelKnows("A3"));  // the boundary: rank 2 known, 3 not

  EXPECT_TRUE(session.MarkUnknown("A2"));  // 知らない beats the level, and lowers it
  EXPECT_EQ(session.Stores().configuration.vocabularyLevel, 1);
  EXPECT_EQ(session.Stores().unknownWords, (std::set<std::string>{"A2"}));
  EXPECT_FALSE(session.KnownWords().contains("A2"));
  EXPECT_TRUE(session.MarkKnown("A4"));  // 知っている beyond the level raises it
  EXPECT_EQ(session.Stores().configuration.vocabularyLevel, 2);
  EXPECT_TRUE(session.KnownWords().contains("A4"));
  session.MarkKnown("A2");  // off the unknown words, onto the NG-word list
  EXPECT_TRUE(session.Stores().unknownWords.empty());
  EXPECT_TRUE(session.Stores().ngWords.contains("A2"));

  // The main window's ticks, taken in one go.
  const std::set<std::string> before = session.Stores().ngWords;
  session.Stores().ngWords.insert("A3");
  EXPECT_TRUE(session.LearnFromNewKnownWords(before));
  EXPECT_EQ(session.Stores().configuration.vocabularyLevel, 3);
}

}  // namespace
}  // namespace quillmark
