#include "session/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace quillmark {

namespace {

constexpr std::size_t kRandomPartLength = 6;
constexpr std::string_view kRandomPartBytes =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsTemporaryNameOf(std::string_view candidate, std::string_view name) {
  if (candidate.size() != name.size() + 1 + kRandomPartLength) return false;
  if (candidate.substr(0, name.size()) != name || candidate[name.size()] != '.') return false;
  for (const char c : candidate.substr(name.size() + 1)) {
    if (kRandomPartBytes.find(c) == std::string_view::npos) return false;
  }
  return true;
}

// The file a save must replace: the target of a symbolic link, else `path` itself.
std::string ResolvedTarget(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;  // a dangling link is replaced by the file itself
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// Opens a new, empty temporary beside `target`; returns -1 (errno set) on failure.
int CreateTemporary(const std::string& target, std::string& temporary) {
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, kRandomPartBytes.size() - 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target + '.';
    for (std::size_t i = 0; i < kRandomPartLength; ++i) temporary += kRandomPartBytes[pick(random)];
    // 0666 lets the umask decide, as for any new file the program writes.
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteEveryByte(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t chunk =
        bytes.size() < std::size_t{1} << 30 ? bytes.size() : std::size_t{1} << 30;
    const ssize_t written = write(fd, bytes.data(), chunk);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// After the rename, so the new directory entry survives a power cut as well; a directory
// that cannot be synced changes nothing about the file, which is already complete.
void SyncDirectoryOf(const std::string& target) {
  const auto slash = target.find_last_of('/');
  const std::string directory =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

std::string CannotOpenMessage(const std::string& path) {
  return "ファイル " + path + " は開けません";
}

std::string CannotCreateMessage(const std::string& path) {
  return "ファイル " + path + " を作成できません";
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolvedTarget(path);
  std::string temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) throw FileError(CannotCreateMessage(path), path, errno);

  struct stat old {};
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);

  bool written = WriteEveryByte(fd, bytes) && fsync(fd) == 0;
  int error = written ? 0 : errno;
  // close() reports write errors that some file systems (NFS) only notice now.
  if (close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    throw FileError(CannotCreateMessage(path), path, error);
  }
  SyncDirectoryOf(target);
}

void RemoveLeftoverTemporaries(const std::string& directory,
                               const std::vector<std::string>& names) {
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return;
  const std::string prefix =
      directory.empty() || directory.back() == '/' ? directory : directory + '/';
  while (const dirent* entry = readdir(dir)) {
    const std::string_view candidate = entry->d_name;
    for (const auto& name : names) {
      if (!IsTemporaryNameOf(candidate, name)) continue;
      const std::string path = prefix + std::string(candidate);
      struct stat info {};
      if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(path.c_str());
      break;
    }
  }
  closedir(dir);
}

}  // namespace quillmark
