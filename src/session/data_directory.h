#pragma once
// Where the data files and quillmark.ini are kept, chosen once at start-up.
//
// A copy of the program that can write beside itself (the build tree, a copy unpacked in the
// user's own folder) or already finds quillmark.ini there keeps its files in its program
// directory. An installed program keeps them in the user's data directory instead,
// $XDG_DATA_HOME/quillmark/ (by default ~/.local/share/quillmark/), created on the first save:
// it usually cannot write beside itself, and when it can (root, or an install into ~/.local)
// the data files have no place among other programs.

#include <string>

namespace quillmark {

// What start-up found out about the program directory.
struct ProgramDirectoryFacts {
  bool holdsConfiguration = false;  // quillmark.ini is there
  bool writable = false;            // this user may create files there
  bool installed = false;  // it is the bin/ of an installation (see DataDirectoryAtStartUp)
};

// The directory the data files live in, with a trailing '/'.
struct DataDirectory {
  std::string path;
  // Whether the first save must create it (the user's data directory).
  bool createOnSave = false;
};

// `programDirectory` when it holds the configuration, or is writable and not installed;
// otherwise `userDataDirectory` (created on save), unless that is empty.
DataDirectory ChooseDataDirectory(const std::string& programDirectory,
                                  const ProgramDirectoryFacts& facts,
                                  const std::string& userDataDirectory);

// The user's data directory for Quillmark, with a trailing '/': "<xdgDataHome>/quillmark/" when
// `xdgDataHome` is an absolute path (a relative one is ignored, as the XDG base directory rules
// ask), else "<home>/.local/share/quillmark/"; empty when `home` is not absolute either. Null
// stands for an unset variable.
std::string UserDataDirectory(const char* xdgDataHome, const char* home);

// Start-up: looks at `programDirectory` (ending with '/'), XDG_DATA_HOME and HOME (else the
// home directory in the user database), and chooses. The program directory counts as installed
// when "../share/applications/quillmark.desktop" is beside it, as an install puts it. Never
// throws.
DataDirectory DataDirectoryAtStartUp(const std::string& programDirectory);

// Creates `directory` and its missing parents with mode 0700 (the XDG rules' mode: only this
// user sees the files). Returns whether it is a directory afterwards.
bool CreateMissingDirectories(const std::string& directory);

}  // namespace quillmark
