#pragma once
// Replacing a whole file so that it ends up holding either its old bytes or every new one,
// whatever happens on the way (a full disk, a file size limit, a crash before the rename).
//
// Plain POSIX, no Qt: the data files, the configuration and the report all save through
// ReplaceFileAtomically. QSaveFile is not enough here: Qt 6.4 flushes a small write only
// inside commit() and renames the temporary over the old file even when that flush failed,
// so a full disk left truncated files behind.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmark {

// A file that exists but cannot be read, or cannot be written. The message is the one shown
// to the user, with the full path. Where one file failed for a known reason, the error also
// holds the file and the system's error number, for a terminal's "program: file: reason".
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  FileError(const std::string& message, std::string path, int systemError)
      : std::runtime_error(message), path_(std::move(path)), systemError_(systemError) {}

  const std::string& Path() const { return path_; }
  // The errno of the failed call; 0 when unknown.
  int SystemError() const { return systemError_; }

 private:
  std::string path_;
  int systemError_ = 0;
};

// "ファイル <path> は開けません" / "ファイル <path> を作成できません" (UTF-8).
std::string CannotOpenMessage(const std::string& path);
std::string CannotCreateMessage(const std::string& path);

// Writes `bytes` to a new temporary file "<path>.XXXXXX" in the same directory, checks that
// every byte was written, flushes it to the disk (fsync) and renames it over `path`. An
// existing file keeps its permission bits; a symbolic link is followed and its target
// replaced. On any failure the temporary is removed, the old file is left as it was and
// FileError (cannot create, naming `path`) is thrown.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes from `directory` (with or without a trailing '/') the temporaries a replace killed
// between its write and its rename left behind: regular files named "<name>.XXXXXX" for a
// name of `names`, X being an ASCII letter or digit. Other files stay; failures are ignored.
void RemoveLeftoverTemporaries(const std::string& directory, const std::vector<std::string>& names);

}  // namespace quillmark
