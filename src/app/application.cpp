#include "app/application.h"

#include <QMessageBox>
#include <memory>

#include "app/main_form.h"
#include "app/termination_signals.h"
#include "session/qt_store_files.h"
#include "session/session.h"

namespace quillmark {

namespace {
constexpr const char* kColorsNotice =
    "Quillmark は COLORS 引数を受け取りました。\n表示と動作はいつもと同じです。";
}

bool HasColorsArgument(const QStringList& arguments) {
  return arguments.size() > 4 && arguments[4] == QStringLiteral("COLORS");
}

int RunQuillmark(QApplication& application, const QStringList& arguments,
                 const QString& dataDirectory, const ErrorDisplay& showError,
                 MissingDirectory missing) {
  if (HasColorsArgument(arguments)) {
    QMessageBox::information(nullptr, QStringLiteral("Quillmark"),
                             QString::fromUtf8(kColorsNotice));
  }

  InstallFontSubstitutes();
  // The main window, not the last window, ends the program: the sentence window may stay open.
  application.setQuitOnLastWindowClosed(false);

  // Before anything is loaded: a signal during start-up waits for the message loop, and one
  // during the save at exit is noted and changes nothing.
  TerminationSignals termination;

  QtStoreFiles files(dataDirectory, missing);
  Session session(files);
  std::unique_ptr<TMainForm> mainForm;
  try {
    IniSettingsFile settings(ConfigurationPath(files.ProgramDirectory()));
    session.Load(settings);
    mainForm = std::make_unique<TMainForm>(session, arguments.mid(1), showError);
    mainForm->CreateStudyWindows();
  } catch (const std::exception& error) {
    showError(nullptr, ErrorText(error));
    return 1;
  }

  QObject::connect(mainForm.get(), &TMainForm::Closed, &application, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  QObject::connect(&termination, &TerminationSignals::Received, mainForm.get(),
                   &TMainForm::ExitOnRequest);
  mainForm->show();
  const int result = application.exec();

  try {
    mainForm->PrepareForExit();
    IniSettingsFile settings(ConfigurationPath(files.ProgramDirectory()));
    session.Save(settings);
  } catch (const std::exception& error) {
    showError(nullptr, ErrorText(error));
    return 1;
  }
  return result;
}

}  // namespace quillmark
