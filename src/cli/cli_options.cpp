#include "cli/cli_options.h"

#include <charconv>
#include <utility>

#include "gather/gathering_crawl.h"

namespace quillmark {

const char* const kCliUsage =
    "usage: quillmark-cli [--data-dir DIR] [--lock-wait SECONDS] COMMAND [OPTIONS]\n"
    "       quillmark-cli --help | --version\n"
    "  gather [--sites FILE] [--follow-links] [--depth N] [--https | --no-https]\n"
    "         [--top N] [--all] [--report FILE] [--format tsv|json] [--forms]\n"
    "         [--hide-names] [--article | --whole-page] [--save]\n"
    "         [--articles N | --no-articles]\n"
    "      one gathering run over the site list, with no window (--https fetches https\n"
    "      sites too for this run, --no-https does not; else as FetchHttps says;\n"
    "      --articles reads each site's N newest articles (1-100) after its address,\n"
    "      --no-articles does not; else as FollowArticles and ArticlesPerSite say)\n"
    "  words [--host NAME] [--top N] [--all] [--format tsv|json] [--forms] [--hide-names]\n"
    "        [--article | --whole-page] [--save] FILE...\n"
    "      the same counting over saved pages (\"-\" reads standard input)\n"
    "      json gives each word's class (word, name, label; known with --all) and, with\n"
    "      --forms, the inflected forms folded into it with their counts; --hide-names\n"
    "      leaves out names and page labels, else as HideNames says\n"
    "      (gather, words and export: --article reads each page's article text, --whole-page\n"
    "      the whole page as the scanner does; else as ArticleText says)\n"
    "  find WORD [--sentences FILE]\n"
    "      the sentences holding WORD or one of its inflected forms, from sum.dat or FILE\n"
    "      (from the articles the history keeps when sum.dat has none of them)\n"
    "  export [--sites FILE] [--follow-links] [--depth N] [--https | --no-https] [--all]\n"
    "         [--hide-names] [--dictionary goo|lycos|rnn|weblio] [--article | --whole-page]\n"
    "         [--articles N | --no-articles] [--save] OUTPUT\n"
    "      one gathering run as gather makes it, its shown words (with --all every word not\n"
    "      known) written to OUTPUT (\"-\": standard output) as tab-separated flashcards:\n"
    "      word, count, example sentence, host, dictionary address (default weblio), meaning\n"
    "  define WORD...\n"
    "      each WORD's meaning in the built-in English-Japanese dictionary\n"
    "  article [--sentences] [--format text|json] FILE...\n"
    "      the article text of each saved page as a gathering reads it (paragraphs apart by\n"
    "      a blank line; --sentences: one sentence a line)\n"
    "  (gather and words take --meanings: each word's meaning as one more column or field)\n"
    "  history [--format tsv|json]\n"
    "      the gathering runs kept in history.sqlite3 (gather and export --save add one)\n"
    "  trends [--days N] [--top N] [--format tsv|json]\n"
    "      the words new and rising in the last run against the runs of the last N days\n"
    "      (default 7), at most N of each (default 20)\n"
    "  articles [--days N] [--format tsv|json]\n"
    "      the articles the last run read (with --days, those of the last N days), most\n"
    "      readable first: each one's share of words you know, its words and unknown words\n"
    "  read ADDRESS|NUMBER [--days N] [--format text|json]\n"
    "      a kept article (NUMBER: its row in articles) with each word you do not know marked\n"
    "      ([word] in text, underlined on a terminal unless TERM is dumb or NO_COLOR is set;\n"
    "      \"unknown\": true in json)\n"
    "Data files are read from DIR, else the program directory, or ~/.local/share/quillmark/\n"
    "when the program is installed; they are written only with --save. A run with --save\n"
    "holds them from start to end, and waits up to SECONDS (default 30) while another\n"
    "Quillmark program does.\n"
    "An option's value may follow it or an \"=\" (--top 3, --top=3).\n"
    "-- ends the options: what follows is a word or a file even when it starts with -.\n"
    "Exit status: 0 done, 1 nothing gathered or found (or an error), 2 bad usage,\n"
    "130 interrupted.\n";

namespace {

class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  bool Done() const { return next_ >= arguments_.size(); }
  // The next argument. An option given as "--name=value" comes back as "--name", its value
  // kept for ValueOf; "--" and anything not starting with "--" come back whole.
  std::string Take(bool optionsEnded) {
    std::string argument = arguments_[next_++];
    inlineValue_.reset();
    if (optionsEnded || !argument.starts_with("--")) return argument;
    if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
      inlineValue_ = argument.substr(equals + 1);
      argument.resize(equals);
    }
    return argument;
  }

  // The value of option `name`: after its "=", else the next argument.
  std::string ValueOf(const std::string& name) {
    if (inlineValue_) return *std::exchange(inlineValue_, std::nullopt);
    if (Done()) throw UsageError{name + " needs a value"};
    return arguments_[next_++];
  }

  // An option that takes no value must not have been given one ("--all=1").
  void RefuseValue(const std::string& name) const {
    if (inlineValue_) throw UsageError{name + " takes no value"};
  }

  std::int32_t NumberOf(const std::string& name) {
    const std::string text = ValueOf(name);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
      throw UsageError{name + " needs a whole number, not \"" + text + "\""};
    return value;
  }

 private:
  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
  std::optional<std::string> inlineValue_;
};

// The options that take a value; every other option is a switch.
bool TakesValue(const std::string& option) {
  for (const char* name :
       {"--data-dir", "--lock-wait", "--sites", "--depth", "--report", "--top", "--days", "--host",
        "--sentences", "--dictionary", "--format", "--articles"}) {
    if (option == name) return true;
  }
  return false;
}

// The dictionaries by the names --dictionary takes.
struct DictionaryName {
  const char* name;
  WebDictionary dictionary;
};
constexpr DictionaryName kDictionaryNames[] = {{"goo", WebDictionary::kGoo},
                                               {"lycos", WebDictionary::kLycos},
                                               {"rnn", WebDictionary::kRnn},
                                               {"weblio", WebDictionary::kWeblio}};

WebDictionary DictionaryNamed(const std::string& name) {
  for (const auto& [known, dictionary] : kDictionaryNames) {
    if (name == known) return dictionary;
  }
  throw UsageError{"--dictionary is goo, lycos, rnn or weblio, not \"" + name + "\""};
}

CliCommand CommandNamed(const std::string& name) {
  if (name == "gather") return CliCommand::kGather;
  if (name == "words") return CliCommand::kWords;
  if (name == "find") return CliCommand::kFind;
  if (name == "export") return CliCommand::kExport;
  if (name == "define") return CliCommand::kDefine;
  if (name == "history") return CliCommand::kHistory;
  if (name == "trends") return CliCommand::kTrends;
  if (name == "articles") return CliCommand::kArticles;
  if (name == "read") return CliCommand::kRead;
  if (name == "article") return CliCommand::kArticle;
  if (name == "level") return CliCommand::kLevel;
  throw UsageError{"unknown command \"" + name + "\""};
}

// Whether `option` belongs to `command` (the options common to all are taken before).
bool Allows(CliCommand command, const std::string& option) {
  const bool gather = command == CliCommand::kGather;
  const bool words = command == CliCommand::kWords;
  // export gathers as gather does, and writes cards where gather prints and reports.
  if (command == CliCommand::kExport)
    return option == "--dictionary" ||
           (option != "--report" && option != "--top" && option != "--format" &&
            Allows(CliCommand::kGather, option));
  if (option == "--sites" || option == "--follow-links" || option == "--depth" ||
      option == "--report" || option == "--https" || option == "--no-https" ||
      option == "--articles" || option == "--no-articles")
    return gather;
  if (option == "--article" || option == "--whole-page") return gather || words;
  if (command == CliCommand::kHistory) return option == "--format";
  if (command == CliCommand::kLevel)
    return option == "--save" || option == "--set" || option == "--show";
  if (command == CliCommand::kArticles || command == CliCommand::kRead)
    return option == "--days" || option == "--format";
  if (command == CliCommand::kArticle) return option == "--format" || option == "--sentences";
  if (command == CliCommand::kTrends)
    return option == "--days" || option == "--top" || option == "--format";
  if (option == "--top" || option == "--all" || option == "--format" || option == "--save" ||
      option == "--meanings" || option == "--forms" || option == "--hide-names")
    return gather || words;
  if (option == "--host") return words;
  if (option == "--sentences") return command == CliCommand::kFind;
  return false;
}

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& arguments) {
  CliOptions options;
  ArgumentReader reader(arguments);
  std::optional<CliCommand> command;
  bool optionsEnded = false;
  while (!reader.Done()) {
    const std::string argument = reader.Take(optionsEnded);
    if (!optionsEnded && argument.starts_with("--") && !TakesValue(argument))
      reader.RefuseValue(argument);
    if (!optionsEnded && (argument == "--help" || argument == "--version")) {
      (argument == "--help" ? options.help : options.version) = true;
      return options;
    }
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && argument == "--data-dir") {
      options.dataDirectory = reader.ValueOf(argument);
      continue;
    }
    if (!optionsEnded && argument == "--lock-wait") {
      options.lockWaitSeconds = reader.NumberOf(argument);
      continue;
    }
    if (!command) {
      if (!optionsEnded && argument.starts_with("--"))
        throw UsageError{"unknown option " + argument};
      command = CommandNamed(argument);
      options.command = *command;
      continue;
    }
    if (!optionsEnded && argument.starts_with("--")) {
      if (!Allows(*command, argument)) throw UsageError{"unknown option " + argument};
      if (argument == "--sites") options.sitesFile = reader.ValueOf(argument);
      if (argument == "--follow-links") options.followLinks = true;
      if (argument == "--depth") options.depth = reader.NumberOf(argument);
      if (argument == "--https") options.fetchHttps = true;
      if (argument == "--no-https") options.fetchHttps = false;
      if (argument == "--articles") {
        const std::int32_t count = reader.NumberOf(argument);
        if (count < kMinArticlesPerSite || count > kMaxArticlesPerSite)
          throw UsageError{"--articles needs a number from 1 to 100, not " + std::to_string(count)};
        options.articlesPerSite = count;
      }
      if (argument == "--no-articles") options.articlesPerSite = 0;
      if (argument == "--report") options.reportFile = reader.ValueOf(argument);
      if (argument == "--top") options.top = reader.NumberOf(argument);
      if (argument == "--days") {
        options.days = reader.NumberOf(argument);
        options.articleDays = options.days;
      }
      if (argument == "--all") options.all = true;
      if (argument == "--meanings") options.meanings = true;
      if (argument == "--hide-names") options.hideNames = true;
      if (argument == "--forms") options.forms = true;
      if (argument == "--save") options.save = true;
      if (argument == "--set") {
        const std::int32_t level = reader.NumberOf(argument);
        if (level < 0) throw UsageError{"--set needs a level of 0 or more"};
        options.setLevel = level;
        options.save = true;
      }
      if (argument == "--show") options.showLevel = true;
      if (argument == "--host") options.host = reader.ValueOf(argument);
      if (argument == "--sentences" && *command == CliCommand::kArticle) options.sentences = true;
      if (argument == "--sentences" && *command == CliCommand::kFind)
        options.sentencesFile = reader.ValueOf(argument);
      if (argument == "--article") options.articleText = true;
      if (argument == "--whole-page") options.articleText = false;
      if (argument == "--dictionary")
        options.dictionary = DictionaryNamed(reader.ValueOf(argument));
      if (argument == "--format") {
        const std::string format = reader.ValueOf(argument);
        // article and read print text or json, the others tsv or json.
        const bool text = *command == CliCommand::kArticle || *command == CliCommand::kRead;
        if (format == (text ? "text" : "tsv")) {
          options.format = text ? ResultFormat::kText : ResultFormat::kTsv;
        } else if (format == "json") {
          options.format = ResultFormat::kJson;
        } else {
          throw UsageError{std::string("--format is ") + (text ? "text" : "tsv") +
                           " or json, not \"" + format + "\""};
        }
      }
      continue;
    }
    // Operands: the files of words, the word of find, the file export writes.
    if (*command == CliCommand::kWords || *command == CliCommand::kArticle) {
      options.files.push_back(argument);
    } else if (*command == CliCommand::kFind && options.word.empty()) {
      options.word = argument;
    } else if (*command == CliCommand::kDefine) {
      options.words.push_back(argument);
    } else if (*command == CliCommand::kRead && options.article.empty()) {
      options.article = argument;
    } else if (*command == CliCommand::kExport && options.cardsFile.empty()) {
      options.cardsFile = argument;
    } else {
      throw UsageError{"unexpected argument \"" + argument + "\""};
    }
  }
  if (!command) throw UsageError{"no command given"};
  if (options.setLevel && options.showLevel)
    throw UsageError{"--set and --show exclude each other"};
  if (*command == CliCommand::kWords && options.files.empty())
    throw UsageError{"words needs at least one FILE"};
  if (*command == CliCommand::kArticle && options.files.empty())
    throw UsageError{"article needs at least one FILE"};
  if (*command == CliCommand::kArticle && options.format == ResultFormat::kTsv)
    options.format = ResultFormat::kText;
  if (*command == CliCommand::kFind && options.word.empty()) throw UsageError{"find needs a WORD"};
  if (*command == CliCommand::kDefine && options.words.empty())
    throw UsageError{"define needs at least one WORD"};
  if (*command == CliCommand::kExport && options.cardsFile.empty())
    throw UsageError{"export needs an OUTPUT file"};
  if (*command == CliCommand::kRead && options.article.empty())
    throw UsageError{"read needs an ADDRESS or a NUMBER"};
  if (*command == CliCommand::kRead && options.format == ResultFormat::kTsv)
    options.format = ResultFormat::kText;
  // The forms are a list per word: JSON holds them, a tab-separated line has no place.
  if (options.forms && options.format != ResultFormat::kJson)
    throw UsageError{"--forms needs --format json"};
  return options;
}

}  // namespace quillmark
