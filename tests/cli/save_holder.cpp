// The other program on a data directory, for the lock's tests: it takes the directory's lock,
// loads the session, learns the base form given as its second argument and saves; its first
// write stops with a live temporary of it on disk, says "saving" on standard error and goes
// on only when standard input ends. So the test decides when the save proceeds.
//   save_holder DIRECTORY/ WORD      exit 0: saved; 3: the directory was in use

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

#include "session/directory_lock.h"
#include "session/qt_store_files.h"
#include "session/session.h"
#include "support/temporary_directory.h"

namespace {

class HeldStoreFiles : public quillmark::QtStoreFiles {
 public:
  using QtStoreFiles::QtStoreFiles;

  void Write(const std::string& name, const std::string& bytes) override {
    if (!held_) {
      held_ = true;
      const std::string temporary = ProgramDirectory() + name + ".Held00";
      quillmark::testing::WriteFileBytes(temporary, bytes.substr(0, bytes.size() / 2));
      std::fputs("saving\n", stderr);
      std::fflush(stderr);
      char byte;
      while (::read(STDIN_FILENO, &byte, 1) > 0) {
      }
      std::remove(temporary.c_str());
    }
    QtStoreFiles::Write(name, bytes);
  }

 private:
  bool held_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  if (argc != 3) return 2;
  const std::string directory = argv[1];
  quillmark::DirectoryLock lock;
  if (!lock.Take(directory)) return 3;
  HeldStoreFiles files(QString::fromStdString(directory));
  quillmark::Session session(files);
  quillmark::IniSettingsFile settings(quillmark::ConfigurationPath(directory));
  session.Load(settings);
  session.Stores().mappedWords.push_back(argv[2]);
  session.Save(settings);
  return 0;
}
