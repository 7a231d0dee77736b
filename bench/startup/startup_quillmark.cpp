// The window program as installed, ended at its first paint (see run.sh).

#include <QApplication>

#include "app/application.h"
#include "first_paint.h"
#include "session/data_directory.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  using namespace quillmark;
  const ExitAtFirstPaint exitAtFirstPaint(application);
  const DataDirectory data =
      DataDirectoryAtStartUp((QCoreApplication::applicationDirPath() + "/").toStdString());
  return RunQuillmark(application, QCoreApplication::arguments(), QString::fromStdString(data.path),
                      ShowErrorBox,
                      data.createOnSave ? MissingDirectory::kCreate : MissingDirectory::kFail);
}
