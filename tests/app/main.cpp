// The window tests: one Qt Test program for the folder, running each test class in turn.
// Test function names on the command line go to the class that has them.

#include <QApplication>
#include <QMetaMethod>
#include <functional>

int RunConfigDialogTests(int argc, char** argv);
int RunMainFormTests(int argc, char** argv);
int RunReportSavingTests(int argc, char** argv);
int RunSentenceDialogTests(int argc, char** argv);
int RunGatheringTests(int argc, char** argv);
int RunTrendsWindowTests(int argc, char** argv);
int RunReadingWindowTests(int argc, char** argv);
int RunQtTextTests(int argc, char** argv);
extern const QMetaObject* const kConfigDialogTestMeta;
extern const QMetaObject* const kMainFormTestMeta;
extern const QMetaObject* const kReportSavingTestMeta;
extern const QMetaObject* const kSentenceDialogTestMeta;
extern const QMetaObject* const kGatheringTestMeta;
extern const QMetaObject* const kTrendsWindowTestMeta;
extern const QMetaObject* const kReadingWindowTestMeta;
extern const QMetaObject* const kQtTextTestMeta;

namespace {

bool HasFunction(const QMetaObject* meta, const char* argument) {
  const QByteArray name = QByteArray(argument).split(':').first();
  for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
    if (meta->method(i).name() == name) return true;
  }
  return false;
}

// Whether the command line names functions, none of them of `meta`'s class.
bool NamesOnlyOthers(const QMetaObject* meta, int argc, char** argv) {
  bool namesFunctions = false;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-') return false;  // options: every class runs
    namesFunctions = true;
    if (HasFunction(meta, argv[i])) return false;
  }
  return namesFunctions;
}

}  // namespace

int main(int argc, char** argv) {
  // The gathering dialog takes its proxy from the environment; the tests' sites are local.
  qunsetenv("http_proxy");
  qunsetenv("HTTP_PROXY");
  QApplication application(argc, argv);
  const std::pair<const QMetaObject*, std::function<int(int, char**)>> classes[] = {
      {kMainFormTestMeta, RunMainFormTests},
      {kSentenceDialogTestMeta, RunSentenceDialogTests},
      {kGatheringTestMeta, RunGatheringTests},
      {kConfigDialogTestMeta, RunConfigDialogTests},
      {kReportSavingTestMeta, RunReportSavingTests},
      {kTrendsWindowTestMeta, RunTrendsWindowTests},
      {kReadingWindowTestMeta, RunReadingWindowTests},
      {kQtTextTestMeta, RunQtTextTests},
  };
  int failures = 0;
  for (const auto& [meta, run] : classes) {
    if (!NamesOnlyOthers(meta, argc, argv)) failures += run(argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
