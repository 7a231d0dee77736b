#pragma once
// In-memory data files, built-in lists and configuration for the start-up and exit orders.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "session/data_files.h"

namespace quillmark::testing {

class FakeStoreFiles : public StoreFiles {
 public:
  std::map<std::string, std::string> files;     // data file name -> bytes
  std::map<std::string, std::string> builtIns;  // resource name -> bytes
  std::set<std::string> unreadable;             // exist but cannot be read
  std::set<std::string> unwritable;             // writing fails
  std::set<std::string> directories;
  std::vector<std::string> writes;                 // names, in order of writing
  std::vector<std::string> temporariesRemovedFor;  // the names of the last such call
  std::string currentDirectory;

  std::string ProgramDirectory() const override { return "/program/"; }
  bool Exists(const std::string& name) const override {
    return files.count(name) != 0 || unreadable.count(name) != 0;
  }
  std::string Read(const std::string& name) const override {
    if (unreadable.count(name)) throw FileError(CannotOpenMessage("/program/" + name));
    return files.at(name);
  }
  void Write(const std::string& name, const std::string& bytes) override {
    writes.push_back(name);
    if (unwritable.count(name)) throw FileError(CannotCreateMessage("/program/" + name));
    files[name] = bytes;
  }
  void RemoveLeftoverTemporaries(const std::vector<std::string>& names) override {
    temporariesRemovedFor = names;
  }
  std::string BuiltIn(const std::string& resource) const override {
    const auto found = builtIns.find(resource);
    return found == builtIns.end() ? std::string() : found->second;
  }
  bool DirectoryExists(const std::string& path) const override {
    return directories.count(path) != 0;
  }
  void ChangeCurrentDirectory(const std::string& path) override { currentDirectory = path; }
};

class FakeSettingsFile : public SettingsFile {
 public:
  std::map<std::string, std::string> values;  // "section/key" -> text
  bool failCommit = false;
  int commits = 0;

  std::optional<std::string> Read(const std::string& section, const std::string& key) override {
    const auto found = values.find(section + "/" + key);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  void Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    values[section + "/" + key] = value;
  }
  void Commit() override {
    ++commits;
    if (failCommit) throw FileError(CannotCreateMessage("/program/quillmark.ini"));
  }
};

}  // namespace quillmark::testing
