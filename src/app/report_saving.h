#pragma once
// Saving the HTML report from the main window's menu.

#include <QString>
#include <string>

#include "app/qt_text.h"
#include "session/session.h"

class QFileDialog;

namespace quillmark {

// The menu action "HTMLに出力(&H)": shows the hourglass (and lets it be drawn), asks for the
// file in `saveDialog` (opening in LastSavedDirectory until a report has been saved; a
// directory that does not exist is refused with a message and the dialog shown again), and
// replaces that file whole with the report of `session`'s last run, without a question.
// Cancel writes nothing. The chosen name goes to Session::SetReportPath even when the write
// fails, so its directory is remembered at exit. Errors are shown through `showError` after
// the hourglass is gone; never throws.
void SaveHtmlReport(QFileDialog& saveDialog, Session& session, const ErrorDisplay& showError);

}  // namespace quillmark
