// A bare QCoreApplication: the floor under the command-line program's start-up.

#include <QCoreApplication>

int main(int argc, char* argv[]) {
  const QCoreApplication application(argc, argv);
  return 0;
}
