#pragma once
// SIGTERM and SIGHUP (a logout, a `kill`) as a Qt signal delivered by the event loop.
//
// A signal handler may run between any two instructions, in the middle of a save too, so it
// does the one thing that is safe there: it writes a byte to a pipe. A QSocketNotifier on the
// pipe's other end emits Received from the event loop, where the window can exit as its menu
// does. The handlers stay installed as long as the object lives: a second signal while the
// program saves is one more byte in the pipe, never the default action that would cut the save.

#include <QObject>

class QSocketNotifier;

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

 signals:
  // One or more of the signals arrived since the last emission.
  void Received();

 private:
  void Drain();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quillmark
