#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace quillmark::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, std::string_view input,
                           InputEnd end, std::size_t addressSpaceLimit) {
  int out[2], err[2], in[2];
  // Close-on-exec: a child started later must not hold this one's input open.
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 || ::pipe2(in, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"}) {
      ::unsetenv(name);
    }
    if (addressSpaceLimit != 0) {
      const rlimit ceiling{addressSpaceLimit, addressSpaceLimit};
      if (::setrlimit(RLIMIT_AS, &ceiling) != 0) ::_exit(127);
    }
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  // The input is small (a page or two); the child reads it while we go on.
  std::size_t written = 0;
  while (written < input.size()) {
    const ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  inputPipe_ = in[1];
  if (end == InputEnd::kAfterInput) CloseInput();
  outputPipe_ = out[0];
  errorPipe_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    Finish();
  }
}

bool ChildProcess::ReadSome() {
  pollfd fds[2] = {{outputPipe_, POLLIN, 0}, {errorPipe_, POLLIN, 0}};
  if (outputPipe_ < 0 && errorPipe_ < 0) return false;
  if (::poll(fds, 2, -1) < 0) return false;
  const auto drain = [](pollfd& fd, int& pipe, std::string& into) {
    if (pipe < 0 || (fd.revents & (POLLIN | POLLHUP | POLLERR)) == 0) return;
    char buffer[4096];
    const ssize_t n = ::read(pipe, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
    } else {
      ::close(pipe);
      pipe = -1;
    }
  };
  drain(fds[0], outputPipe_, output_);
  drain(fds[1], errorPipe_, error_);
  return true;
}

bool ChildProcess::WaitForError(std::string_view marker) {
  while (error_.find(marker) == std::string::npos) {
    if (errorPipe_ < 0 || !ReadSome()) return false;
  }
  return true;
}

bool ChildProcess::WaitForOutputLines(std::size_t lines) {
  while (static_cast<std::size_t>(std::count(output_.begin(), output_.end(), '\n')) < lines) {
    if (outputPipe_ < 0 || !ReadSome()) return false;
  }
  return true;
}

void ChildProcess::Send(std::string_view text) {
  std::size_t written = 0;
  while (inputPipe_ >= 0 && written < text.size()) {
    const ssize_t n = ::write(inputPipe_, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
}

void ChildProcess::Signal(int signal) { ::kill(pid_, signal); }

void ChildProcess::CloseInput() {
  if (inputPipe_ >= 0) ::close(inputPipe_);
  inputPipe_ = -1;
}

int ChildProcess::Finish() {
  CloseInput();
  while (ReadSome()) {
  }
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProcessResult RunProcess(const std::vector<std::string>& arguments, std::string_view input) {
  ChildProcess child(arguments, input);
  const int status = child.Finish();
  return {status, child.Output(), child.Error()};
}

}  // namespace quillmark::testing
