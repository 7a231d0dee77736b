#pragma once
// The program from start to exit.

#include <QApplication>
#include <QStringList>

#include "app/qt_text.h"
#include "session/qt_store_files.h"

namespace quillmark {

// Runs Quillmark on the data files in `dataDirectory` (ending with "/"; the program directory,
// or the user's data directory, which `missing` lets the first save create): the "COLORS"
// notice, the session loaded from the data files, the main window, the message loop, and
// saving at exit. `arguments` is the whole command line, program name first. The program holds
// the data directory's lock from start-up to the end of the exit save; when another program
// holds it, that is shown and the program ends (returns 1) without touching any file. Errors at
// start-up are shown and end the program (returns 1) without writing any file; errors at exit
// are shown after every file was tried (returns 1).
int RunQuillmark(QApplication& application, const QStringList& arguments,
                 const QString& dataDirectory, const ErrorDisplay& showError = ShowErrorBox,
                 MissingDirectory missing = MissingDirectory::kFail);

// True when the fourth argument after the program name is exactly "COLORS".
bool HasColorsArgument(const QStringList& arguments);

}  // namespace quillmark
