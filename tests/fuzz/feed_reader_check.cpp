#include "feed_reader_check.h"

#include <optional>

#include "gather/feed_reader.h"
#include "gather/link_resolver.h"
#include "gather/robots_rules.h"

namespace quillmark::testing {

std::string CheckFeedReader(std::string_view input) {
  if (input.empty()) return {};
  const std::size_t keep = static_cast<unsigned char>(input.front()) % 16 + 1;
  input.remove_prefix(1);
  const std::optional<Feed> feed = ReadFeed(input, "http://feeds.example.com/x/rss.xml", keep);
  if (feed) {
    if (feed->items.size() > keep) return "more items than asked for";
    std::optional<std::int64_t> previous;
    bool undatedSeen = false;
    for (const FeedItem& item : feed->items) {
      if (item.address.empty()) return "an item without an address";
      if (item.address.size() > kMaxResolvedUrlBytes) return "an address past the bound";
      if (item.title.size() > kMaxFeedTitleBytes) return "a title past its ceiling";
      if (item.date.empty()) {
        undatedSeen = true;
        continue;
      }
      if (undatedSeen) return "a dated item after an undated one";
      const std::optional<std::int64_t> seconds = FeedDateSeconds(item.date);
      if (!seconds || IsoDateOf(*seconds) != item.date) return "a date that does not read back";
      if (previous && *seconds > *previous) return "an item newer than the one before it";
      previous = seconds;
    }
  }
  const RobotsRules rules = RobotsRules::Parse(input);
  if (!rules.Allows("/robots.txt")) return "robots.txt disallowed itself";
  rules.Allows(std::string_view(input).substr(0, 300));
  return {};
}

}  // namespace quillmark::testing
