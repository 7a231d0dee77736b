#include "session/qt_store_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "session/data_directory.h"

// The built-in lists live in a static library, so their registration must be pulled in.
static void RegisterBuiltInLists() { Q_INIT_RESOURCE(quillmark); }

namespace quillmark {

namespace {
std::string ToStd(const QString& text) { return text.toStdString(); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

QtStoreFiles::QtStoreFiles(QString programDirectory, MissingDirectory missing)
    : programDirectory_(std::move(programDirectory)), missing_(missing) {
  RegisterBuiltInLists();
}

QString QtStoreFiles::PathOf(const std::string& name) const {
  return programDirectory_ + FromStd(name);
}

std::string QtStoreFiles::ProgramDirectory() const { return ToStd(programDirectory_); }

bool QtStoreFiles::Exists(const std::string& name) const { return QFileInfo::exists(PathOf(name)); }

std::string QtStoreFiles::Read(const std::string& name) const {
  QFile file(PathOf(name));
  const std::string path = ToStd(file.fileName());
  // errno is read at once: the failed call is the last that set it.
  errno = 0;
  if (!file.open(QIODevice::ReadOnly)) {
    // Qt refuses a directory itself, with no error number.
    const int error = errno != 0 ? errno : (QFileInfo(file.fileName()).isDir() ? EISDIR : 0);
    throw FileError(CannotOpenMessage(path), path, error);
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw FileError(CannotOpenMessage(path), path, errno);
  return bytes.toStdString();
}

void QtStoreFiles::Write(const std::string& name, const std::string& bytes) {
  // A failure to create it shows as the write's own "cannot create", naming the file.
  if (missing_ == MissingDirectory::kCreate) CreateMissingDirectories(ToStd(programDirectory_));
  ReplaceFileAtomically(ToStd(PathOf(name)), bytes);
}

void QtStoreFiles::RemoveLeftoverTemporaries(const std::vector<std::string>& names) {
  quillmark::RemoveLeftoverTemporaries(ToStd(programDirectory_), names);
}

std::string QtStoreFiles::BuiltIn(const std::string& resource) const {
  QFile file(":/" + FromStd(resource));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

bool QtStoreFiles::DirectoryExists(const std::string& path) const {
  return !path.empty() && QFileInfo(FromStd(path)).isDir();
}

void QtStoreFiles::ChangeCurrentDirectory(const std::string& path) {
  QDir::setCurrent(FromStd(path));
}

}  // namespace quillmark
