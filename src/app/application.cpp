#include "app/application.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <ctime>
#include <memory>

#include "app/main_form.h"
#include "app/termination_signals.h"
#include "session/data_directory.h"
#include "session/directory_lock.h"
#include "session/qt_store_files.h"
#include "session/run_history.h"
#include "session/session.h"

namespace quillmark {

namespace {
constexpr const char* kColorsNotice =
    "Quillmark は COLORS 引数を受け取りました。\n表示と動作はいつもと同じです。";

// Qt's own Japanese texts for what Qt draws itself (the file dialogs, the message boxes'
// buttons), so that they speak the language of the rest of the window. Without the file
// (qt6-translations-l10n not installed) they stay in English, which is no error.
void InstallQtJapanese(QTranslator& translator) {
  if (translator.load(QStringLiteral("qtbase_ja"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&translator);
  }
}
}  // namespace

bool HasColorsArgument(const QStringList& arguments) {
  return arguments.size() > 4 && arguments[4] == QStringLiteral("COLORS");
}

int RunQuillmark(QApplication& application, const QStringList& arguments,
                 const QString& dataDirectory, const ErrorDisplay& showError,
                 MissingDirectory missing) {
  QTranslator qtJapanese;
  InstallQtJapanese(qtJapanese);
  // Before anything is shown or loaded: a signal during start-up closes the box then open and
  // waits for the message loop; one during the save at exit closes a box telling of a failed
  // save, and a second one ends the program at once.
  TerminationSignals termination;
  if (HasColorsArgument(arguments)) {
    QMessageBox::information(nullptr, QStringLiteral("Quillmark"),
                             QString::fromUtf8(kColorsNotice));
  }

  InstallFontSubstitutes();
  // The main window, not the last window, ends the program: the sentence window may stay open.
  application.setQuitOnLastWindowClosed(false);

  // Held until the exit save is done: another program on the same directory would lose this
  // one's save or it the other's (session/directory_lock.h).
  const std::string directory = dataDirectory.toStdString();
  if (missing == MissingDirectory::kCreate) CreateMissingDirectories(directory);
  DirectoryLock lock;
  if (!lock.Take(directory)) {
    showError(nullptr,
              QString::fromStdString(DirectoryInUseMessage(directory, lock.FailureReason())));
    return 1;
  }

  QtStoreFiles files(dataDirectory, missing);
  Session session(files);
  // Opened when a run ends or the trends window opens, never here.
  SqliteRunHistory history(
      RunHistoryPath(files.ProgramDirectory()),
      missing == MissingDirectory::kCreate ? HistoryDirectory::kCreate
                                           : HistoryDirectory::kMustExist,
      [&showError](const std::string& message) { showError(nullptr, FromMessage(message)); });
  std::unique_ptr<TMainForm> mainForm;
  try {
    IniSettingsFile settings(ConfigurationPath(files.ProgramDirectory()));
    session.Load(settings);
    mainForm = std::make_unique<TMainForm>(session, arguments.mid(1), showError);
    mainForm->CreateStudyWindows();
    mainForm->SetLevelCheckOffer(true);
    mainForm->SetRunHistory(&history, [] { return static_cast<std::int64_t>(std::time(nullptr)); });
  } catch (const std::exception& error) {
    showError(nullptr, ErrorText(error));
    return 1;
  }

  QObject::connect(mainForm.get(), &TMainForm::Closed, &application, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  QObject::connect(&termination, &TerminationSignals::Received, mainForm.get(),
                   &TMainForm::ExitOnRequest);
  // A signal taken by a box of the start-up (the notice) came before the window was there.
  if (termination.Ending())
    QMetaObject::invokeMethod(mainForm.get(), &TMainForm::ExitOnRequest, Qt::QueuedConnection);
  mainForm->show();
  const int result = application.exec();

  try {
    mainForm->PrepareForExit();
    // The history's journal must not take the room the learner's files need on a full disk.
    history.Close();
    IniSettingsFile settings(ConfigurationPath(files.ProgramDirectory()));
    session.Save(settings);
  } catch (const std::exception& error) {
    showError(nullptr, ErrorText(error));
    return 1;
  }
  return result;
}

}  // namespace quillmark
