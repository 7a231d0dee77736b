#pragma once
// The configuration file: "[section]" lines and "key=value" lines, read and changed the way
// profile files have always been on Windows, byte for byte.
//
// QSettings is not used: it re-encodes every line it writes (backslashes become escapes,
// non-UTF-8 bytes are lost), drops comments and unknown keys, and reports a file with a
// byte-order mark or stray bytes as an error. Here a value is the bytes on its line, and a
// save changes only the lines of the keys the program writes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/data_files.h"

namespace quillmark {

// The text of a configuration file. Section and key names are compared ignoring ASCII case
// and without the blanks (space, tab) around them; only the first section of a name counts.
// A line ends at CR, LF or CR LF; a UTF-8 byte-order mark before the first line is ignored.
// Lines that are neither a section nor a key (comments, blank lines, stray bytes) are kept.
class IniText {
 public:
  explicit IniText(std::string_view bytes = {});

  // The value of `key` in section `section`: the bytes after the line's first '=', without
  // the blanks at either end and without one pair of equal quotes (' or ") around it all.
  // Nothing when the section or the key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Makes Get(section, key) return `value`. An existing key's line keeps its name, the blanks
  // around '=' and its line end, and gets the new value; a missing key is added after the
  // last non-blank line of its section; a missing section is added at the end, after a blank
  // line. New lines end as the text's first line does (LF in an empty text), except where a
  // lone CR next to an LF would join two lines into one. A value that would not read back as
  // itself (blanks at an end, equal quotes at both ends) is written in double quotes. Every
  // other line keeps its bytes, and nothing changes when the value is already there. Throws
  // std::invalid_argument when a name or the value holds CR, LF or NUL, the key holds '=' or
  // the section ']', or a name is empty or has blanks at an end.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole text, as read with the changes made since.
  std::string Bytes() const;

 private:
  struct Line {
    std::string text;
    std::string end;  // "\r\n", "\r", "\n", or empty for a last line without a line end
  };
  struct Place {
    std::size_t section;        // the section's header line, or lines_.size() when missing
    std::size_t key;            // the key's line, or lines_.size() when missing
    std::size_t lastInSection;  // the section's last non-blank line
  };

  std::string_view Content(std::size_t line) const;
  Place Find(std::string_view section, std::string_view key) const;
  void Insert(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string newLineEnd_ = "\n";
};

// A configuration file on disk behind the SettingsFile seam: read once when constructed (a
// missing file is an empty one), written whole by Commit through ReplaceFileAtomically.
class IniSettingsFile : public SettingsFile {
 public:
  explicit IniSettingsFile(std::string path);

  // Nothing when the file could not be read.
  std::optional<std::string> Read(const std::string& section, const std::string& key) override;
  // Throws std::invalid_argument as IniText::Set does.
  void Write(const std::string& section, const std::string& key, const std::string& value) override;
  // Throws FileError (cannot create) when the file cannot be written, and also when it existed
  // but could not be read: writing it then would lose every line the program did not write.
  void Commit() override;

 private:
  std::string path_;
  IniText text_;
  bool unreadable_ = false;
};

// The configuration file of a program directory (which ends with '/'): "quillmark.ini".
std::string ConfigurationPath(const std::string& programDirectory);

}  // namespace quillmark
