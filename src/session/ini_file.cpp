#include "session/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "session/atomic_file.h"
#include "text/ascii_case.h"

namespace quillmark {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text) {
  const auto start = text.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(kBlanks) == text.npos; }

// The name of a "[name]" line, or nothing when `text` is no section header.
std::optional<std::string_view> SectionName(std::string_view text) {
  const std::string_view rest = text.substr(std::min(text.find_first_not_of(kBlanks), text.size()));
  if (rest.empty() || rest.front() != '[') return std::nullopt;
  const auto close = rest.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trimmed(rest.substr(1, close - 1));
}

bool IsKeyLine(std::string_view text, std::string_view key) {
  const auto equals = text.find('=');
  return equals != std::string_view::npos &&
         EqualsIgnoringAsciiCase(Trimmed(text.substr(0, equals)), key);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool HasQuotePair(std::string_view value) {
  return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

std::string_view ValueOf(std::string_view keyLine) {
  std::string_view value = Trimmed(keyLine.substr(keyLine.find('=') + 1));
  if (HasQuotePair(value)) value = value.substr(1, value.size() - 2);
  return value;
}

std::string Encoded(std::string_view value) {
  const bool needsQuotes =
      !value.empty() && (kBlanks.find(value.front()) != value.npos ||
                         kBlanks.find(value.back()) != value.npos || HasQuotePair(value));
  return needsQuotes ? '"' + std::string(value) + '"' : std::string(value);
}

void RequireOneLine(std::string_view text, std::string_view forbidden, const char* what) {
  if (text.find_first_of(forbidden) != std::string_view::npos)
    throw std::invalid_argument(std::string("a configuration ") + what + " cannot hold it");
}

void RequireName(std::string_view name, std::string_view forbidden, const char* what) {
  RequireOneLine(name, forbidden, what);
  if (name.empty() || Trimmed(name).size() != name.size())
    throw std::invalid_argument(std::string("a configuration ") + what + " has blanks or is empty");
}

}  // namespace

IniText::IniText(std::string_view bytes) {
  bool endSeen = false;
  while (!bytes.empty()) {
    const auto stop = bytes.find_first_of("\r\n");
    if (stop == std::string_view::npos) {
      lines_.push_back({std::string(bytes), {}});
      break;
    }
    const std::size_t endLength =
        bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n' ? 2 : 1;
    lines_.push_back(
        {std::string(bytes.substr(0, stop)), std::string(bytes.substr(stop, endLength))});
    if (!endSeen) newLineEnd_ = lines_.back().end;
    endSeen = true;
    bytes.remove_prefix(stop + endLength);
  }
}

std::string_view IniText::Content(std::size_t line) const {
  std::string_view text = lines_[line].text;
  if (line == 0 && text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  return text;
}

IniText::Place IniText::Find(std::string_view section, std::string_view key) const {
  Place place{lines_.size(), lines_.size(), lines_.size()};
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view text = Content(i);
    if (const auto name = SectionName(text)) {
      if (place.section != lines_.size()) break;  // only the first section of the name counts
      if (EqualsIgnoringAsciiCase(*name, section)) place.section = place.lastInSection = i;
    } else if (place.section != lines_.size()) {
      if (!IsBlank(text)) place.lastInSection = i;
      if (place.key == lines_.size() && IsKeyLine(text, key)) place.key = i;
    }
  }
  return place;
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const {
  const Place place = Find(section, key);
  if (place.key == lines_.size()) return std::nullopt;
  return std::string(ValueOf(Content(place.key)));
}

void IniText::Insert(std::size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newLineEnd_;
  // A lone CR followed by an LF would read back as one CR LF, two lines becoming one.
  std::string end = newLineEnd_;
  if (end == "\r" && at < lines_.size() && lines_[at].text.empty() &&
      lines_[at].end.substr(0, 1) == "\n")
    end = "\r\n";
  // assign(1, '\r'), not = "\r": GCC 12 at -O3 takes the literal's copy for an overlapping one.
  if (text.empty() && at > 0 && lines_[at - 1].end == "\r" && end[0] == '\n') end.assign(1, '\r');
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), end});
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  using namespace std::string_view_literals;
  RequireName(section, "\r\n\0]"sv, "section name");
  RequireName(key, "\r\n\0="sv, "key name");
  RequireOneLine(value, "\r\n\0"sv, "value");

  const Place place = Find(section, key);
  if (place.key != lines_.size()) {
    if (ValueOf(Content(place.key)) == value) return;
    std::string& text = lines_[place.key].text;
    const auto valueStart =
        std::min(text.find_first_not_of(kBlanks, text.find('=') + 1), text.size());
    text = text.substr(0, valueStart) + Encoded(value);
    return;
  }
  const std::string keyLine = std::string(key) + '=' + Encoded(value);
  if (place.section != lines_.size()) {
    Insert(place.lastInSection + 1, keyLine);
    return;
  }
  if (!lines_.empty() && !IsBlank(Content(lines_.size() - 1))) Insert(lines_.size(), {});
  Insert(lines_.size(), '[' + std::string(section) + ']');
  Insert(lines_.size(), keyLine);
}

std::string IniText::Bytes() const {
  std::string bytes;
  for (const auto& line : lines_) bytes += line.text + line.end;
  return bytes;
}

namespace {

enum class ReadOutcome { kRead, kMissing, kFailed };

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kFailed;
  char buffer[65536];
  ssize_t count = 0;
  while ((count = read(fd, buffer, sizeof buffer)) != 0) {
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  return count == 0 ? ReadOutcome::kRead : ReadOutcome::kFailed;
}

}  // namespace

IniSettingsFile::IniSettingsFile(std::string path) : path_(std::move(path)) {
  std::string bytes;
  const ReadOutcome outcome = ReadWholeFile(path_, bytes);
  unreadable_ = outcome == ReadOutcome::kFailed;
  if (outcome == ReadOutcome::kRead) text_ = IniText(bytes);
}

std::optional<std::string> IniSettingsFile::Read(const std::string& section,
                                                 const std::string& key) {
  return text_.Get(section, key);
}

void IniSettingsFile::Write(const std::string& section, const std::string& key,
                            const std::string& value) {
  text_.Set(section, key, value);
}

void IniSettingsFile::Commit() {
  if (unreadable_) throw FileError(CannotCreateMessage(path_));
  ReplaceFileAtomically(path_, text_.Bytes());
}

std::string ConfigurationPath(const std::string& programDirectory) {
  return programDirectory + kConfigurationFile;
}

}  // namespace quillmark
