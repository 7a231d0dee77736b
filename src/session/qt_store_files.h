#pragma once
// The data files on disk and the built-in lists in the executable (quillmark.ini: ini_file.h).

#include <QString>

#include "session/data_files.h"
#include "session/ini_file.h"

namespace quillmark {

// Data files in one directory, written through ReplaceFileAtomically; built-in lists from
// the Qt resources ":/HOSTS", ":/NGWORDS", ":/MAPPEDWORDS", ":/MAPPING_DIC".
class QtStoreFiles : public StoreFiles {
 public:
  // `programDirectory` ends with "/".
  explicit QtStoreFiles(QString programDirectory);

  std::string ProgramDirectory() const override;
  bool Exists(const std::string& name) const override;
  std::string Read(const std::string& name) const override;
  void Write(const std::string& name, const std::string& bytes) override;
  void RemoveLeftoverTemporaries(const std::vector<std::string>& names) override;
  std::string BuiltIn(const std::string& resource) const override;
  bool DirectoryExists(const std::string& path) const override;
  void ChangeCurrentDirectory(const std::string& path) override;

 private:
  QString PathOf(const std::string& name) const;
  QString programDirectory_;
};

}  // namespace quillmark
