#pragma once
// One program at a time saves to a data directory.
//
// Two programs on one directory (the window and quillmark-cli, or two of either) would each
// load the files, change them in memory and write them back, the later write silently dropping
// what the earlier one saved; and a program starting up would take the other's live save for
// a killed save's leftover and delete it. So a program that will save holds an advisory lock
// (flock on "quillmark.lock" in the directory) from before its start-up clean-up and load
// until after its save: the window for its whole life, quillmark-cli with --save for its run.
// A program that only reads (quillmark-cli without --save) never needs the lock; it must then
// leave the leftovers alone. The lock goes with the process, however it ends.

#include <chrono>
#include <functional>
#include <string>

namespace quillmark {

// The lock file, kept in the data directory (never removed: removing it would let two
// programs lock two different files).
inline constexpr const char* kLockFile = "quillmark.lock";

// "データフォルダ <directory> は別の Quillmark が使用中です" (UTF-8): what the window and the
// command line say when another program holds the directory; with a `reason` (why the lock
// could not be taken at all) " (<reason>)" follows.
std::string DirectoryInUseMessage(const std::string& directory, const std::string& reason = {});

class DirectoryLock {
 public:
  DirectoryLock() = default;
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // Takes the lock of `directory` (with or without its trailing '/'), trying again until `wait`
  // has passed while another program holds it; `waiting` (when set) is called once, before the
  // first pause. Returns false when another program still holds it, and also (failing
  // closed: two programs would otherwise lose each other's saves) when the lock file exists
  // but cannot be opened (another user's, a symbolic link, which is never followed) or
  // cannot be locked; FailureReason() then says why. Only where the lock file is missing and
  // cannot be made because the directory is read-only (or missing) does it return true
  // without a lock: nothing can be saved there, so there is nothing to guard.
  bool Take(const std::string& directory,
            std::chrono::milliseconds wait = std::chrono::milliseconds(0),
            const std::function<void()>& waiting = {});

  // Whether this object holds a directory's lock.
  bool Held() const { return fd_ >= 0; }

  // After Take returned false: empty when another program holds the lock, else the lock
  // file's path and the system's reason ("<path>: <strerror>").
  const std::string& FailureReason() const { return failureReason_; }

 private:
  int fd_ = -1;
  std::string failureReason_;
};

}  // namespace quillmark
