#include "support/small_file_system.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace quillmark::testing {

namespace {
constexpr const char* kFiller = ".filler";
}

SmallFileSystem::SmallFileSystem(Kind kind) : kind_(kind) {
  if (Directory().empty()) {
    unavailable_ = "cannot make a temporary directory";
    return;
  }
  if (kind_ == Kind::kFileSizeLimit) return;
  if (geteuid() != 0) {
    unavailable_ = "mounting a tmpfs needs root";
    return;
  }
  // A namespace of our own takes the mount away with the process, however it ends.
  if (unshare(CLONE_NEWNS) == 0) mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
  mounted_ = mount("tmpfs", Directory().c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                   "size=256k,mode=0700") == 0;
  if (!mounted_) unavailable_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
}

SmallFileSystem::~SmallFileSystem() {
  Empty();
  // Before the members remove the directory itself.
  if (mounted_) umount2(Directory().c_str(), MNT_DETACH);
}

void SmallFileSystem::Fill() {
  if (filled_ || !unavailable_.empty()) return;
  filled_ = true;
  if (kind_ == Kind::kFileSizeLimit) {
    oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    oldLimit_ = limit.rlim_cur;
    limit.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &limit);
    return;
  }
  const int fd =
      open((Directory() + kFiller).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const std::string chunk(4096, 'f');
  while (fd >= 0 && write(fd, chunk.data(), chunk.size()) > 0) {
  }
  // tmpfs hands out whole pages: byte by byte, the filler's last page is taken as well.
  while (fd >= 0 && write(fd, "f", 1) > 0) {
  }
  if (fd >= 0) close(fd);
}

void SmallFileSystem::Empty() {
  if (!filled_) return;
  filled_ = false;
  if (kind_ == Kind::kFileSizeLimit) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = oldLimit_;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldSignal_);
    return;
  }
  unlink((Directory() + kFiller).c_str());
}

}  // namespace quillmark::testing
