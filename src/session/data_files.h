#pragma once
// Loading every store at start-up and saving them at exit, in a fixed order, from the
// data files in the program directory or the built-in lists.
//
// The file system reaches this code through two small seams, so the orders and rules
// are tested without touching a disk; the program passes QtStoreFiles and IniSettingsFile.

#include <optional>
#include <string>
#include <vector>

#include "session/atomic_file.h"
#include "session/main_stores.h"

namespace quillmark {

// The data files, the built-in lists and the directories the stores need.
class StoreFiles {
 public:
  virtual ~StoreFiles() = default;
  // The directory the data files are kept in, with a trailing separator: the program
  // directory, or for an installed program the user's data directory (data_directory.h).
  virtual std::string ProgramDirectory() const = 0;
  // Whether the data file `name` exists in that directory.
  virtual bool Exists(const std::string& name) const = 0;
  // The bytes of data file `name`; throws FileError (cannot open) when it exists but
  // cannot be read.
  virtual std::string Read(const std::string& name) const = 0;
  // Replaces data file `name` as a whole; on failure throws FileError (cannot create)
  // and leaves the old file as it was.
  virtual void Write(const std::string& name, const std::string& bytes) = 0;
  // Removes what a save killed before its rename left of the files `names`: their
  // temporaries in the program directory. Never throws.
  virtual void RemoveLeftoverTemporaries(const std::vector<std::string>& names) = 0;
  // The bytes of built-in list `resource` (HOSTS, NGWORDS, MAPPEDWORDS, MAPPING_DIC, EJDICT,
  // FREQUENCY_RANKS, MADE_UP_WORDS).
  virtual std::string BuiltIn(const std::string& resource) const = 0;
  virtual bool DirectoryExists(const std::string& path) const = 0;
  virtual void ChangeCurrentDirectory(const std::string& path) = 0;
};

// The configuration file: values by section and key.
class SettingsFile {
 public:
  virtual ~SettingsFile() = default;
  // The value's text, or nothing when the file or the key is missing or unreadable.
  virtual std::optional<std::string> Read(const std::string& section, const std::string& key) = 0;
  virtual void Write(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
  // Puts the written values into the file; throws FileError (cannot create) on failure.
  virtual void Commit() = 0;
};

// The data files, the configuration file, the built-in lists and the sites always added
// after loading.
inline constexpr const char* kHostsFile = "hosts.dat";
inline constexpr const char* kNgWordsFile = "ngwords.dat";
inline constexpr const char* kMappedWordsFile = "mappedwords.dat";
inline constexpr const char* kSumFile = "sum.dat";
// The words the learner does not know although the level takes them as known (知らない).
inline constexpr const char* kUnknownWordsFile = "unknownwords.dat";
inline constexpr const char* kConfigurationFile = "quillmark.ini";
inline constexpr const char* kHistoryHost = "History";
extern const char* const kFurtherBuiltInSites[2];

// What start-up does with the temporaries a killed save left: a program that holds the data
// directory's lock (directory_lock.h) removes them; one that only reads keeps them, since they
// may be another program's save in progress.
enum class Leftovers { kRemove, kKeep };

// Start-up, up to the configuration: first (with Leftovers::kRemove) the temporaries a killed
// save left of the data files and the configuration are removed; then the site list (built-in or
// hosts.dat, plus the two further sites), the NG-word list (built-in plus ngwords.dat, upper case),
// sum.dat's lines under "History", the mapped-word list (mappedwords.dat as it is, then the
// built-in list upper-cased), unknownwords.dat (upper case) and the configuration; changes the
// current directory to LastSavedDirectory when it exists. Throws FileError when a data file exists
// but cannot be read; the stores then hold what was loaded so far and must not be saved.
void LoadStoresAndConfiguration(MainStores& stores, StoreFiles& files, SettingsFile& settings,
                                Leftovers leftovers = Leftovers::kRemove);

// Start-up, last step: the mapping dictionary from the built-in list, "%s %s" per line,
// a later line overriding an earlier one for the same inflected form.
void LoadMappingDictionary(MainStores& stores, const StoreFiles& files);

// Exit: writes hosts.dat, ngwords.dat, the configuration, mappedwords.dat (sorted, no
// duplicates; the in-memory list is replaced by that) and, only when it already exists,
// sum.dat (every distinct sentence of every host). `reportPath` is the last report's file
// name (empty when none was saved): its directory becomes LastSavedDirectory when it exists.
// A write that fails does not stop the others; throws one FileError naming every file that
// could not be written, after all were tried.
void SaveAllStores(MainStores& stores, StoreFiles& files, SettingsFile& settings,
                   const std::string& reportPath);

// Reads a configuration integer: decimal text, else `fallback`.
std::int32_t ParseIntegerSetting(const std::optional<std::string>& text, std::int32_t fallback);

}  // namespace quillmark
