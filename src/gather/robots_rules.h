#pragma once
// A host's robots.txt as the article reading honours it (RFC 9309): the groups for our own
// product token, or else those for "*", their Allow and Disallow rules, the longest match
// deciding. The site addresses of the user's own list are read whatever it says; only the
// articles the program picks for itself ask it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/user_agent.h"  // kRobotsProductToken: our groups' token, also in every request

namespace quillmark {

// RFC 9309 lets a reader stop after 500 KiB; the rest of a longer file is not read.
inline constexpr std::size_t kMaxRobotsBytes = 500 * 1024;

class RobotsRules {
 public:
  // Rules that allow everything (no robots.txt, or one that failed with a 4xx).
  RobotsRules() = default;

  // Reads `text`: lines of "name: value" (names in any case, '#' opens a comment), a group
  // being one or more User-agent lines and the rules after them. The groups naming
  // kRobotsProductToken (in any case, a "/version" after it ignored) are merged and used;
  // without one, the groups of "*"; without either, everything is allowed.
  static RobotsRules Parse(std::string_view text);

  // Whether `path` (the path and query of an address, starting with '/') may be read: the
  // rule whose pattern matches the longest prefix of it decides ('*' matches any bytes, a '$'
  // at the end anchors the pattern at the end), Allow winning a tie; no matching rule allows.
  // "/robots.txt" itself is always allowed.
  bool Allows(std::string_view path) const;

  // The Crawl-delay of the groups used (the longest when several give one), in milliseconds;
  // none when they give none or no number.
  std::optional<std::uint32_t> CrawlDelayMs() const { return crawlDelayMs_; }

 private:
  struct Rule {
    bool allow;
    std::string pattern;
  };
  std::vector<Rule> rules_;
  std::optional<std::uint32_t> crawlDelayMs_;
};

// An absolute address cut at the end of its authority: "http://a.example:8080/x?y" gives
// {"http://a.example:8080", "/x?y"}; an address without a path gives the path "/". The origin
// is empty when the address has no "scheme://".
struct AddressOrigin {
  std::string origin;
  std::string path;
};
AddressOrigin SplitOrigin(std::string_view address);

}  // namespace quillmark
