#pragma once
// The data files and quillmark.ini on disk, and the built-in lists in the executable.

#include <QSettings>
#include <QString>

#include "session/data_files.h"

namespace quillmark {

// Data files in one directory, written atomically (QSaveFile); built-in lists from the
// Qt resources ":/HOSTS", ":/NGWORDS", ":/MAPPEDWORDS", ":/MAPPING_DIC".
class QtStoreFiles : public StoreFiles {
 public:
  // `programDirectory` ends with "/".
  explicit QtStoreFiles(QString programDirectory);

  std::string ProgramDirectory() const override;
  bool Exists(const std::string& name) const override;
  std::string Read(const std::string& name) const override;
  void Write(const std::string& name, const std::string& bytes) override;
  std::string BuiltIn(const std::string& resource) const override;
  bool DirectoryExists(const std::string& path) const override;
  void ChangeCurrentDirectory(const std::string& path) override;

 private:
  QString PathOf(const std::string& name) const;
  QString programDirectory_;
};

// quillmark.ini through QSettings in INI format.
class IniSettingsFile : public SettingsFile {
 public:
  explicit IniSettingsFile(const QString& path);

  std::optional<std::string> Read(const std::string& section, const std::string& key) override;
  void Write(const std::string& section, const std::string& key, const std::string& value) override;
  void Commit() override;

 private:
  QString path_;
  QSettings settings_;
};

// The configuration file of a program directory: "quillmark.ini".
QString ConfigurationPath(const QString& programDirectory);

}  // namespace quillmark
