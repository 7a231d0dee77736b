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
  EXPECT_EQ(session.Stores().dictionary.at("RAN"), "RUN");

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

}  // namespace
}  // namespace quillmark
