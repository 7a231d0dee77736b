#include "session/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temporary_directory.h"

namespace quillmark {
namespace {

struct ReadCase {
  const char* name;
  std::string text;
  std::optional<std::string> value;  // of ItemViewCount in [config]
};

TEST(IniText, ReadsValuesAsProfileFilesDo) {
  using namespace std::string_literals;
  const ReadCase cases[] = {
      {"plain", "[config]\nItemViewCount=30\n", "30"},
      {"names ignore case and blanks", " [ CONFIG ]\r\n\titemviewcount \t= 40 \r\n", "40"},
      {"backslashes stay", "[config]\r\nItemViewCount=C:\\Users\\taro\r\n", "C:\\Users\\taro"},
      {"8-bit bytes stay", "[config]\nItemViewCount=\x83\x66\x81\x5C\xE9\xFF\n",
       "\x83\x66\x81\x5C\xE9\xFF"},
      {"one pair of quotes goes", "[config]\nItemViewCount=\" a \"\n", " a "},
      {"unequal quotes stay", "[config]\nItemViewCount='a\"\n", "'a\""},
      {"the first '=' ends the name", "[config]\nItemViewCount==a=b\n", "=a=b"},
      {"empty value", "[config]\nItemViewCount=\n", ""},
      {"byte-order mark", "\xEF\xBB\xBF[config]\nItemViewCount=5", "5"},
      {"CR alone ends a line", "[config]\rItemViewCount=6\rX=1", "6"},
      {"NUL is a byte like another", "[config]\nItemViewCount=7\0x\n"s, "7\0x"s},
      {"the first key counts", "[config]\nItemViewCount=1\nItemViewCount=2\n", "1"},
      {"the first section counts", "[config]\nA=1\n[link]\n[config]\nItemViewCount=2\n",
       std::nullopt},
      {"other section", "[link]\nItemViewCount=1\n", std::nullopt},
      {"before any section", "ItemViewCount=1\n[config]\n", std::nullopt},
      {"comment", "[config]\n;ItemViewCount=1\n", std::nullopt},
      {"no '='", "[config]\nItemViewCount\n", std::nullopt},
      {"unclosed header opens no section", "[config\nItemViewCount=1\n", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniText(c.text).Get("config", "ItemViewCount"), c.value) << c.name;
    EXPECT_EQ(IniText(c.text).Bytes(), c.text) << c.name;
  }
}

struct WriteCase {
  const char* name;
  const char* before;
  const char* section;
  const char* value;  // of ItemViewCount
  const char* after;
};

TEST(IniText, ChangesOnlyTheLinesOfTheKeysItWrites) {
  const WriteCase cases[] = {
      {"fresh file", "", "config", "30", "[config]\nItemViewCount=30\n"},
      {"in place, spelling, blanks and CR LF kept",
       "; mine\r\n[Config]\r\n  itemviewcount = 5  \r\nOther=\x82\xA0\\x\r\n", "config", "30",
       "; mine\r\n[Config]\r\n  itemviewcount = 30\r\nOther=\x82\xA0\\x\r\n"},
      {"same value: the line stays as it was", "[config]\nItemViewCount = \"30\"  \n", "config",
       "30", "[config]\nItemViewCount = \"30\"  \n"},
      {"after the section's last line, before its blank lines",
       "[config]\nA=1\n; note\n\n[link]\nB=2\n", "config", "30",
       "[config]\nA=1\n; note\nItemViewCount=30\n\n[link]\nB=2\n"},
      {"last line without a line end", "[config]\r\nA=1", "config", "30",
       "[config]\r\nA=1\r\nItemViewCount=30\r\n"},
      {"missing section after a blank line", "[config]\nA=1\n", "link", "30",
       "[config]\nA=1\n\n[link]\nItemViewCount=30\n"},
      {"missing section after a blank last line", "x\n\n", "link", "30",
       "x\n\n[link]\nItemViewCount=30\n"},
      {"blanks at an end need quotes", "[config]\nItemViewCount=1\n", "config", " 7",
       "[config]\nItemViewCount=\" 7\"\n"},
      {"so do equal quotes", "[config]\nItemViewCount=1\n", "config", "'a'",
       "[config]\nItemViewCount=\"'a'\"\n"},
      {"a lone CR never meets an LF", "[config]\rA=1\n\n", "config", "30",
       "[config]\rA=1\nItemViewCount=30\r\n\n"},
      {"nor does an LF meet a lone CR", "A=1\n[config]\rB=2\r", "link", "30",
       "A=1\n[config]\rB=2\r\r[link]\nItemViewCount=30\n"},
      {"byte-order mark stays", "\xEF\xBB\xBF[config]\nItemViewCount=1\n", "config", "2",
       "\xEF\xBB\xBF[config]\nItemViewCount=2\n"},
  };
  for (const auto& c : cases) {
    IniText text(c.before);
    text.Set(c.section, "ItemViewCount", c.value);
    EXPECT_EQ(text.Bytes(), c.after) << c.name;
    EXPECT_EQ(IniText(text.Bytes()).Get(c.section, "itemViewCount"), c.value) << c.name;
  }
}

TEST(IniText, RefusesWhatOneLineCannotHold) {
  IniText text("[config]\n");
  EXPECT_THROW(text.Set("config", "Key", "a\nb"), std::invalid_argument);
  EXPECT_THROW(text.Set("config", "Key", "a\rb"), std::invalid_argument);
  EXPECT_THROW(text.Set("config", "K=ey", "a"), std::invalid_argument);
  EXPECT_THROW(text.Set("con]fig", "Key", "a"), std::invalid_argument);
  EXPECT_THROW(text.Set("config", " Key", "a"), std::invalid_argument);
  EXPECT_EQ(text.Bytes(), "[config]\n");
}

class IniSettingsFileOnDisk : public ::testing::Test {
 protected:
  testing::TemporaryDirectory directory_;
  const std::string path_ = directory_.Path() + kConfigurationFile;
};

TEST_F(IniSettingsFileOnDisk, KeepsEveryLineItDoesNotWrite) {
  const std::string before =
      "\xEF\xBB\xBF; written by hand\r\n[config]\r\nLastSavedDirectory=C:\\Users\\taro\\"
      "\x83\x66\x81\x5C\r\nItemViewCount=12\r\nUnknown=\xE9\r\n\r\n[link]\r\nIsLevel=1\r\n";
  testing::WriteFileBytes(path_, before);
  IniSettingsFile settings(path_);
  EXPECT_EQ(settings.Read("CONFIG", "lastsaveddirectory"), "C:\\Users\\taro\\\x83\x66\x81\x5C");

  settings.Write("config", "ItemViewCount", "30");
  settings.Write("link", "AllowedLevel", "1");
  settings.Write("link", "IsLevel", "1");
  settings.Commit();
  EXPECT_EQ(testing::FileBytes(path_),
            "\xEF\xBB\xBF; written by hand\r\n[config]\r\nLastSavedDirectory=C:\\Users\\taro\\"
            "\x83\x66\x81\x5C\r\nItemViewCount=30\r\nUnknown=\xE9\r\n\r\n[link]\r\nIsLevel=1\r\n"
            "AllowedLevel=1\r\n");
}

TEST_F(IniSettingsFileOnDisk, AFileThatCannotBeReadIsNeverOverwritten) {
  std::filesystem::create_directory(path_);  // exists, but cannot be read as a file
  IniSettingsFile settings(path_);
  EXPECT_EQ(settings.Read("config", "ItemViewCount"), std::nullopt);
  settings.Write("config", "ItemViewCount", "30");
  try {
    settings.Commit();
    ADD_FAILURE() << "the commit did not fail";
  } catch (const FileError& error) {
    EXPECT_EQ(error.what(), CannotCreateMessage(path_));
  }
  EXPECT_TRUE(std::filesystem::is_directory(path_));
}

}  // namespace
}  // namespace quillmark
