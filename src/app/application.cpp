#include "app/application.h"

#include <QFont>
#include <QMessageBox>
#include <memory>

#include "app/qt_store_files.h"

namespace quillmark {

namespace {
constexpr const char* kColorsNotice =
    "Quillmark は COLORS 引数を受け取りました。\n表示と動作はいつもと同じです。";
}

// The windows name the fonts they were designed with; on a desktop without them the IPA
// fonts installed with the program take their place rather than a font without kana.
void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), {"IPAPMincho", "IPAMincho"});
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {"IPAPGothic", "IPAGothic"});
  QFont::insertSubstitutions(QStringLiteral("MS Serif"), {"IPAPMincho", "IPAMincho"});
}

bool HasColorsArgument(const QStringList& arguments) {
  return arguments.size() > 4 && arguments[4] == QStringLiteral("COLORS");
}

int RunQuillmark(QApplication& application, const QStringList& arguments,
                 const QString& programDirectory, const ErrorDisplay& showError) {
  if (HasColorsArgument(arguments)) {
    QMessageBox::information(nullptr, QStringLiteral("Quillmark"),
                             QString::fromUtf8(kColorsNotice));
  }

  InstallFontSubstitutes();
  // The main window, not the last window, ends the program: the sentence window may stay open.
  application.setQuitOnLastWindowClosed(false);

  QtStoreFiles files(programDirectory);
  std::unique_ptr<TMainForm> mainForm;
  try {
    IniSettingsFile settings(ConfigurationPath(programDirectory));
    mainForm = std::make_unique<TMainForm>(files, settings, arguments.mid(1), showError);
    mainForm->CreateStudyWindows();
  } catch (const std::exception& error) {
    showError(nullptr, QString::fromUtf8(error.what()));
    return 1;
  }

  QObject::connect(mainForm.get(), &TMainForm::Closed, &application, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  mainForm->show();
  const int result = application.exec();

  try {
    IniSettingsFile settings(ConfigurationPath(programDirectory));
    mainForm->SaveOnExit(settings);
  } catch (const std::exception& error) {
    showError(nullptr, QString::fromUtf8(error.what()));
    return 1;
  }
  return result;
}

}  // namespace quillmark
