#pragma once
// The command line of quillmark-cli, taken apart. Pure: no file is read here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study/web_dictionary.h"

namespace quillmark {

enum class CliCommand { kGather, kWords, kFind, kExport };
enum class ResultFormat { kTsv, kJson };

struct CliOptions {
  CliCommand command = CliCommand::kGather;
  std::optional<std::string> dataDirectory;  // --data-dir; else as the window program chooses
  bool save = false;                         // --save
  // gather (export: all but --report)
  std::optional<std::string> sitesFile;   // --sites
  std::optional<bool> followLinks;        // --follow-links; else the configuration's IsLevel
  std::optional<std::int32_t> depth;      // --depth; else the configuration's AllowedLevel
  std::optional<bool> fetchHttps;         // --https / --no-https; else FetchHttps
  std::optional<std::string> reportFile;  // --report
  // gather and words
  std::optional<std::int32_t> top;  // --top; else ItemViewCount + 1
  bool all = false;                 // --all (export too)
  ResultFormat format = ResultFormat::kTsv;
  std::optional<bool> hideNames;  // --hide-names (export too); else the configuration's HideNames
  bool forms = false;             // --forms: json gives each word's folded forms and counts
  // words
  std::string host = "local";      // --host
  std::vector<std::string> files;  // "-" is standard input
  // find
  std::string word;
  std::optional<std::string> sentencesFile;  // --sentences; else sum.dat's sentences
  // export
  WebDictionary dictionary = WebDictionary::kLycos;  // --dictionary; the window's first choice
  std::string cardsFile;                             // "-" is standard output
};

// Thrown for a command line that cannot be used; the message says what is wrong.
struct UsageError {
  std::string message;
};

// Takes the arguments after the program name. Throws UsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& arguments);

// The usage text printed with a UsageError.
extern const char* const kCliUsage;

}  // namespace quillmark
