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

TEST(MappingDic, EveryLineIsAnUpperCaseFormOneSpaceAndADifferentUpperCaseBase) {
  for (const auto& line : SplitAtCrLf(ReadList("MAPPING_DIC"))) {
    const auto space = line.find(' ');
    ASSERT_NE(space, std::string::npos) << line;
    const std::string form = line.substr(0, space), base = line.substr(space + 1);
    EXPECT_TRUE(IsUpperCaseWord(form) && IsUpperCaseWord(base)) << line;
    EXPECT_NE(form, base) << line;
  }
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

TEST(NgWords, Has1740CrLfLinesTheFirstEmptyThenDistinctUpperCaseWordsInByteOrder) {
  const Lines lines = LinesEachEndingInCrLf(ReadList("NGWORDS"));
  ASSERT_EQ(lines.size(), 1740u);
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
    forms.insert(pair.form);
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
  EXPECT_EQ(stores.ngWords.size(), 1740u);
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
