// Checks the committed built-in lists byte for byte: their line endings, sizes, order and
// content rules, and that the program's loaders take them as intended.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "session/data_files.h"
#include "session/line_file.h"
#include "support/fake_store_files.h"
#include "text/inflection_normalizer.h"

namespace quillmark {
namespace {

using Lines = std::vector<std::string>;

std::string ReadSourceFile(const std::string& relativePath) {
  std::ifstream stream(std::string(QUILLMARK_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
  EXPECT_TRUE(stream.good()) << relativePath;
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  return bytes.str();
}

std::string ReadList(const std::string& name) { return ReadSourceFile("resources/" + name); }

// No data files and no configuration: what the program loads on its first start.
testing::FakeStoreFiles WithTheBuiltInListsOnly() {
  testing::FakeStoreFiles files;
  for (const char* name : {"HOSTS", "NGWORDS", "MAPPEDWORDS", "MAPPING_DIC"}) {
    files.builtIns[name] = ReadList(name);
  }
  return files;
}

// Splits at CR LF only; a lone CR or LF stays inside a line, where the checks catch it.
Lines SplitAtCrLf(const std::string& bytes) {
  Lines lines;
  std::string::size_type start = 0;
  for (auto end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  lines.push_back(bytes.substr(start));
  return lines;
}

// The lines of a file that ends every line with CR LF; fails when the last line lacks it.
Lines LinesEachEndingInCrLf(const std::string& bytes) {
  EXPECT_TRUE(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
  Lines lines = SplitAtCrLf(bytes);
  EXPECT_EQ(lines.back(), "");
  lines.pop_back();
  return lines;
}

bool IsUpperCaseWord(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Pair {
  std::string form;
  std::string base;
};

std::vector<Pair> MappingPairs() {
  std::vector<Pair> pairs;
  for (const auto& line : SplitAtCrLf(ReadList("MAPPING_DIC"))) {
    const auto space = line.find(' ');
    pairs.push_back({line.substr(0, space),
                     space == std::string::npos ? std::string() : line.substr(space + 1)});
  }
  return pairs;
}

// Words the reviewed deny list keeps out of every list.
std::set<std::string> DeniedWords() {
  std::set<std::string> words;
  std::istringstream lines(ReadSourceFile("tools/deny_list.txt"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string kind, word;
    if (fields >> kind >> word && kind == "WORD") words.insert(word);
  }
  return words;
}

TEST(MappingDic, HasExactly24244LinesWithCrLfBetweenAndNoneAfterTheLast) {
  const std::string bytes = ReadList("MAPPING_DIC");
  ASSERT_FALSE(bytes.empty());
  EXPECT_NE(bytes.back(), '\n');
  EXPECT_NE(bytes.back(), '\r');
  EXPECT_EQ(SplitAtCrLf(bytes).size(), 24244u);
}

TEST(MappingDic, EveryLineIsAnUpperCaseFormOneSpaceAndAnUpperCaseBase) {
  for (const auto& line : SplitAtCrLf(ReadList("MAPPING_DIC"))) {
    const auto space = line.find(' ');
    ASSERT_NE(space, std::string::npos) << line;
    const std::string form = line.substr(0, space), base = line.substr(space + 1);
    EXPECT_TRUE(IsUpperCaseWord(form) && IsUpperCaseWord(base)) << line;
  }
}

// The program's own loaders and fold over the committed lists.
class BuiltInFold : public ::testing::Test {
 protected:
  void SetUp() override {
    auto files = WithTheBuiltInListsOnly();
    testing::FakeSettingsFile settings;
    LoadStoresAndConfiguration(stores_, files, settings);
    LoadMappingDictionary(stores_, files);
  }

  // Folds `raw` with the built-in dictionary; `learned` gets the new base forms.
  WordTally Fold(const WordTally& raw, std::set<std::string>& learned) {
    MappingDictionary dictionary = stores_.dictionary;
    return FoldInflections(raw, dictionary, learned);
  }

  MainStores stores_;
};

TEST_F(BuiltInFold, KeepsWordsAwayFromBasesTheRulesWouldWronglyGiveThem) {
  // Each word beside what the suffix rules or fallbacks would fold it onto.
  const std::map<std::string, std::vector<std::string>> cases = {{"NEWS", {"NEW"}},
                                                                 {"AS", {"A"}},
                                                                 {"US", {"U"}},
                                                                 {"ITS", {"IT"}},
                                                                 {"THING", {"TH", "THE"}},
                                                                 {"EVENING", {"EVEN"}},
                                                                 {"LOSS", {"LOS"}},
                                                                 {"SING", {"S", "SE"}},
                                                                 {"ECONOMICS", {"ECONOMIC"}},
                                                                 {"GAS", {"GA"}},
                                                                 {"PRESS", {"PRES"}},
                                                                 {"LESS", {"LES"}},
                                                                 {"CLASS", {"CLAS"}},
                                                                 {"BUS", {"BU"}},
                                                                 {"POLITICS", {"POLITIC"}},
                                                                 {"FEED", {"FE", "FEE"}},
                                                                 {"NEED", {"NE", "NEE"}},
                                                                 {"GROUND", {"GRIND"}},
                                                                 {"LEFT", {"LEAVE"}}};
  for (const auto& [word, targets] : cases) {
    // Once with the rule's result attested, once with only the fallback's.
    for (std::size_t attested = 0; attested < targets.size(); ++attested) {
      WordTally raw{{word, 7}};
      for (std::size_t i = attested; i < targets.size(); ++i) raw[targets[i]] = 1;
      std::set<std::string> learned;
      const WordTally folded = Fold(raw, learned);
      EXPECT_EQ(folded.count(word) ? folded.at(word) : 0, 7) << word;
      EXPECT_TRUE(learned.empty()) << word << " folded onto " << *learned.begin();
    }
  }
}

TEST_F(BuiltInFold, StillFoldsIrregularAndRegularForms) {
  const std::map<std::string, std::string> cases = {
      {"RAN", "RUN"},      {"WENT", "GO"},    {"CHILDREN", "CHILD"}, {"CRISES", "CRISIS"},
      {"STOPPED", "STOP"}, {"SHIPS", "SHIP"}, {"LIVES", "LIFE"},     {"BASES", "BASE"}};
  WordTally raw;
  for (const auto& [form, base] : cases) raw[form] = 3;
  raw["LIVE"] = 1;
  raw["BASIS"] = 1;
  std::set<std::string> learned;
  const WordTally folded = Fold(raw, learned);
  for (const auto& [form, base] : cases) {
    EXPECT_FALSE(folded.count(form)) << form;
    EXPECT_GE(folded.count(base) ? folded.at(base) : 0, 3) << form << " -> " << base;
  }
  EXPECT_EQ(folded.at("LIVE"), 1);
  EXPECT_EQ(folded.at("BASIS"), 1);
}

TEST_F(BuiltInFold, AnEmptyRunWithTheBuiltInMappedWordsLearnsNothing) {
  WordTally raw;
  for (const auto& word : stores_.mappedWords) raw[word] = 0;
  ASSERT_EQ(raw.size(), 1386u);
  std::set<std::string> learned;
  Fold(raw, learned);
  EXPECT_TRUE(learned.empty()) << *learned.begin();
}

TEST(MappingDic, StartsWithAbacusesAndIsSortedByBaseThenFormWithoutRepeats) {
  const auto pairs = MappingPairs();
  ASSERT_FALSE(pairs.empty());
  EXPECT_EQ(pairs.front().form, "ABACUSES");
  EXPECT_EQ(pairs.front().base, "ABACUS");
  for (std::size_t i = 1; i < pairs.size(); ++i) {
    EXPECT_LT(std::tie(pairs[i - 1].base, pairs[i - 1].form),
              std::tie(pairs[i].base, pairs[i].form))
        << "line " << i + 1;
  }
}

TEST(MappingDic, Exactly38FormsHaveTwoBases) {
  std::map<std::string, int> linesPerForm;
  for (const auto& pair : MappingPairs()) ++linesPerForm[pair.form];
  const auto repeated = std::count_if(linesPerForm.begin(), linesPerForm.end(),
                                      [](const auto& entry) { return entry.second > 1; });
  EXPECT_EQ(repeated, 38);
}

TEST(MappingDic, HoldsCommonIrregularAndRegularFormsButNotFalseRegularOnes) {
  std::set<std::string> lines;
  for (const auto& line : SplitAtCrLf(ReadList("MAPPING_DIC"))) lines.insert(line);
  for (const char* expected :
       {"RAN RUN", "WENT GO", "WAS BE", "SAID SAY", "CHILDREN CHILD", "MICE MOUSE", "WOMEN WOMAN",
        "STOPPED STOP", "CRISES CRISIS", "STUDIES STUDY", "MAKING MAKE", "HOPED HOPE"}) {
    EXPECT_TRUE(lines.count(expected)) << expected;
  }
  for (const char* wrong : {"HOPED HOP", "AS A", "SPECIES SPECIE", "HAS HA", "BED BE",
                            "EVENING EVEN", "ITS IT", "USES US", "PHYSICS PHYSIC"}) {
    EXPECT_FALSE(lines.count(wrong)) << wrong;
  }
}

TEST(MappingDic, LoadsWithTheLaterOfTwoLinesWinning) {
  const auto files = WithTheBuiltInListsOnly();
  MainStores stores;
  LoadMappingDictionary(stores, files);

  EXPECT_EQ(stores.dictionary.size(), 24244u - 38u);
  std::map<std::string, std::string> lastBase;
  for (const auto& pair : MappingPairs()) lastBase[pair.form] = pair.base;
  for (const auto& [form, base] : lastBase) EXPECT_EQ(stores.dictionary.at(form), base) << form;
}

TEST(NgWords, Has2639CrLfLinesTheFirstEmptyThenDistinctUpperCaseWordsInByteOrder) {
  const Lines lines = LinesEachEndingInCrLf(ReadList("NGWORDS"));
  ASSERT_EQ(lines.size(), 2639u);
  EXPECT_EQ(lines.front(), "");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_TRUE(IsUpperCaseWord(lines[i])) << lines[i];
    if (i > 1) {
      EXPECT_LT(lines[i - 1], lines[i]) << "line " << i + 1;
    }
  }
}

TEST(NgWords, HoldsFunctionWordsAndMarkUpTokens) {
  const Lines lines = LinesEachEndingInCrLf(ReadList("NGWORDS"));
  const std::set<std::string> words(lines.begin(), lines.end());
  for (const char* word : {"THE", "AND", "OF", "TO", "IS", "SAID", "HREF", "HTML", "SCRIPT", "FONT",
                           "TABLE", "TD", "NBSP", "JAVASCRIPT"}) {
    EXPECT_TRUE(words.count(word)) << word;
  }
}

TEST(NgWords, HideSiteNamesPageChromeDatesAndScriptTokensButNotNewsVocabulary) {
  const Lines lines = LinesEachEndingInCrLf(ReadList("NGWORDS"));
  const std::set<std::string> words(lines.begin(), lines.end());
  for (const char* noise : {"REUTERS", "YAHOO",    "GUARDIAN", "AFP",       "MSNBC",
                            "NYTIMES", "VOA",      "NHK",      "TWITTER",   "LINKEDIN",
                            "REDDIT",  "SKIP",     "CLICK",    "SUBSCRIBE", "NAVIGATION",
                            "PRIVACY", "RESERVED", "RSS",      "LOGIN",     "ADVERTISEMENT",
                            "EMAIL",   "JAN",      "FEB",      "AUG",       "OCT",
                            "DEC",     "TUE",      "WED",      "THU",       "SAT",
                            "JUN",     "MON",      "HTTPS",    "NULL",      "UNDEFINED",
                            "PNG",     "JPG",      "LI",       "ONCLICK",   "B",
                            "GO",      "DAY",      "MAN",      "GOOD",      "POLICE",
                            "WEEK",    "AGO",      "STORY",    "FLORIDA",   "X"}) {
    EXPECT_TRUE(words.count(noise)) << noise;
  }
  for (const char* news : {"ECONOMIC",      "POLITICAL", "MILITARY",   "FEDERAL",  "FINANCIAL",
                           "COUNCIL",       "COMMITTEE", "UNIVERSITY", "MILLION",  "FISCAL",
                           "SOPHISTICATED", "RELUCTANT", "GASOLINE",   "CONCRETE", "ELECTION",
                           "COURT",         "ATTACK",    "STYLE",      "FUNCTION", "TURKEY"}) {
    EXPECT_FALSE(words.count(news)) << news;
  }
}

TEST(MappedWords, Has1386CrLfLinesOfDistinctUpperCaseWordsInByteOrder) {
  const Lines lines = LinesEachEndingInCrLf(ReadList("MAPPEDWORDS"));
  ASSERT_EQ(lines.size(), 1386u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(IsUpperCaseWord(lines[i])) << lines[i];
    if (i > 0) {
      EXPECT_LT(lines[i - 1], lines[i]) << "line " << i + 1;
    }
  }
}

TEST(MappedWords, AreMostlyBaseFormsOfTheDictionaryAndNeverNgWordsOrInflectedForms) {
  std::set<std::string> bases, forms;
  for (const auto& pair : MappingPairs()) {
    bases.insert(pair.base);
    if (pair.form != pair.base) forms.insert(pair.form);  // self-mapped words are no forms
  }
  const Lines ngLines = LinesEachEndingInCrLf(ReadList("NGWORDS"));
  const std::set<std::string> ngWords(ngLines.begin(), ngLines.end());
  const Lines mapped = LinesEachEndingInCrLf(ReadList("MAPPEDWORDS"));
  std::size_t basesOfDictionary = 0;
  for (const auto& word : mapped) {
    basesOfDictionary += bases.count(word);
    EXPECT_FALSE(ngWords.count(word)) << word;
    EXPECT_FALSE(forms.count(word)) << word;
  }
  EXPECT_GT(basesOfDictionary * 2, mapped.size());
}

TEST(Hosts, HasFifteenDistinctAbsoluteHttpAddressesEachEndingInCrLf) {
  const Lines lines = LinesEachEndingInCrLf(ReadList("HOSTS"));
  ASSERT_EQ(lines.size(), 15u);
  const std::regex address(R"(http://[a-z0-9-]+(\.[a-z0-9-]+)+/([!-~]*))");
  std::set<std::string> seen;
  for (const auto& line : lines) {
    EXPECT_TRUE(std::regex_match(line, address)) << line;
    EXPECT_TRUE(seen.insert(Lower(line)).second) << "twice: " << line;
  }
  for (const char* further : kFurtherBuiltInSites) {
    EXPECT_FALSE(seen.count(Lower(further))) << further << " is built in separately";
  }
}

TEST(AllLists, LoadIntoTheStoresAtStartUp) {
  auto files = WithTheBuiltInListsOnly();
  testing::FakeSettingsFile settings;
  MainStores stores;
  LoadStoresAndConfiguration(stores, files, settings);

  EXPECT_EQ(stores.sites.Addresses().size(), 15u + 2u);
  EXPECT_EQ(stores.ngWords.size(), 2639u);
  EXPECT_TRUE(stores.ngWords.count(""));
  EXPECT_EQ(stores.mappedWords.size(), 1386u);
}

TEST(AllLists, HoldNoDeniedWord) {
  const std::set<std::string> denied = DeniedWords();
  ASSERT_FALSE(denied.empty());
  for (const char* name : {"NGWORDS", "MAPPEDWORDS"}) {
    for (const auto& word : LinesEachEndingInCrLf(ReadList(name))) {
      EXPECT_FALSE(denied.count(word)) << name << ": " << word;
    }
  }
  for (const auto& pair : MappingPairs()) {
    EXPECT_FALSE(denied.count(pair.form) || denied.count(pair.base))
        << pair.form << " " << pair.base;
  }
}

}  // namespace
}  // namespace quillmark
