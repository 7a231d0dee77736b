#include "cli/cli_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/valid_utf8.h"

namespace quillmark {

const char* const kOutputFailedMessage = "quillmark-cli: 標準出力に書き込めません";

std::string PrintableLines(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    if (end > 0 && end < text.size() && text[end - 1] == '\r') --end;
    printable += EscapeControlBytes(ValidUtf8(text.substr(0, end)));
    printable += text.substr(end, next - end);
    text.remove_prefix(next);
  }
  return printable;
}

std::string PrintableStatusLine(std::string_view line) {
  return EscapeControlBytes(ReplaceInvalidUtf8(line));
}

namespace {

std::string SystemErrorLine(const char* message, const std::string& path, int systemError) {
  if (systemError == 0 || path.empty()) return "quillmark-cli: " + std::string(message);
  return "quillmark-cli: " + path + ": " + std::strerror(systemError);
}

}  // namespace

std::string FileErrorLine(const FileError& error) {
  return SystemErrorLine(error.what(), error.Path(), error.SystemError());
}

std::string HistoryErrorLine(const HistoryError& error) {
  return SystemErrorLine(error.what(), error.Path(), error.SystemError());
}

bool UnderlineWanted(bool terminal, const char* term, const char* noColor) {
  if (!terminal) return false;
  if (term != nullptr && std::string_view(term) == "dumb") return false;
  return noColor == nullptr || noColor[0] == '\0';
}

bool Print(std::FILE* stream, std::string_view text) {
  const std::string printable = PrintableLines(text);
  const bool written =
      std::fwrite(printable.data(), 1, printable.size(), stream) == printable.size();
  return std::fflush(stream) == 0 && written;
}

NamedOutput WriteNamedOutput(const std::string& path, std::string_view bytes) {
  if (path == "-") {
    if (!Print(stdout, bytes)) throw FileError(kOutputFailedMessage);
    return NamedOutput::kStandardOutput;
  }
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) {
    ReplaceFileAtomically(path, bytes);
    return NamedOutput::kReplaced;
  }
  // A FIFO or a device: a rename would put a regular file in its place. Opened as it is, with
  // no O_CREAT, so a name that changed since the stat cannot become a new file here.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw FileError(CannotCreateMessage(path), path, errno);
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const int error = written < 0 ? errno : EIO;
      ::close(fd);
      throw FileError(CannotCreateMessage(path), path, error);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::close(fd) != 0 && errno != EINTR) throw FileError(CannotCreateMessage(path), path, errno);
  return NamedOutput::kDirect;
}

}  // namespace quillmark
