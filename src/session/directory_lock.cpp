#include "session/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace quillmark {
namespace {

// How often a waiting program looks again: the other's save takes a moment, not minutes.
constexpr std::chrono::milliseconds kRetryPause(50);

int OpenLockFile(const std::string& directory) {
  const std::string path = directory.empty() || directory.back() == '/'
                               ? directory + kLockFile
                               : directory + '/' + kLockFile;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0) return fd;
  // flock works on a descriptor open for reading alone (a lock file another user made).
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace

std::string DirectoryInUseMessage(const std::string& directory) {
  return "データフォルダ " + directory + " は別の Quillmark が使用中です";
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

bool DirectoryLock::Take(const std::string& directory, std::chrono::milliseconds wait,
                         const std::function<void()>& waiting) {
  if (fd_ >= 0) return true;
  const int fd = OpenLockFile(directory);
  if (fd < 0) return true;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  bool told = false;
  while (true) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return true;
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {  // a file system without locks: as good as none
      ::close(fd);
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return false;
    }
    if (!told && waiting) waiting();
    told = true;
    std::this_thread::sleep_for(kRetryPause);
  }
}

}  // namespace quillmark
