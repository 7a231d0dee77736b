// The data files on a real disk, through QSaveFile.

#include "session/qt_store_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quillmark {
namespace {

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

}  // namespace
}  // namespace quillmark
