// A Qt Widgets hello-world: the floor under any window program's start-up on this machine.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "first_paint.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const quillmark::ExitAtFirstPaint exitAtFirstPaint(application);
  QMainWindow window;
  window.setCentralWidget(new QLabel(QStringLiteral("Hello, world")));
  window.show();
  return QApplication::exec();
}
