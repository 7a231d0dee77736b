#pragma once
// What the window tests share: a session in memory, and driving a modal dialog.

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "session/session.h"
#include "support/fake_store_files.h"

namespace quillmark::testing {

// The bytes of the file at `path`; none when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A session loaded from in-memory files with two built-in sites, the NG words "" and THE, and
// a dictionary that knows "ship" only.
struct InMemorySession {
  InMemorySession() {
    files.builtIns["HOSTS"] = "http://a.example/\r\nhttp://b.example/\r\n";
    files.builtIns["NGWORDS"] = "\r\nTHE\r\n";
    files.builtIns["EJDICT"] = "ship\t船 / 艦\n";
    session.Load(settings);
  }

  FakeStoreFiles files;
  FakeSettingsFile settings;
  Session session{files};
};

// Driving a modal dialog: the action is queued before the call that runs the dialog's exec(),
// and runs inside that exec's event loop.
//
// Runs `act` on the next shown modal dialog of type `Dialog`. While none is shown (between
// two exec() calls of a loop) the action waits for the next turn of the event loop.
template <class Dialog>
void WhenModalShown(std::function<void(Dialog&)> act) {
  QTimer::singleShot(0, [act = std::move(act)]() mutable {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) {
      WhenModalShown<Dialog>(std::move(act));
      return;
    }
    act(*dialog);
  });
}

// The next save dialog takes `name` (relative to its directory, or absolute) and is accepted
// as its Save button does.
inline void ChooseInSaveDialog(const QString& name) {
  WhenModalShown<QFileDialog>([name](QFileDialog& dialog) {
    // The dialog leaves a name box that has the focus as the user typed it.
    if (QWidget* focused = dialog.focusWidget()) focused->clearFocus();
    dialog.selectFile(name);
    static_cast<QDialog&>(dialog).accept();
  });
}

}  // namespace quillmark::testing
