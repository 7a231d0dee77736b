#include "session/qt_store_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// The built-in lists live in a static library, so their registration must be pulled in.
static void RegisterBuiltInLists() { Q_INIT_RESOURCE(quillmark); }

namespace quillmark {

namespace {
std::string ToStd(const QString& text) { return text.toStdString(); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

QtStoreFiles::QtStoreFiles(QString programDirectory)
    : programDirectory_(std::move(programDirectory)) {
  RegisterBuiltInLists();
}

QString QtStoreFiles::PathOf(const std::string& name) const {
  return programDirectory_ + FromStd(name);
}

std::string QtStoreFiles::ProgramDirectory() const { return ToStd(programDirectory_); }

bool QtStoreFiles::Exists(const std::string& name) const { return QFileInfo::exists(PathOf(name)); }

std::string QtStoreFiles::Read(const std::string& name) const {
  QFile file(PathOf(name));
  if (!file.open(QIODevice::ReadOnly)) throw FileError(CannotOpenMessage(ToStd(file.fileName())));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw FileError(CannotOpenMessage(ToStd(file.fileName())));
  return bytes.toStdString();
}

void QtStoreFiles::Write(const std::string& name, const std::string& bytes) {
  QSaveFile file(PathOf(name));
  const bool written = file.open(QIODevice::WriteOnly) &&
                       file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                           static_cast<qint64>(bytes.size()) &&
                       file.commit();
  if (!written) {
    file.cancelWriting();
    throw FileError(CannotCreateMessage(ToStd(PathOf(name))));
  }
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

IniSettingsFile::IniSettingsFile(const QString& path)
    : path_(path), settings_(path, QSettings::IniFormat) {}

std::optional<std::string> IniSettingsFile::Read(const std::string& section,
                                                 const std::string& key) {
  const QString name = FromStd(section + "/" + key);
  if (settings_.status() != QSettings::NoError || !settings_.contains(name)) return std::nullopt;
  const QVariant value = settings_.value(name);
  // An unquoted comma makes QSettings read a list; the line's text is what counts here.
  if (value.typeId() == QMetaType::QStringList) return ToStd(value.toStringList().join(", "));
  return ToStd(value.toString());
}

void IniSettingsFile::Write(const std::string& section, const std::string& key,
                            const std::string& value) {
  settings_.setValue(FromStd(section + "/" + key), FromStd(value));
}

void IniSettingsFile::Commit() {
  settings_.sync();
  if (settings_.status() != QSettings::NoError) throw FileError(CannotCreateMessage(ToStd(path_)));
}

QString ConfigurationPath(const QString& programDirectory) {
  return programDirectory + "quillmark.ini";
}

}  // namespace quillmark
