#include "session_files_checks.h"

#include <optional>
#include <vector>

#include "session/ini_file.h"
#include "session/line_file.h"
#include "session/site_list.h"
#include "text/ascii_case.h"

namespace quillmark::testing {

std::string CheckLineFile(std::string_view bytes) {
  const LineList lines = ReadLineFile(bytes);
  std::size_t text = 0;
  for (const auto& line : lines) {
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      return "a line holds CR, LF or NUL";
    if (UpperCaseShiftJis(line).size() != line.size()) return "upper-casing changed a length";
    text += line.size() + 1;
  }
  if (text > bytes.size() + 1) return "more text came out than went in";
  if (ReadLineFile(WriteLineFile(lines)) != lines) return "written lines read back otherwise";

  SiteList one;
  for (const auto& line : lines) one.Add(line);
  SiteList all;
  all.AddAll(lines);
  if (all.Addresses() != one.Addresses()) return "a whole load differs from one add per line";
  for (std::size_t i = 1; i < all.Size(); ++i) {
    if (CompareIgnoringAsciiCase(all.Addresses()[i - 1], all.Addresses()[i]) >= 0)
      return "the site list is out of order or holds equal entries";
  }
  return {};
}

namespace {

constexpr const char* kSections[] = {"config", "Config", "link", "x"};
constexpr const char* kKeys[] = {"ItemViewCount", "itemviewcount", "IsLevel", "LastSavedDirectory"};

struct Line {
  std::string_view text, end;
};

// The same cut into lines as the reader's, written plainly.
std::vector<Line> Lines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    const std::size_t end =
        bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
    lines.push_back({bytes.substr(start, i - start), bytes.substr(i, end)});
    i += end - 1;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back({bytes.substr(start), {}});
  return lines;
}

// Whether `after` differs from `before` in one place only: at most one line of `before`
// changed (the key's line, or a last line that gained its end) and at most three added.
bool KeepsOtherLines(std::string_view before, std::string_view after) {
  const auto old = Lines(before);
  const auto now = Lines(after);
  const auto same = [](const Line& a, const Line& b) { return a.text == b.text && a.end == b.end; };
  std::size_t head = 0;
  while (head < old.size() && head < now.size() && same(old[head], now[head])) ++head;
  std::size_t tail = 0;
  while (tail < old.size() - head && tail < now.size() - head &&
         same(old[old.size() - 1 - tail], now[now.size() - 1 - tail])) {
    ++tail;
  }
  const std::size_t oldMiddle = old.size() - head - tail;
  const std::size_t nowMiddle = now.size() - head - tail;
  return oldMiddle <= 1 && nowMiddle >= oldMiddle && nowMiddle - oldMiddle <= 3;
}

}  // namespace

std::string CheckIniText(std::string_view bytes) {
  if (bytes.empty()) return IniText(bytes).Bytes().empty() ? "" : "an empty text grew";
  const auto choice = static_cast<unsigned char>(bytes[0]);
  bytes.remove_prefix(1);
  std::string value(bytes.substr(0, choice % 16));
  for (char& c : value) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  bytes.remove_prefix(value.size());
  const std::string section = kSections[(choice >> 4) % 4];
  const std::string key = kKeys[(choice >> 6) % 4];

  IniText text(bytes);
  if (text.Bytes() != bytes) return "the text was not given back as read";
  std::vector<std::optional<std::string>> before;
  for (const char* s : kSections) {
    for (const char* k : kKeys) before.push_back(text.Get(s, k));
  }

  text.Set(section, key, value);
  const std::string written = text.Bytes();
  IniText again(written);
  if (again.Get(section, key) != value) return "the value written did not read back";
  std::size_t n = 0;
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      const bool same = EqualsIgnoringAsciiCase(s, section) && EqualsIgnoringAsciiCase(k, key);
      if (!same && again.Get(s, k) != before[n]) return "another key's value changed";
      ++n;
    }
  }
  again.Set(section, key, value);
  if (again.Bytes() != written) return "writing the same value again changed the text";
  if (!KeepsOtherLines(bytes, written)) return "a line other than the key's changed";
  return {};
}

}  // namespace quillmark::testing
