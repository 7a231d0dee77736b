#pragma once
// The data files on disk and the built-in lists in the executable (quillmark.ini: ini_file.h).

#include <QString>

#include "session/data_files.h"
#include "session/ini_file.h"

namespace quillmark {

// What a write does when the directory of the data files does not exist.
enum class MissingDirectory {
  kFail,    // the write fails, naming the file (a directory the user named, mistyped)
  kCreate,  // it is made, with its parents, mode 0700 (the user's data directory)
};

// Data files in one directory, written through ReplaceFileAtomically; built-in lists from
// the Qt resources ":/HOSTS", ":/NGWORDS", ":/MAPPEDWORDS", ":/MAPPING_DIC", ":/EJDICT".
class QtStoreFiles : public StoreFiles {
 public:
  // `programDirectory` ends with "/". With MissingDirectory::kCreate the first write makes it;
  // the exit order writes data files before the configuration, which then finds it there.
  explicit QtStoreFiles(QString programDirectory,
                        MissingDirectory missing = MissingDirectory::kFail);

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
  MissingDirectory missing_;
};

}  // namespace quillmark
