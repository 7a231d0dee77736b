#include "session/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace quillmark {
namespace {

// How often a waiting program looks again: the other's save takes a moment, not minutes.
constexpr std::chrono::milliseconds kRetryPause(50);

std::string LockPath(const std::string& directory) {
  return directory.empty() || directory.back() == '/' ? directory + kLockFile
                                                      : directory + '/' + kLockFile;
}

// One attempt at the lock.
enum class Attempt { kTaken, kHeld, kFailed, kNothingToGuard };

}  // namespace

std::string DirectoryInUseMessage(const std::string& directory, const std::string& reason) {
  std::string message = "データフォルダ " + directory + " は別の Quillmark が使用中です";
  if (!reason.empty()) message += " (" + reason + ")";
  return message;
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

bool DirectoryLock::Take(const std::string& directory, std::chrono::milliseconds wait,
                         const std::function<void()>& waiting) {
  if (fd_ >= 0) return true;
  const std::string path = LockPath(directory);
  const auto failWith = [&](int error) {
    failureReason_ = path + ": " + std::strerror(error);
    return Attempt::kFailed;
  };
  // Never through a symbolic link: a dangling one would make a file wherever it points, and
  // two programs could lock two different files.
  const auto attempt = [&]() -> Attempt {
    failureReason_.clear();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    // flock works on a descriptor open for reading alone (a lock file another user made).
    if (fd < 0 && (errno == EACCES || errno == EROFS))
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
      const int error = errno;
      // No lock file, and none can be made: a directory where no file can be saved.
      struct stat facts {};
      if (::lstat(path.c_str(), &facts) != 0 && errno == ENOENT &&
          (error == EACCES || error == EROFS || error == ENOENT))
        return Attempt::kNothingToGuard;
      return failWith(error);
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return error == EWOULDBLOCK ? Attempt::kHeld : failWith(error);
    }
    fd_ = fd;
    return Attempt::kTaken;
  };

  const auto deadline = std::chrono::steady_clock::now() + wait;
  bool told = false;
  while (true) {
    const Attempt result = attempt();
    if (result == Attempt::kTaken || result == Attempt::kNothingToGuard) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (!told && waiting) waiting();
    told = true;
    std::this_thread::sleep_for(kRetryPause);
  }
}

}  // namespace quillmark
