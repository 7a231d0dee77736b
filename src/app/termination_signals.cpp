#include "app/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace quillmark {
namespace {

constexpr std::array<int, 2> kTerminationSignals{SIGTERM, SIGHUP};

// The pipe's ends, read by the handler: plain ints written once before it is installed.
int signalPipe[2] = {-1, -1};
std::array<struct sigaction, kTerminationSignals.size()> previousActions{};

extern "C" void NoteTerminationSignal(int) {
  const int savedErrno = errno;  // the interrupted code may be about to read it
  const char byte = 1;
  // A full pipe already holds a request, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    signalPipe[0] = signalPipe[1] = -1;
    return;
  }
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Drain);

  struct sigaction action {};
  action.sa_handler = NoteTerminationSignal;
  sigemptyset(&action.sa_mask);
  // Calls that a signal interrupts go on (a load or save must not fail with EINTR). The data
  // files' own reads and writes retry on EINTR; an opening that waits (a named pipe) does not.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
    ::sigaction(kTerminationSignals[i], &action, &previousActions[i]);
}

TerminationSignals::~TerminationSignals() {
  if (notifier_ == nullptr) return;  // nothing was installed
  for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
    ::sigaction(kTerminationSignals[i], &previousActions[i], nullptr);
  delete notifier_;
  for (int& end : signalPipe) {
    ::close(end);
    end = -1;
  }
}

void TerminationSignals::Drain() {
  std::array<char, 64> bytes{};
  while (::read(signalPipe[0], bytes.data(), bytes.size()) > 0) {
  }
  emit Received();
}

}  // namespace quillmark
