#include "app/report_saving.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "session/atomic_file.h"
#include "session/hidden_words.h"
#include "study/html_report.h"
#include "study/word_cards.h"

namespace quillmark {
namespace {

std::set<std::string> Without(std::set<std::string> words, const std::set<std::string>& taken) {
  for (const std::string& word : taken) words.erase(word);
  return words;
}

QString MissingDirectoryMessage(const QString& directory) {
  return QStringLiteral("フォルダ %1 は存在しません").arg(directory);
}

// The chosen file name, or an empty one when the user cancels.
QString AskForPath(QFileDialog& saveDialog, const Session& session, const ErrorDisplay& showError) {
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

void SaveChosenFile(QFileDialog& saveDialog, Session& session, const ErrorDisplay& showError,
                    const SavedFileKind& kind, const std::function<std::string()>& bytes) {
  HourGlass hourGlass;
  QCoreApplication::processEvents();
  QString error;
  try {
    hourGlass.Off();
    saveDialog.setDefaultSuffix(kind.defaultSuffix);
    saveDialog.setNameFilter(kind.nameFilter);
    const QString path = AskForPath(saveDialog, session, showError);
    if (path.isEmpty()) return;
    hourGlass.On();
    session.SetReportPath(path.toStdString());
    ReplaceFileAtomically(QFile::encodeName(path).toStdString(), bytes());
  } catch (const std::exception& failure) {
    error = ErrorText(failure);
  }
  hourGlass.Off();
  if (!error.isEmpty()) showError(saveDialog.parentWidget(), error);
}

void SaveHtmlReport(QFileDialog& saveDialog, Session& session, const ErrorDisplay& showError,
                    const std::set<std::string>& rowTicks) {
  const MainStores& stores = session.Stores();
  SaveChosenFile(
      saveDialog, session, showError, {QStringLiteral("html"), QStringLiteral("*.html (*.html)")},
      [&session, &stores, &rowTicks] {
        return WriteHtmlReport(
            stores.figures, stores.ranking, Without(session.KnownWords(), rowTicks),
            stores.configuration.itemViewCount, stores.sites.Addresses(), stores.articlesRead);
      });
}

void SaveWordCards(QFileDialog& saveDialog, Session& session, WebDictionary dictionary,
                   const ErrorDisplay& showError, const std::set<std::string>& rowTicks) {
  const MainStores& stores = session.Stores();
  // Plain text to flashcard programs: some of them offer only *.txt when importing.
  SaveChosenFile(
      saveDialog, session, showError, {QStringLiteral("txt"), QStringLiteral("*.txt (*.txt)")},
      [&session, &stores, &rowTicks, dictionary] {
        // The level's words take no card, as the NG words do.
        std::set<std::string> notShown = WordsNotShown(stores, stores.configuration.hideNames);
        notShown.merge(session.KnownWords());
        return WriteWordCards(stores.ranking, Without(std::move(notShown), rowTicks),
                              stores.configuration.itemViewCount, CardWords::kShown,
                              stores.sentences, stores.inflectionIndex, dictionary,
                              session.RunWordMeanings());
      });
}

}  // namespace quillmark
