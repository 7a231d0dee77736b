#include "cli/capped_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "net/powersock.h"
#include "session/atomic_file.h"

namespace quillmark {
namespace {

constexpr std::size_t kFirstBuffer = 64 * 1024;

// Closes a descriptor we opened, and only one we opened (never standard input).
class OpenedFile {
 public:
  explicit OpenedFile(int fd) : fd_(fd) {}
  ~OpenedFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

 private:
  int fd_;
};

// The buffer's first size: a regular file's own size when it fits, so that it is read without
// growing; anything else starts small and doubles.
std::size_t FirstBufferSize(int fd, std::size_t ceiling) {
  struct stat facts {};
  if (::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_size >= 0)
    return std::min(ceiling, static_cast<std::size_t>(facts.st_size) + 1);
  return std::min(ceiling, kFirstBuffer);
}

}  // namespace

CappedInput ReadCappedInput(const std::string& path, std::size_t limit) {
  const bool standardInput = path == "-";
  const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError(CannotOpenMessage(path), path, errno);
  const OpenedFile closer(standardInput ? -1 : fd);

  // One byte past the limit tells whether more follows, without reading it all.
  const std::size_t ceiling = limit + 1;
  CappedInput input;
  input.bytes.resize(std::max<std::size_t>(1, FirstBufferSize(fd, ceiling)));
  std::size_t filled = 0;
  for (;;) {
    if (filled == input.bytes.size()) {
      if (filled == ceiling) break;
      input.bytes.resize(std::min(ceiling, 2 * filled));
    }
    const ssize_t count = ::read(fd, input.bytes.data() + filled, input.bytes.size() - filled);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      throw FileError(CannotOpenMessage(path), path, errno);
    }
    filled += static_cast<std::size_t>(count);
  }
  input.cut = filled > limit;
  input.bytes.resize(std::min(filled, limit));
  return input;
}

std::string CutInputMessage(const std::string& path, std::size_t limit) {
  return "quillmark-cli: " + path + ": only the first " + std::to_string(limit) +
         " bytes are read, as of a fetched page; the rest is skipped";
}

std::string ReadAsOnePage(const std::string& path, std::ostream& messages) {
  constexpr auto kPageCeiling = static_cast<std::size_t>(TPowersock::kMaxCaptureBytes);
  CappedInput input = ReadCappedInput(path, kPageCeiling);
  if (input.cut) messages << CutInputMessage(path, kPageCeiling) << "\n";
  return std::move(input.bytes);
}

std::string ReadWhole(const std::string& path) {
  return ReadCappedInput(path, std::numeric_limits<std::size_t>::max() - 1).bytes;
}

}  // namespace quillmark
