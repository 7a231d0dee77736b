#include "app/report_saving.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

#include "session/data_files.h"
#include "study/html_report.h"

namespace quillmark {
namespace {

// The application-wide hourglass for the length of a scope. It is taken off while a dialog
// asks the user something, as the desktop's own file dialog never showed it.
class HourGlass {
 public:
  HourGlass() { On(); }
  ~HourGlass() { Off(); }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;

  void On() {
    if (shown_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    shown_ = true;
  }
  void Off() {
    if (!shown_) return;
    QApplication::restoreOverrideCursor();
    shown_ = false;
  }

 private:
  bool shown_ = false;
};

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

bool ReplaceFileWhole(const QString& path, const std::string& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const auto size = static_cast<qint64>(bytes.size());
  // A write smaller than the buffer reaches the disk only when flushed, and commit() renames
  // the temporary file even when its own flush fails (a full disk), so flush and check first.
  if (file.write(bytes.data(), size) != size || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

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
    if (!ReplaceFileWhole(path, report))
      error = QString::fromStdString(CannotCreateMessage(path.toStdString()));
  } catch (const std::exception& failure) {
    error = ErrorText(failure);
  }
  hourGlass.Off();
  if (!error.isEmpty()) showError(saveDialog.parentWidget(), error);
}

}  // namespace quillmark
