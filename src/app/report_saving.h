#pragma once
// Saving the HTML report and the word cards from the main window's menu.

#include <QString>
#include <functional>
#include <set>
#include <string>

#include "app/qt_text.h"
#include "session/session.h"
#include "study/web_dictionary.h"

class QFileDialog;

namespace quillmark {

// What the save dialog offers for one kind of file.
struct SavedFileKind {
  QString defaultSuffix;  // added to a name given without one
  QString nameFilter;
};

// A menu action that saves: shows the hourglass (and lets it be drawn), asks for the file in
// `saveDialog` set up for `kind` (opening in LastSavedDirectory until a file has been saved;
// a directory that does not exist is refused with a message and the dialog shown again), and
// replaces that file whole with `bytes()`, without a question. Cancel writes nothing. The
// chosen name goes to Session::SetReportPath even when the write fails, so its directory is
// remembered at exit. Errors are shown through `showError` after the hourglass is gone;
// never throws.
void SaveChosenFile(QFileDialog& saveDialog, Session& session, const ErrorDisplay& showError,
                    const SavedFileKind& kind, const std::function<std::string()>& bytes);

// The menu action "HTMLに出力(&H)": the report of `session`'s last run, as SaveChosenFile saves.
// `rowTicks`, the words ticked in the word rows since the run, are on the known-word list at
// once but keep their report rows until the next run, as the rows' ticks always did.
void SaveHtmlReport(QFileDialog& saveDialog, Session& session, const ErrorDisplay& showError,
                    const std::set<std::string>& rowTicks = {});

// The menu action "単語帳に書き出す(&E)...": the cards of the words the list shows, with
// addresses in `dictionary` (the one selected now), as SaveChosenFile saves.
// `rowTicks` as for SaveHtmlReport: their rows are still shown, so they keep their cards.
void SaveWordCards(QFileDialog& saveDialog, Session& session, WebDictionary dictionary,
                   const ErrorDisplay& showError, const std::set<std::string>& rowTicks = {});

}  // namespace quillmark
