#include "app/report_saving.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "session/atomic_file.h"
#include "study/html_report.h"

namespace quillmark {
namespace {

QString MissingDirectoryMessage(const QString& directory) {
  return QStringLiteral("フォルダ %1 は存在しません").arg(directory);
}

// The chosen file name, or an empty one when the user cancels.
QString AskForReportPath(QFileDialog& saveDialog, const Session& session,
                         const ErrorDisplay& showError) {
  const QString lastSaved =
      QString::fromStdString(session.Stores().configuration.lastSavedDirectory);
  if (session.ReportPath().empty() && !lastSaved.isEmpty() && QFileInfo(lastSaved).isDir())
    saveDialog.setDirectory(lastSaved);
  for (;;) {
    if (saveDialog.exec() != QDialog::Accepted || saveDialog.selectedFiles().isEmpty()) return {};
    const QString path = saveDialog.selectedFiles().first();
    const QString directory = QFileInfo(path).absolutePath();
    if (QFileInfo(directory).isDir()) return path;
    showError(saveDialog.parentWidget(), MissingDirectoryMessage(directory));
  }
}

}  // namespace

void SaveHtmlReport(QFileDialog& saveDialog, Session& session, const ErrorDisplay& showError) {
  HourGlass hourGlass;
  QCoreApplication::processEvents();
  QString error;
  try {
    hourGlass.Off();
    const QString path = AskForReportPath(saveDialog, session, showError);
    if (path.isEmpty()) return;
    hourGlass.On();
    session.SetReportPath(path.toStdString());
    const MainStores& stores = session.Stores();
    const std::string report =
        WriteHtmlReport(stores.figures, stores.ranking, stores.ngWords,
                        stores.configuration.itemViewCount, stores.sites.Addresses());
    ReplaceFileAtomically(QFile::encodeName(path).toStdString(), report);
  } catch (const std::exception& failure) {
    error = ErrorText(failure);
  }
  hourGlass.Off();
  if (!error.isEmpty()) showError(saveDialog.parentWidget(), error);
}

}  // namespace quillmark
