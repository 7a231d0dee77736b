// The data files and the configuration on a real disk.

#include "session/qt_store_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>
#include <map>

#include "session/session.h"
#include "support/small_file_system.h"
#include "support/temporary_directory.h"

namespace quillmark {
namespace {

using testing::SmallFileSystem;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(QtStoreFiles, AWriteThatFailsLeavesTheOldFileAndNamesThePath) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString program = dir.path() + "/";
  QtStoreFiles files(program);
  files.Write("hosts.dat", "old\r\n");
  files.Write("hosts.dat", "new\r\n");
  EXPECT_EQ(ReadAll(program + "hosts.dat"), QByteArray("new\r\n"));

  QtStoreFiles missing(program + "gone/");
  try {
    missing.Write("hosts.dat", "x");
    ADD_FAILURE() << "the write did not fail";
  } catch (const FileError& error) {
    EXPECT_EQ(std::string(error.what()),
              "ファイル " + program.toStdString() + "gone/hosts.dat を作成できません");
  }
  // A data file name taken by a directory: the rename fails and the directory stays.
  ASSERT_TRUE(QDir(dir.path()).mkdir("ngwords.dat"));
  EXPECT_THROW(files.Write("ngwords.dat", "x"), FileError);
  EXPECT_TRUE(QFileInfo(program + "ngwords.dat").isDir());
}

TEST(QtStoreFiles, TheFirstSaveMakesTheUsersDataDirectoryAndPutsEveryFileThere) {
  testing::TemporaryDirectory home;
  ASSERT_FALSE(home.Path().empty());
  const std::string data = home.Path() + ".local/share/quillmark/";
  QtStoreFiles files(QString::fromStdString(data), MissingDirectory::kCreate);
  Session session(files);
  IniSettingsFile settings(ConfigurationPath(data));
  session.Load(settings);
  session.Save(settings);
  for (const char* name : {"hosts.dat", "ngwords.dat", "mappedwords.dat", "quillmark.ini"})
    EXPECT_TRUE(std::filesystem::is_regular_file(data + name)) << name;
}

class FullDiskAtExit : public ::testing::TestWithParam<SmallFileSystem::Kind> {};

TEST_P(FullDiskAtExit, KeepsEveryByteOfTheOldFilesAndNamesEachOne) {
  SmallFileSystem disk(GetParam());
  if (!disk.Unavailable().empty()) GTEST_SKIP() << disk.Unavailable();
  const std::string program = disk.Directory();
  const std::map<std::string, std::string> old{
      {"hosts.dat", "http://mine.example/\r\n"},
      {"ngwords.dat", "\r\nMINE\r\n"},
      {"mappedwords.dat", "RUN\r\n"},
      {"sum.dat", "An old sentence\r\n"},
      {"quillmark.ini", "[config]\r\nItemViewCount=12\r\n"},
  };
  for (const auto& [name, bytes] : old) testing::WriteFileBytes(program + name, bytes);

  QtStoreFiles files(QString::fromStdString(program));
  Session session(files);
  IniSettingsFile startSettings(ConfigurationPath(program));
  session.Load(startSettings);
  session.Stores().configuration.itemViewCount = 50;

  disk.Fill();
  try {
    IniSettingsFile exitSettings(ConfigurationPath(program));
    session.Save(exitSettings);
    ADD_FAILURE() << "a full disk went unreported";
  } catch (const FileError& error) {
    std::string expected;
    for (const char* name :
         {"hosts.dat", "ngwords.dat", "quillmark.ini", "mappedwords.dat", "sum.dat"}) {
      expected += (expected.empty() ? "" : "\n") + CannotCreateMessage(program + name);
    }
    EXPECT_EQ(error.what(), expected);
  }
  disk.Empty();

  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(program)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(old.count(name)) << "left behind: " << name;
    ++entries;
  }
  EXPECT_EQ(entries, old.size());
  for (const auto& [name, bytes] : old) EXPECT_EQ(testing::FileBytes(program + name), bytes);
}

INSTANTIATE_TEST_SUITE_P(SmallFileSystems, FullDiskAtExit,
                         ::testing::Values(SmallFileSystem::Kind::kTmpfs,
                                           SmallFileSystem::Kind::kFileSizeLimit),
                         [](const auto& info) {
                           return info.param == SmallFileSystem::Kind::kTmpfs ? "Tmpfs"
                                                                              : "FileSizeLimit";
                         });

}  // namespace
}  // namespace quillmark
