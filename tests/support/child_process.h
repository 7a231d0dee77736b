#pragma once
// A program of ours run as a user would run it: its own process, with standard output and
// standard error read separately through pipes. No sleeping: reads block until bytes come.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::testing {

class ChildProcess {
 public:
  // Whether standard input ends after `input` or stays open until CloseInput().
  enum class InputEnd { kAfterInput, kOnCloseInput };

  // Starts `arguments` (the program's path first) with `input` on its standard input and the
  // proxy variables taken out of its environment (a run must not depend on the machine's).
  // A non-zero `addressSpaceLimit` is the child's RLIMIT_AS in bytes: a memory ceiling.
  explicit ChildProcess(const std::vector<std::string>& arguments, std::string_view input = {},
                        InputEnd end = InputEnd::kAfterInput, std::size_t addressSpaceLimit = 0);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads standard error until it holds `marker` (or ends); returns whether it does.
  bool WaitForError(std::string_view marker);
  // Reads standard output until it holds `lines` line breaks (or ends); returns whether it does.
  bool WaitForOutputLines(std::size_t lines);
  // Writes `text` to standard input, which stays open (InputEnd::kOnCloseInput).
  void Send(std::string_view text);
  void Signal(int signal);
  // Ends standard input: a child that waits for its end goes on.
  void CloseInput();

  // Reads both streams to their end and waits for the process. Returns its exit status, or
  // 128 + the signal that ended it.
  int Finish();

  const std::string& Output() const { return output_; }
  const std::string& Error() const { return error_; }

 private:
  // Reads what is there on either stream; false when both have ended.
  bool ReadSome();

  pid_t pid_ = -1;
  int inputPipe_ = -1;
  int outputPipe_ = -1;
  int errorPipe_ = -1;
  std::string output_;
  std::string error_;
};

// Runs `arguments` to the end: exit status, standard output and standard error.
struct ProcessResult {
  int status;
  std::string output;
  std::string error;
};
ProcessResult RunProcess(const std::vector<std::string>& arguments, std::string_view input = {});

}  // namespace quillmark::testing
