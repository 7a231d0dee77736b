#include "app/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <cerrno>
#include <csignal>

namespace quillmark {
namespace {

constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGHUP, SIGINT};

// The pipe's ends, read by the handler: plain ints written once before it is installed.
int signalPipe[2] = {-1, -1};
std::array<struct sigaction, kTerminationSignals.size()> previousActions{};
// Set by the handler at the first signal; the next one ends the program.
volatile std::sig_atomic_t signalTaken = 0;

extern "C" void NoteTerminationSignal(int number) {
  if (signalTaken != 0) {
    // sigaction and raise are safe here; the raised signal is blocked until the handler
    // returns, and then takes the default action.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(number, &fallback, nullptr);
    ::raise(number);
    return;
  }
  signalTaken = 1;
  const int savedErrno = errno;  // the interrupted code may be about to read it
  const char byte = 1;
  // A full pipe already holds a request, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

// Closes a modal window from its own loop: closed while it is being shown, before its exec
// has started its loop, the loop would never end.
void CloseLater(QWidget* window) {
  QMetaObject::invokeMethod(
      window,
      [window] {
        // A dialog's reject is its Cancel or Escape; the gathering dialog cancels its crawl
        // and closes once the page in progress is cut off.
        if (auto* dialog = qobject_cast<QDialog*>(window)) {
          dialog->reject();
        } else {
          window->close();
        }
      },
      Qt::QueuedConnection);
}

bool IsModalWindow(const QWidget* widget) { return widget->isWindow() && widget->isModal(); }

}  // namespace

bool TerminationSignals::SignalTaken() { return signalTaken != 0; }

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    signalPipe[0] = signalPipe[1] = -1;
    return;
  }
  signalTaken = 0;
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
  if (ending_) QCoreApplication::instance()->removeEventFilter(this);
  signalTaken = 0;
}

void TerminationSignals::Drain() {
  std::array<char, 64> bytes{};
  while (::read(signalPipe[0], bytes.data(), bytes.size()) > 0) {
  }
  if (!ending_) {
    ending_ = true;
    QCoreApplication::instance()->installEventFilter(this);
  }
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && IsModalWindow(window)) CloseLater(window);
  }
  emit Received();
}

bool TerminationSignals::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (IsModalWindow(widget)) CloseLater(widget);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quillmark
