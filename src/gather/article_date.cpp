#include "gather/article_date.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "gather/feed_reader.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The month a word names ("Nov", "Nov.", "November", "Sept"), 1 to 12, else 0.
int MonthNamed(std::string_view word) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  if (word.size() < 3) return 0;
  const std::string lower = LowerCaseAscii(std::string(word));
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (kMonths[i].starts_with(lower)) return static_cast<int>(i) + 1;
  }
  return 0;
}

// An ISO 8601 date-time of a page as RFC 3339 reads it: the zone "Z" added where there is
// none, a "+0000" zone given its colon; nothing when `text` does not start with YYYY-MM-DD.
std::optional<std::string> AsRfc3339(std::string_view text) {
  if (text.size() < 10 || !IsDigit(text[0]) || text[4] != '-' || text[7] != '-') return {};
  std::string iso(text);
  if (iso.size() == 10) return iso;
  const std::size_t zone = iso.find_first_of("Zz+-", 11);
  if (zone == std::string::npos) {
    if (iso.size() == 16) iso += ":00";  // "2019-11-20T07:47"
    return iso + 'Z';
  }
  if (iso.size() - zone == 5 && iso[zone] != 'Z' && iso[zone] != 'z') iso.insert(zone + 3, ":");
  if (iso.size() - zone == 6 && zone == 16) iso.insert(16, ":00");
  return iso;
}

// The forms pages print, in words ("November 19, 2019, 07:47 PM EST", "Thu 19 Nov 2019
// 19:47 +0100", "Nov. 19, 2019"), written again as RFC 822 ("19 Nov 2019 19:47:00 EST") for the
// feed reader's parser. Words that are neither a month, AM/PM nor the zone after the time
// ("Updated", "at", a day's name) are passed over.
std::optional<std::string> AsRfc822(std::string_view text, bool& dateOnly) {
  int day = 0, month = 0, year = 0, hour = -1, minute = 0, second = 0;
  std::string zone;
  bool afternoon = false, morning = false;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsLetter(text[i])) {
      std::size_t end = i;
      while (end < text.size() && IsLetter(text[end])) ++end;
      const std::string word = UpperCaseAscii(std::string(text.substr(i, end - i)));
      if (month == 0 && MonthNamed(word) != 0) {
        month = MonthNamed(word);
      } else if (hour >= 0 && (word == "PM" || word == "AM")) {
        (word == "PM" ? afternoon : morning) = true;
      } else if (hour >= 0 && zone.empty() && word.size() <= 4) {
        zone = word;
      }
      i = end;
    } else if (IsDigit(text[i])) {
      std::size_t end = i;
      while (end < text.size() && IsDigit(text[end])) ++end;
      const int value = std::stoi(std::string(text.substr(i, std::min<std::size_t>(end - i, 6))));
      if (end < text.size() && text[end] == ':' && hour < 0 && end - i <= 2) {
        hour = value;
        std::size_t at = end + 1;
        std::size_t stop = at;
        while (stop < text.size() && IsDigit(text[stop])) ++stop;
        if (stop - at != 2) return {};
        minute = std::stoi(std::string(text.substr(at, 2)));
        if (stop < text.size() && text[stop] == ':' && stop + 3 <= text.size() &&
            IsDigit(text[stop + 1]) && IsDigit(text[stop + 2])) {
          second = std::stoi(std::string(text.substr(stop + 1, 2)));
          stop += 3;
        }
        end = stop;
      } else if (end - i == 4 && year == 0) {
        year = value;
      } else if (end - i <= 2 && day == 0) {
        day = value;
      } else if (end - i == 4 && hour >= 0 && zone.empty() && i > 0 &&
                 (text[i - 1] == '+' || text[i - 1] == '-')) {
        zone = std::string(1, text[i - 1]) + std::string(text.substr(i, 4));
      }
      i = end;
    } else {
      ++i;
    }
  }
  if (day == 0 || month == 0 || year == 0) return {};
  dateOnly = hour < 0;
  if (dateOnly) hour = 0;
  if (afternoon && hour >= 1 && hour <= 11) hour += 12;
  if (morning && hour == 12) hour = 0;
  static constexpr std::array<const char*, 12> kShort = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char rfc822[64];
  std::snprintf(rfc822, sizeof rfc822, "%d %s %04d %02d:%02d:%02d %s", day, kShort[month - 1], year,
                hour, minute, second, zone.empty() ? "GMT" : zone.c_str());
  return std::string(rfc822);
}

}  // namespace

std::optional<ArticleDate> ReadArticleDate(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() > 100) return {};  // no date is written so long
  ArticleDate date;
  std::optional<std::int64_t> seconds = FeedDateSeconds(text);
  if (seconds) {
    date.dateOnly = text.size() == 10;
  } else if (const std::optional<std::string> iso = AsRfc3339(text)) {
    seconds = FeedDateSeconds(*iso);
  } else if (const std::optional<std::string> rfc822 = AsRfc822(text, date.dateOnly)) {
    seconds = FeedDateSeconds(*rfc822);
  }
  if (!seconds || *seconds < kEarliestArticleSeconds) return {};
  date.seconds = *seconds;
  return date;
}

std::optional<ArticleDate> ReadArticleDate(std::string_view text, std::int64_t now) {
  std::optional<ArticleDate> date = ReadArticleDate(text);
  if (date && date->seconds > now + kArticleClockSlackSeconds) return {};
  return date;
}

}  // namespace quillmark
