#include "session/data_directory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "session/data_files.h"

namespace quillmark {

namespace {

std::string WithSeparator(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string HomeFromUserDatabase() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr)
    return {};
  return found->pw_dir;
}

}  // namespace

DataDirectory ChooseDataDirectory(const std::string& programDirectory,
                                  const ProgramDirectoryFacts& facts,
                                  const std::string& userDataDirectory) {
  const bool portable = facts.holdsConfiguration || (facts.writable && !facts.installed);
  if (portable || userDataDirectory.empty()) return {programDirectory, false};
  return {userDataDirectory, true};
}

std::string UserDataDirectory(const char* xdgDataHome, const char* home) {
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
    return WithSeparator(xdgDataHome) + "quillmark/";
  if (home != nullptr && home[0] == '/') return WithSeparator(home) + ".local/share/quillmark/";
  return {};
}

DataDirectory DataDirectoryAtStartUp(const std::string& programDirectory) {
  ProgramDirectoryFacts facts;
  facts.holdsConfiguration = ::access((programDirectory + kConfigurationFile).c_str(), F_OK) == 0;
  facts.writable = ::access(programDirectory.c_str(), W_OK) == 0;
  facts.installed =
      ::access((programDirectory + "../share/applications/quillmark.desktop").c_str(), F_OK) == 0;
  const char* home = std::getenv("HOME");
  std::string homeDirectory = home != nullptr ? home : "";
  if (!homeDirectory.starts_with('/')) homeDirectory = HomeFromUserDatabase();
  return ChooseDataDirectory(
      programDirectory, facts,
      UserDataDirectory(std::getenv("XDG_DATA_HOME"), homeDirectory.c_str()));
}

bool CreateMissingDirectories(const std::string& directory) {
  std::string path = WithSeparator(directory);
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!IsDirectory(part) && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return IsDirectory(directory);
}

}  // namespace quillmark
