#pragma once
// A directory on a file system that a test can fill, for saves that meet a full disk.
//
// kTmpfs mounts a small tmpfs (root only). The mount is made in a mount namespace of the test
// process's own when the system allows one, so it vanishes with the process even after a
// crash; otherwise the destructor unmounts it. kFileSizeLimit is a plain temporary directory
// in which Fill() lowers RLIMIT_FSIZE to 0 (SIGXFSZ ignored meanwhile), for any user.

#include <string>

#include "support/temporary_directory.h"

namespace quillmark::testing {

class SmallFileSystem {
 public:
  enum class Kind { kTmpfs, kFileSizeLimit };

  explicit SmallFileSystem(Kind kind);
  ~SmallFileSystem();
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  // Why the file system could not be made (the test should skip), or empty when it was.
  const std::string& Unavailable() const { return unavailable_; }
  // The directory, ending with '/'.
  const std::string& Directory() const { return directory_.Path(); }

  // From Fill() to Empty() (or the destructor) no byte can be added to any file there: a
  // write of one byte or more fails, with ENOSPC or EFBIG.
  void Fill();
  void Empty();

 private:
  Kind kind_;
  std::string unavailable_;
  TemporaryDirectory directory_;
  bool mounted_ = false;
  bool filled_ = false;
  unsigned long long oldLimit_ = 0;
  void (*oldSignal_)(int) = nullptr;
};

}  // namespace quillmark::testing
