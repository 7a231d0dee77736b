#include "session/data_files.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <set>

#include "gather/gathering_crawl.h"
#include "gather/sites_side_by_side.h"
#include "session/line_file.h"

namespace quillmark {

const char* const kFurtherBuiltInSites[2] = {
    "http://learningenglish.voanews.com/",
    "http://www3.nhk.or.jp/nhkworld/",
};

namespace {

constexpr const char* kConfigSection = "config";
constexpr const char* kLinkSection = "link";

// The directory part of a path, without its trailing separator.
std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

std::string ProgramDirectoryWithoutSeparator(const std::string& directory) {
  if (directory.size() > 1 && directory.back() == '/')
    return directory.substr(0, directory.size() - 1);
  return directory;
}

void ReadConfiguration(Configuration& config, SettingsFile& settings,
                       const std::string& programDir) {
  config.itemViewCount = ParseIntegerSetting(settings.Read(kConfigSection, "ItemViewCount"), 30);
  config.lastSavedDirectory = settings.Read(kConfigSection, "LastSavedDirectory")
                                  .value_or(ProgramDirectoryWithoutSeparator(programDir));
  config.allowedLevel = ParseIntegerSetting(settings.Read(kLinkSection, "AllowedLevel"), 1);
  config.isLevel = ParseIntegerSetting(settings.Read(kLinkSection, "IsLevel"), 0) != 0;
  config.fetchHttps = ParseIntegerSetting(settings.Read(kLinkSection, "FetchHttps"),
                                          Configuration{}.fetchHttps ? 1 : 0) != 0;
  config.hideNames = ParseIntegerSetting(settings.Read(kConfigSection, "HideNames"), 0) != 0;
  config.followArticles = ParseIntegerSetting(settings.Read(kLinkSection, "FollowArticles"),
                                              Configuration{}.followArticles ? 1 : 0) != 0;
  config.articlesPerSite =
      std::clamp(ParseIntegerSetting(settings.Read(kLinkSection, "ArticlesPerSite"),
                                     Configuration{}.articlesPerSite),
                 kMinArticlesPerSite, kMaxArticlesPerSite);
  config.sitesAtOnce = std::clamp(
      ParseIntegerSetting(settings.Read(kLinkSection, "SitesAtOnce"), Configuration{}.sitesAtOnce),
      kMinSitesAtOnce, kMaxSitesAtOnce);
  config.articleText = ParseIntegerSetting(settings.Read(kConfigSection, "ArticleText"),
                                           Configuration{}.articleText ? 1 : 0) != 0;
  // Read, never written: the designed configuration stays as it is unless the user adds it.
  config.keepArticlesDays = ParseIntegerSetting(settings.Read(kConfigSection, "KeepArticlesDays"),
                                                Configuration{}.keepArticlesDays);
  config.vocabularyLevel =
      std::max(0, ParseIntegerSetting(settings.Read(kConfigSection, "VocabularyLevel"), 0));
}

// Writes a switch only once it differs from its default or the file has it, so a configuration
// that never changed it keeps the bytes it always had.
void WriteSwitchOnceChanged(SettingsFile& settings, const std::string& section,
                            const std::string& key, bool on, bool byDefault) {
  if (on != byDefault || settings.Read(section, key)) settings.Write(section, key, on ? "1" : "0");
}

void WriteConfiguration(const Configuration& config, SettingsFile& settings,
                        const StoreFiles& files, const std::string& reportPath) {
  settings.Write(kConfigSection, "ItemViewCount", std::to_string(config.itemViewCount));
  if (!reportPath.empty()) {
    const std::string directory = DirectoryOf(reportPath);
    // A name with a line break cannot be one line of the file; the stored value stays then.
    const bool fitsOneLine =
        directory.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
    if (!directory.empty() && fitsOneLine && files.DirectoryExists(directory)) {
      settings.Write(kConfigSection, "LastSavedDirectory", directory);
    }
  }
  settings.Write(kLinkSection, "AllowedLevel", std::to_string(config.allowedLevel));
  settings.Write(kLinkSection, "IsLevel", config.isLevel ? "1" : "0");
  WriteSwitchOnceChanged(settings, kLinkSection, "FetchHttps", config.fetchHttps,
                         Configuration{}.fetchHttps);
  WriteSwitchOnceChanged(settings, kConfigSection, "HideNames", config.hideNames,
                         Configuration{}.hideNames);
  WriteSwitchOnceChanged(settings, kLinkSection, "FollowArticles", config.followArticles,
                         Configuration{}.followArticles);
  if (config.articlesPerSite != Configuration{}.articlesPerSite ||
      settings.Read(kLinkSection, "ArticlesPerSite")) {
    settings.Write(kLinkSection, "ArticlesPerSite", std::to_string(config.articlesPerSite));
  }
  if (config.sitesAtOnce != Configuration{}.sitesAtOnce ||
      settings.Read(kLinkSection, "SitesAtOnce")) {
    settings.Write(kLinkSection, "SitesAtOnce", std::to_string(config.sitesAtOnce));
  }
  WriteSwitchOnceChanged(settings, kConfigSection, "ArticleText", config.articleText,
                         Configuration{}.articleText);
  // Written once a level was set, so that a configuration without one keeps its bytes.
  if (config.vocabularyLevel != 0 || settings.Read(kConfigSection, "VocabularyLevel")) {
    settings.Write(kConfigSection, "VocabularyLevel", std::to_string(config.vocabularyLevel));
  }
  settings.Commit();
}

// The blanks of C's isspace, which part the fields of a dictionary line.
bool IsFieldBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The first two blank-separated fields of `line` into `fields`; false when it has fewer.
bool SplitFirstTwoFields(std::string_view line, std::string_view (&fields)[2]) {
  std::size_t i = 0;
  for (std::string_view& field : fields) {
    while (i < line.size() && IsFieldBlank(line[i])) ++i;
    if (i == line.size()) return false;
    const std::size_t start = i;
    while (i < line.size() && !IsFieldBlank(line[i])) ++i;
    field = line.substr(start, i - start);
  }
  return true;
}

}  // namespace

std::int32_t ParseIntegerSetting(const std::optional<std::string>& text, std::int32_t fallback) {
  if (!text) return fallback;
  std::string_view digits = *text;
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
    return fallback;
  return value;
}

void LoadStoresAndConfiguration(MainStores& stores, StoreFiles& files, SettingsFile& settings,
                                Leftovers leftovers) {
  if (leftovers == Leftovers::kRemove) {
    files.RemoveLeftoverTemporaries({kHostsFile, kNgWordsFile, kMappedWordsFile, kSumFile,
                                     kConfigurationFile, kUnknownWordsFile});
  }
  stores.sites.Clear();
  stores.programDirectory = files.ProgramDirectory();

  stores.sites.AddAll(ReadLineFile(files.BuiltIn("HOSTS")));
  if (files.Exists(kHostsFile)) {
    // The file is the whole list; the built-in one is only a default.
    LineList addresses = ReadLineFile(files.Read(kHostsFile));
    stores.sites.Clear();
    stores.sites.AddAll(std::move(addresses));
  }

  // The built-in list is upper case in byte order: with the hint each word goes in at the end
  // without a search of the tree. The built-in lists go into their stores line by line,
  // without a list of their lines between.
  ForEachLine(files.BuiltIn("NGWORDS"), [&stores](std::string_view word) {
    stores.ngWords.insert(stores.ngWords.end(), UpperCaseShiftJis(word));
  });

  if (files.Exists(kSumFile)) {
    auto& history = stores.sentences[kHistoryHost];
    for (auto& line : ReadLineFile(files.Read(kSumFile))) history.insert(std::move(line));
  }

  stores.mappedWords.clear();
  if (files.Exists(kMappedWordsFile)) {
    stores.mappedWords = ReadLineFile(files.Read(kMappedWordsFile));
  }
  ForEachLine(files.BuiltIn("MAPPEDWORDS"), [&stores](std::string_view word) {
    stores.mappedWords.push_back(UpperCaseShiftJis(word));
  });

  if (files.Exists(kNgWordsFile)) {
    for (const auto& word : ReadLineFile(files.Read(kNgWordsFile))) {
      stores.ngWords.insert(UpperCaseShiftJis(word));
    }
  }

  stores.unknownWords.clear();
  if (files.Exists(kUnknownWordsFile)) {
    for (const auto& word : ReadLineFile(files.Read(kUnknownWordsFile))) {
      stores.unknownWords.insert(UpperCaseShiftJis(word));
    }
  }

  for (const char* site : kFurtherBuiltInSites) stores.sites.Add(site);

  ReadConfiguration(stores.configuration, settings, stores.programDirectory);
  if (files.DirectoryExists(stores.configuration.lastSavedDirectory)) {
    files.ChangeCurrentDirectory(stores.configuration.lastSavedDirectory);
  }
}

void LoadMappingDictionary(MainStores& stores, const StoreFiles& files) {
  // The built-in list is in byte order, so every insertion lands at the end: the hint makes
  // each one constant time. A repeated form misses the hint, is found and takes the later
  // base form, as a plain assignment would.
  MappingDictionary& dictionary = stores.dictionary;
  ForEachLine(files.BuiltIn("MAPPING_DIC"), [&dictionary](std::string_view line) {
    std::string_view fields[2];
    if (SplitFirstTwoFields(line, fields)) {
      dictionary.insert_or_assign(dictionary.end(), std::string(fields[0]), std::string(fields[1]));
    }
  });
}

void SaveAllStores(MainStores& stores, StoreFiles& files, SettingsFile& settings,
                   const std::string& reportPath) {
  std::string failures;
  const auto attempt = [&failures](auto&& step) {
    try {
      step();
    } catch (const FileError& error) {
      if (!failures.empty()) failures += '\n';
      failures += error.what();
    }
  };

  attempt([&] { files.Write(kHostsFile, WriteLineFile(stores.sites.Addresses())); });

  attempt([&] {
    LineList words;
    words.reserve(stores.ngWords.size());
    for (const auto& word : stores.ngWords) words.push_back(UpperCaseShiftJis(word));
    files.Write(kNgWordsFile, WriteLineFile(words));
  });

  attempt([&] {
    // Kept only once the learner said of a word that the level takes as known that they do
    // not know it: a learner who never did has no such file.
    if (stores.unknownWords.empty() && !files.Exists(kUnknownWordsFile)) return;
    files.Write(kUnknownWordsFile,
                WriteLineFile(LineList(stores.unknownWords.begin(), stores.unknownWords.end())));
  });

  attempt([&] { WriteConfiguration(stores.configuration, settings, files, reportPath); });

  attempt([&] {
    const std::set<std::string> distinct(stores.mappedWords.begin(), stores.mappedWords.end());
    stores.mappedWords.assign(distinct.begin(), distinct.end());
    files.Write(kMappedWordsFile, WriteLineFile(stores.mappedWords));
  });

  attempt([&] {
    if (!files.Exists(kSumFile)) return;  // maintained only once something else created it
    std::set<std::string> sentences;
    for (const auto& [host, hostSentences] : stores.sentences) {
      sentences.insert(hostSentences.begin(), hostSentences.end());
    }
    files.Write(kSumFile, WriteLineFile(LineList(sentences.begin(), sentences.end())));
  });

  if (!failures.empty()) throw FileError(failures);
}

}  // namespace quillmark
