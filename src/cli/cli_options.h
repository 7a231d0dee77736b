#pragma once
// The command line of quillmark-cli, taken apart. Pure: no file is read here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study/web_dictionary.h"

namespace quillmark {

enum class CliCommand {
  kGather,
  kWords,
  kFind,
  kExport,
  kDefine,
  kHistory,
  kTrends,
  kArticle,
  kArticles,
  kRead,
  kLevel
};
enum class ResultFormat { kTsv, kJson, kText };

struct CliOptions {
  CliCommand command = CliCommand::kGather;
  std::optional<std::string> dataDirectory;  // --data-dir; else as the window program chooses
  bool save = false;                         // --save
  std::int32_t lockWaitSeconds = 30;  // --lock-wait: how long --save waits for the data files
  // --help / --version: print the usage or the version and do nothing else.
  bool help = false;
  bool version = false;
  // gather (export: all but --report)
  std::optional<std::string> sitesFile;  // --sites
  std::optional<bool> followLinks;       // --follow-links; else the configuration's IsLevel
  std::optional<std::int32_t> depth;     // --depth; else the configuration's AllowedLevel
  std::optional<bool> fetchHttps;        // --https / --no-https; else FetchHttps
  // --articles N (1 to 100) / --no-articles (0); else FollowArticles and ArticlesPerSite
  std::optional<std::int32_t> articlesPerSite;
  std::optional<std::string> reportFile;  // --report
  // gather and words
  std::optional<std::int32_t> top;  // --top; else ItemViewCount + 1
  bool all = false;                 // --all (export too)
  ResultFormat format = ResultFormat::kTsv;
  bool meanings = false;          // --meanings: each word's meaning in the built-in dictionary
  std::optional<bool> hideNames;  // --hide-names (export too); else the configuration's HideNames
  bool forms = false;             // --forms: json gives each word's folded forms and counts
  // --article / --whole-page (gather, words, export); else the configuration's ArticleText
  std::optional<bool> articleText;
  // words
  std::string host = "local";      // --host
  std::vector<std::string> files;  // "-" is standard input
  // find
  std::string word;
  std::optional<std::string> sentencesFile;  // --sentences; else sum.dat's sentences
  // export
  WebDictionary dictionary = kFirstChoiceDictionary;  // --dictionary; the window's first choice
  std::string cardsFile;                              // "-" is standard output
  // define
  std::vector<std::string> words;
  // article (its FILEs are `files`, --format text or json)
  bool sentences = false;  // --sentences: one sentence a line instead of paragraphs
  // trends (--top and --format too; history takes --format)
  std::int32_t days = 7;  // --days: the runs of the last N days are compared with
  // articles and read (--format too; read's default is text)
  // level: --set N (kept at once) / --show; neither runs the check.
  std::optional<std::int32_t> setLevel;
  bool showLevel = false;
  std::int32_t articleDays = 0;  // --days: the articles of the last N days; 0: of the last run
  std::string article;           // read: an address, or a number of the articles table
};

// Thrown for a command line that cannot be used; the message says what is wrong.
struct UsageError {
  std::string message;
};

// Takes the arguments after the program name. "--" ends the options: every argument after it
// is an operand (or the command). "--help" or "--version" ends the parsing at once with `help`
// or `version` set, whatever follows. Throws UsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& arguments);

// The usage text, printed by --help and with a UsageError.
extern const char* const kCliUsage;

}  // namespace quillmark
