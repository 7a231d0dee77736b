// Where the data files are kept: the program directory, or the user's data directory; and the
// lock that lets one program at a time save there.

#include "session/data_directory.h"

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "session/directory_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "session/directory_lock.h"
#include "support/temporary_directory.h"

namespace quillmark {
namespace {

constexpr const char* kProgram = "/opt/quillmark/bin/";
constexpr const char* kUserData = "/home/aki/.local/share/quillmark/";

TEST(DataDirectory, TheProgramDirectoryWhenItCanBeWrittenOrHoldsTheConfiguration) {
  struct Case {
    const char* what;
    ProgramDirectoryFacts facts;
    const char* chosen;
  };
  const Case cases[] = {
      {"a build tree or a portable copy", {.writable = true}, kProgram},
      {"a portable copy on a read-only disk", {.holdsConfiguration = true}, kProgram},
      {"an installation that was given a configuration",
       {.holdsConfiguration = true, .installed = true},
       kProgram},
      {"an installation this user cannot write", {.installed = true}, kUserData},
      {"an installation root (or its owner in ~/.local) could write",
       {.writable = true, .installed = true},
       kUserData},
      {"a directory nobody may write", {}, kUserData},
  };
  for (const Case& c : cases) {
    const DataDirectory data = ChooseDataDirectory(kProgram, c.facts, kUserData);
    EXPECT_EQ(data.path, c.chosen) << c.what;
    EXPECT_EQ(data.createOnSave, data.path == kUserData) << c.what;
  }
  // Without a home there is nowhere else: the program directory, and its save errors.
  EXPECT_EQ(ChooseDataDirectory(kProgram, {}, "").path, kProgram);
}

TEST(DataDirectory, TheUsersDataDirectoryFollowsTheXdgRules) {
  EXPECT_EQ(UserDataDirectory("/data/aki", "/home/aki"), "/data/aki/quillmark/");
  EXPECT_EQ(UserDataDirectory("/data/aki/", "/home/aki"), "/data/aki/quillmark/");
  EXPECT_EQ(UserDataDirectory(nullptr, "/home/aki"), "/home/aki/.local/share/quillmark/");
  EXPECT_EQ(UserDataDirectory("", "/home/aki/"), "/home/aki/.local/share/quillmark/");
  EXPECT_EQ(UserDataDirectory("relative/data", "/home/aki"), "/home/aki/.local/share/quillmark/");
  EXPECT_EQ(UserDataDirectory(nullptr, nullptr), "");
  EXPECT_EQ(UserDataDirectory(nullptr, "not/absolute"), "");
}

TEST(DataDirectory, AnInstallationIsKnownByItsDesktopEntryBesideBin) {
  testing::TemporaryDirectory prefix;
  ASSERT_FALSE(prefix.Path().empty());
  const std::string bin = prefix.Path() + "bin/";
  ASSERT_TRUE(CreateMissingDirectories(bin));
  EXPECT_EQ(DataDirectoryAtStartUp(bin).path, bin);  // writable (a test runs where it may write)

  ASSERT_TRUE(CreateMissingDirectories(prefix.Path() + "share/applications"));
  testing::WriteFileBytes(prefix.Path() + "share/applications/quillmark.desktop", "");
  EXPECT_NE(DataDirectoryAtStartUp(bin).path, bin);

  testing::WriteFileBytes(bin + "quillmark.ini", "");
  EXPECT_EQ(DataDirectoryAtStartUp(bin).path, bin);
}

TEST(DataDirectory, CreatesTheMissingDirectoriesForThisUserOnly) {
  testing::TemporaryDirectory home;
  ASSERT_FALSE(home.Path().empty());
  const std::string data = home.Path() + ".local/share/quillmark/";
  ASSERT_TRUE(CreateMissingDirectories(data));
  for (const std::string& made : {home.Path() + ".local", data}) {
    struct stat status {};
    ASSERT_EQ(::stat(made.c_str(), &status), 0) << made;
    EXPECT_EQ(status.st_mode & 0777, 0700u) << made;
  }
  EXPECT_TRUE(CreateMissingDirectories(data));  // already there

  testing::WriteFileBytes(home.Path() + "file", "");
  EXPECT_FALSE(CreateMissingDirectories(home.Path() + "file/quillmark/"));
}

// Another program holds the lock (a second descriptor of the same file stands for it): a taker
// that may wait says so once, however many times it looks again, and one that may not gives up
// without a word.
TEST(DirectoryLock, TakenWhenFreeElseWaitedForSayingSoOnce) {
  struct Case {
    const char* what;
    bool held;
    int waitMs;  // 200: four pauses and more before giving up
    bool taken;
    int waitingCalls;
  };
  const Case cases[] = {
      {"a free directory", false, 200, true, 0},
      {"held, and no wait", true, 0, false, 0},
      {"held for the whole wait", true, 200, false, 1},
  };
  for (const Case& c : cases) {
    testing::TemporaryDirectory data;
    DirectoryLock other;
    if (c.held) {
      ASSERT_TRUE(other.Take(data.Path())) << c.what;
    }
    DirectoryLock lock;
    int waitingCalls = 0;
    EXPECT_EQ(lock.Take(data.Path(), std::chrono::milliseconds(c.waitMs), [&] { ++waitingCalls; }),
              c.taken)
        << c.what;
    EXPECT_EQ(lock.Held(), c.taken) << c.what;
    EXPECT_EQ(waitingCalls, c.waitingCalls) << c.what;
  }
  // A directory that does not exist holds no saves: nothing to guard, and no lock to hold.
  testing::TemporaryDirectory data;
  DirectoryLock lock;
  EXPECT_TRUE(lock.Take(data.Path() + "missing/"));
  EXPECT_FALSE(lock.Held());
}

// A lock file that cannot be opened or locked is no lock at all: the directory counts as held,
// with the reason, and nothing is made where a symbolic link points.
TEST(DirectoryLock, ALockFileThatCannotBeOpenedFailsClosed) {
  struct Case {
    const char* name;
    std::function<void(const std::string& lock, const std::string& elsewhere)> make;
  };
  const Case cases[] = {
      {"not a file", [](const std::string& lock,
                        const std::string&) { std::filesystem::create_directory(lock); }},
      {"a dangling symbolic link",
       [](const std::string& lock, const std::string& elsewhere) {
         std::filesystem::create_symlink(elsewhere, lock);
       }},
  };
  for (const Case& c : cases) {
    testing::TemporaryDirectory directory;
    const std::string lockPath = directory.Path() + kLockFile;
    const std::string elsewhere = directory.Path() + "elsewhere";
    c.make(lockPath, elsewhere);
    DirectoryLock lock;
    int waited = 0;
    EXPECT_FALSE(lock.Take(directory.Path(), std::chrono::milliseconds(1), [&] { ++waited; }))
        << c.name;
    EXPECT_FALSE(lock.Held()) << c.name;
    EXPECT_EQ(waited, 1) << c.name;  // waited as for a held lock
    EXPECT_EQ(lock.FailureReason().rfind(lockPath + ": ", 0), 0u) << lock.FailureReason();
    EXPECT_FALSE(std::filesystem::exists(elsewhere)) << c.name;
    EXPECT_EQ(DirectoryInUseMessage("/d/", "why"),
              "データフォルダ /d/ は別の Quillmark が使用中です (why)");
  }
}

}  // namespace
}  // namespace quillmark
