#pragma once
// SIGTERM, SIGHUP and SIGINT (a logout, a `kill`, Ctrl-C) as a Qt signal delivered by the event
// loop, and the end of every modal window once one came.
//
// A signal handler may run between any two instructions, in the middle of a save too, so it
// does the one thing that is safe there: it writes a byte to a pipe. A QSocketNotifier on the
// pipe's other end emits Received from whichever event loop runs, where the window can exit as
// its menu does. A modal window (a message box, a dialog) runs a loop of its own that would
// hold the exit up for as long as nobody clicks it, so from the first signal on every modal
// window is closed, the ones open then and every one shown later (an error box of the exit
// save too): the program ends with no click. A second signal ends the program at once, by the
// signal's default action: the user insists, and whatever still runs is not worth waiting for.

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace quillmark {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers (only one object at a time). When the pipe cannot be made (no
  // descriptor left) installs nothing: the signals keep their default action.
  explicit TerminationSignals(QObject* parent = nullptr);
  // Puts the previous handlers back and closes the pipe.
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Whether a signal has been received: the program is ending, and modal windows close as
  // they show.
  bool Ending() const { return ending_; }
  // Whether the handler has taken a signal, read without the event loop: for work that cannot
  // pump events (a long parse asks it between its steps).
  static bool SignalTaken();

 signals:
  // One or more of the signals arrived since the last emission.
  void Received();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Drain();

  QSocketNotifier* notifier_ = nullptr;
  bool ending_ = false;
};

}  // namespace quillmark
