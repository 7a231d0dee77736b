#include "session/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temporary_directory.h"

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::TemporaryDirectory;
using testing::WriteFileBytes;

TEST(ReplaceFileAtomically, KeepsThePermissionsAndReplacesALinksTarget) {
  TemporaryDirectory dir;
  const std::string path = dir.Path() + "hosts.dat";
  WriteFileBytes(path, "old\r\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ReplaceFileAtomically(path, "new\r\n");
  EXPECT_EQ(FileBytes(path), "new\r\n");
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_symlink("hosts.dat", dir.Path() + "link.dat");
  ReplaceFileAtomically(dir.Path() + "link.dat", "through the link\r\n");
  EXPECT_TRUE(fs::is_symlink(dir.Path() + "link.dat"));
  EXPECT_EQ(FileBytes(path), "through the link\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(RemoveLeftoverTemporaries, RemovesOnlyTheTemporariesOfTheNamedFiles) {
  const struct {
    const char* name;
    bool removed;
  } cases[] = {
      {"sum.dat.Ab3dE9", true},    {"hosts.dat.zzzzzz", true}, {"sum.dat", false},
      {"sum.dat.Ab3dE", false},    {"sum.dat.Ab3dE9x", false}, {"sum.dat.Ab-dE9", false},
      {"other.dat.Ab3dE9", false}, {"sum.datxAb3dE9", false},
  };
  TemporaryDirectory dir;
  for (const auto& c : cases) WriteFileBytes(dir.Path() + c.name, "x");
  fs::create_directory(dir.Path() + "hosts.dat.Dir123");  // not a file of ours

  RemoveLeftoverTemporaries(dir.Path(), {"sum.dat", "hosts.dat"});
  for (const auto& c : cases) EXPECT_EQ(fs::exists(dir.Path() + c.name), !c.removed) << c.name;
  EXPECT_TRUE(fs::is_directory(dir.Path() + "hosts.dat.Dir123"));
}

}  // namespace
}  // namespace quillmark
