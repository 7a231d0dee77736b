// Start-up as the program makes it: the session loaded from the built-in lists (no data
// files), the main window and the study windows built, the main window shown and drawn,
// offscreen. The built-in dictionary must not be read here: the goal is a start-up no
// slower than without it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/main_form.h"
#include "session/ini_file.h"
#include "session/qt_store_files.h"
#include "session/session.h"

namespace {

void BM_FirstWindowUp(benchmark::State& state) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "bench_first_window";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QTemporaryDir data;
  const QString directory = data.path() + "/";
  for (auto _ : state) {
    quillmark::QtStoreFiles files(directory);
    quillmark::Session session(files);
    quillmark::IniSettingsFile settings(quillmark::ConfigurationPath(directory.toStdString()));
    session.Load(settings);
    quillmark::TMainForm form(session, {});
    form.CreateStudyWindows();
    form.show();
    QCoreApplication::processEvents();  // laid out and drawn
  }
}
BENCHMARK(BM_FirstWindowUp)->Unit(benchmark::kMillisecond);

}  // namespace
