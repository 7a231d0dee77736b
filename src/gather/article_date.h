#pragma once
// An article's date as pages and feeds write it, read into one instant: the feed reader's
// RFC 822 and RFC 3339 forms, and the forms pages print ("November 19, 2019, 07:47 PM EST",
// "19 Nov 2019", "2019-11-20T07:47:00" without a zone). A date that cannot be an article's
// (before 1990: a template's "0001-01-01"; after the present) is no date.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillmark {

// The first instant an article may carry: 1990-01-01T00:00:00Z.
inline constexpr std::int64_t kEarliestArticleSeconds = 631'152'000;
// How far past `now` a date may stand: a page that prints its local time without a zone is
// read as UTC, up to 14 hours early.
inline constexpr std::int64_t kArticleClockSlackSeconds = 86'400;

struct ArticleDate {
  std::int64_t seconds = 0;  // since 1970-01-01 UTC
  bool dateOnly = false;     // the text gave a day without a time (then 00:00 UTC of that day)
};

// `text` as an article's date, or nothing when it is no date this reads or is before 1990.
// A time without a zone counts as UTC, an unknown zone name too.
std::optional<ArticleDate> ReadArticleDate(std::string_view text);

// ReadArticleDate, and nothing for a date after `now` (seconds since 1970) by more than
// kArticleClockSlackSeconds.
std::optional<ArticleDate> ReadArticleDate(std::string_view text, std::int64_t now);

}  // namespace quillmark
