// An installation: its files, their checks by the desktop's own tools, and the Debian package
// installed on this machine and run by an ordinary user with a fresh home.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>

#include "cli/cli_options.h"
#include "session/data_files.h"
#include "support/child_process.h"
#include "support/fake_store_files.h"
#include "support/scripted_server.h"
#include "support/temporary_directory.h"

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::ProcessResult;
using testing::RunProcess;
using testing::TemporaryDirectory;

const std::string kSource = QUILLMARK_SOURCE_DIR "/";
const std::string kBuild = QUILLMARK_BUILD_DIR "/";

// Runs a command found on PATH (through env(1), which can also set variables first).
ProcessResult RunCommand(std::vector<std::string> command, std::string_view input = {}) {
  command.insert(command.begin(), "/usr/bin/env");
  return RunProcess(command, input);
}

bool Installed(const char* tool) { return RunCommand({"which", tool}).status == 0; }

// The width and height of a PNG file, from its header.
std::pair<int, int> PngSize(const std::string& path) {
  const std::string bytes = FileBytes(path);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  const auto number = [&bytes](std::size_t at) {
    int value = 0;
    for (std::size_t i = at; i < at + 4; ++i)
      value = value * 256 + static_cast<unsigned char>(bytes[i]);
    return value;
  };
  return {number(16), number(20)};
}

TEST(DesktopEntry, PassesDesktopFileValidateWithoutAHint) {
  if (!Installed("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  const ProcessResult result =
      RunCommand({"desktop-file-validate", kSource + "packaging/quillmark.desktop"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output + result.error, "");
}

TEST(ManualPages, RenderWithoutWarningsAndNameEveryOptionFileAndKey) {
  if (!Installed("man")) GTEST_SKIP() << "man is not installed";
  for (const char* page : {"quillmark.1.gz", "quillmark-cli.1.gz"}) {
    const ProcessResult result = RunCommand(
        {"LC_ALL=C", "MANWIDTH=80", "man", "--warnings=all", "-l", kBuild + "packaging/" + page});
    EXPECT_EQ(result.status, 0) << page;
    EXPECT_EQ(result.error, "") << page;
    EXPECT_NE(result.output.find("SYNOPSIS"), std::string::npos) << page;
  }

  // Every command and option the usage text offers, and every file, in the page's source.
  const auto source = [](const char* page) {
    return std::regex_replace(FileBytes(kSource + "packaging/man/" + page), std::regex(R"(\\-)"),
                              "-");
  };
  const std::string cli = source("quillmark-cli.1");
  const std::string usage = kCliUsage;
  const std::regex offered(R"(--[a-z-]+|^  ([a-z]+) )", std::regex::multiline);
  for (std::sregex_iterator it(usage.begin(), usage.end(), offered), end; it != end; ++it) {
    const std::string name = (*it)[1].matched ? (*it)[1].str() : it->str();
    EXPECT_NE(cli.find(name), std::string::npos) << name << " is not in quillmark-cli(1)";
  }
  const std::string window = source("quillmark.1");
  EXPECT_NE(window.find("/AUTO"), std::string::npos);
  EXPECT_NE(window.find("COLORS"), std::string::npos);
  for (const char* file :
       {kHostsFile, kNgWordsFile, kMappedWordsFile, kSumFile, kConfigurationFile}) {
    EXPECT_NE(window.find(file), std::string::npos) << file << " is not in quillmark(1)";
    EXPECT_NE(cli.find(file), std::string::npos) << file << " is not in quillmark-cli(1)";
  }

  // Every key the program writes to the configuration (FetchHttps only once it was changed).
  testing::FakeStoreFiles files;
  files.directories.insert("/reports");
  testing::FakeSettingsFile settings;
  MainStores stores;
  stores.configuration.fetchHttps = !stores.configuration.fetchHttps;
  SaveAllStores(stores, files, settings, "/reports/report.html");
  ASSERT_EQ(settings.values.size(), 5u);
  for (const auto& written : settings.values) {
    const std::string key = written.first.substr(written.first.find('/') + 1);
    EXPECT_NE(window.find(key), std::string::npos) << key << " is not in quillmark(1)";
  }
}

TEST(StagedInstall, HoldsEveryFileAndTheInstalledProgramKeepsItsDataInTheUsersHome) {
  TemporaryDirectory stage;
  ASSERT_FALSE(stage.Path().empty());
  const ProcessResult install =
      RunProcess({QUILLMARK_CMAKE, "--install", kBuild, "--prefix", stage.Path()});
  ASSERT_EQ(install.status, 0) << install.error;

  const std::string share = stage.Path() + "share/";
  for (const char* program : {"bin/quillmark", "bin/quillmark-cli"})
    EXPECT_EQ(::access((stage.Path() + program).c_str(), X_OK), 0) << program;
  for (const char* file :
       {"applications/quillmark.desktop", "icons/hicolor/scalable/apps/quillmark.svg",
        "man/man1/quillmark.1.gz", "man/man1/quillmark-cli.1.gz", "doc/quillmark/copyright",
        "doc/quillmark/changelog.Debian.gz"})
    EXPECT_TRUE(fs::is_regular_file(share + file)) << file;
  EXPECT_EQ(PngSize(share + "icons/hicolor/48x48/apps/quillmark.png"), std::make_pair(48, 48));
  EXPECT_EQ(PngSize(share + "icons/hicolor/256x256/apps/quillmark.png"), std::make_pair(256, 256));

  // Installed, the program does not write beside itself even where it could (a test may
  // write into the stage): its files go to the user's data directory.
  TemporaryDirectory home;
  const ProcessResult words =
      RunCommand({"-u", "XDG_DATA_HOME", "HOME=" + home.Path(), stage.Path() + "bin/quillmark-cli",
                  "words", "--save", "-"},
                 "<p>The ship sailed at dawn.</p>");
  EXPECT_EQ(words.status, 0) << words.error;
  EXPECT_TRUE(fs::is_regular_file(home.Path() + ".local/share/quillmark/ngwords.dat"));
  EXPECT_FALSE(fs::exists(stage.Path() + "bin/ngwords.dat"));
}

// Removes the package however the test ends.
struct PackageRemoval {
  ~PackageRemoval() { RunCommand({"dpkg", "--purge", "quillmark"}); }
};

// Installs the package on this machine, so only where that is wanted: CI sets
// QUILLMARK_INSTALL_CHECK=1 and runs as root.
TEST(DebianPackage, InstalledItRunsForAUserWithAFreshHomeAndKeepsTheirDataThere) {
  const char* wanted = std::getenv("QUILLMARK_INSTALL_CHECK");
  if (wanted == nullptr || std::string(wanted) != "1" || ::geteuid() != 0)
    GTEST_SKIP() << "installs a package: only as root with QUILLMARK_INSTALL_CHECK=1 (CI)";
  const passwd* nobody = ::getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);

  TemporaryDirectory work;
  const ProcessResult package = RunProcess(
      {QUILLMARK_CPACK, "-G", "DEB", "-B", work.Path(), "--config", kBuild + "CPackConfig.cmake"});
  ASSERT_EQ(package.status, 0) << package.output << package.error;
  std::string deb;
  for (const auto& entry : fs::directory_iterator(work.Path()))
    if (entry.path().extension() == ".deb") deb = entry.path().string();
  ASSERT_FALSE(deb.empty());

  if (Installed("lintian")) {
    const ProcessResult lintian = RunCommand({"lintian", "--fail-on", "error", deb});
    EXPECT_EQ(lintian.status, 0) << lintian.output << lintian.error;
  }

  PackageRemoval removal;
  const ProcessResult dpkg = RunCommand({"dpkg", "-i", deb});
  ASSERT_EQ(dpkg.status, 0) << dpkg.output << dpkg.error;

  // The built-in sites go to this proxy, which knows none of them: no run leaves the machine.
  testing::ScriptedServer proxy{testing::ServePages({})};
  TemporaryDirectory home;
  ASSERT_EQ(::chown(home.Path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  const auto runAsNobody = [&] {
    return RunCommand({"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                       "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "env", "-i",
                       "HOME=" + home.Path(), "PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen",
                       "http_proxy=" + proxy.Url("/"), "quillmark", "/auto"});
  };

  const ProcessResult first = runAsNobody();
  ASSERT_EQ(first.status, 0) << first.output << first.error;
  EXPECT_GT(proxy.connections(), 0);
  const std::string data = home.Path() + ".local/share/quillmark/";
  for (const char* file : {kHostsFile, kNgWordsFile, kMappedWordsFile, kConfigurationFile}) {
    EXPECT_TRUE(fs::is_regular_file(data + file)) << file;
    EXPECT_FALSE(fs::exists(std::string("/usr/bin/") + file)) << file;
  }
  struct stat status {};
  ASSERT_EQ(::stat(data.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, nobody->pw_uid);
  EXPECT_EQ(status.st_mode & 0777, 0700u);

  testing::WriteFileBytes(data + kNgWordsFile, FileBytes(data + kNgWordsFile) + "zzqword\r\n");
  const ProcessResult second = runAsNobody();
  ASSERT_EQ(second.status, 0) << second.output << second.error;
  EXPECT_NE(FileBytes(data + kNgWordsFile).find("\r\nZZQWORD\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quillmark
