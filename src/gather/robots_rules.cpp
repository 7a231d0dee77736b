#include "gather/robots_rules.h"

#include <algorithm>
#include <charconv>

#include "net/nmhttp.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Whether `pattern` matches a prefix of `path` (the whole of it with a final '$'). With '*'
// the only wildcard, taking each piece between stars at its leftmost place after the one
// before is never wrong, so this is one search per piece and never backtracks.
bool Matches(std::string_view pattern, std::string_view path) {
  const bool anchored = !pattern.empty() && pattern.back() == '$';
  if (anchored) pattern.remove_suffix(1);
  std::size_t star = pattern.find('*');
  if (star == std::string_view::npos) return anchored ? path == pattern : path.starts_with(pattern);
  if (!path.starts_with(pattern.substr(0, star))) return false;
  std::size_t at = star;
  for (;;) {
    pattern.remove_prefix(star + 1);
    star = pattern.find('*');
    if (star == std::string_view::npos) break;
    const std::size_t found = path.find(pattern.substr(0, star), at);
    if (found == std::string_view::npos) return false;
    at = found + star;
  }
  // The last piece: at the very end when anchored, else anywhere after the others.
  if (anchored) return path.size() >= at + pattern.size() && path.ends_with(pattern);
  return path.find(pattern, at) != std::string_view::npos;
}

// A Crawl-delay value in seconds ("10", "0.5") as milliseconds; none when it is no number. A
// delay past a day is a day: the caller skips anything above its own limit anyway.
std::optional<std::uint32_t> DelayMs(std::string_view value) {
  double seconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
      !(seconds >= 0))
    return std::nullopt;
  return static_cast<std::uint32_t>(std::min(seconds, 86400.0) * 1000.0);
}

bool NamesUs(std::string_view agent) {
  agent = agent.substr(0, agent.find('/'));
  return EqualsIgnoringAsciiCase(Trimmed(agent), kRobotsProductToken);
}

}  // namespace

RobotsRules RobotsRules::Parse(std::string_view text) {
  text = text.substr(0, kMaxRobotsBytes);
  struct Group {
    bool ours = false;
    bool any = false;
    std::vector<Rule> rules;
    std::optional<std::uint32_t> crawlDelayMs;
  };
  std::vector<Group> groups;
  bool inAgents = false;  // the previous record was a User-agent line
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    line = line.substr(0, line.find('#'));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = Trimmed(line.substr(0, colon));
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (EqualsIgnoringAsciiCase(name, "user-agent")) {
      if (!inAgents || groups.empty()) groups.emplace_back();
      inAgents = true;
      groups.back().ours = groups.back().ours || NamesUs(value);
      groups.back().any = groups.back().any || value == "*";
      continue;
    }
    if (EqualsIgnoringAsciiCase(name, "crawl-delay")) {
      inAgents = false;
      if (!groups.empty()) {
        if (const std::optional<std::uint32_t> delay = DelayMs(value))
          groups.back().crawlDelayMs = delay;
      }
      continue;
    }
    const bool allow = EqualsIgnoringAsciiCase(name, "allow");
    if (!allow && !EqualsIgnoringAsciiCase(name, "disallow")) continue;  // Sitemap and others
    inAgents = false;
    // A rule before any User-agent line belongs to no group; an empty Disallow allows all.
    if (groups.empty() || value.empty()) continue;
    groups.back().rules.push_back({allow, std::string(value)});
  }
  RobotsRules result;
  const bool haveOurs =
      std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.ours; });
  for (Group& group : groups) {
    if (haveOurs ? group.ours : group.any) {
      for (Rule& rule : group.rules) result.rules_.push_back(std::move(rule));
      if (group.crawlDelayMs)
        result.crawlDelayMs_ = std::max(result.crawlDelayMs_.value_or(0), *group.crawlDelayMs);
    }
  }
  return result;
}

bool RobotsRules::Allows(std::string_view path) const {
  if (path == "/robots.txt") return true;
  // The server sees no more of the path than the client sends, and the bound keeps a file of
  // hostile patterns from costing more than a search of a short text per rule.
  path = path.substr(0, TNMHTTP::kMaxPathBytes);
  std::size_t bestLength = 0;
  bool allowed = true;
  for (const Rule& rule : rules_) {
    if (!Matches(rule.pattern, path)) continue;
    const std::size_t length = rule.pattern.size();
    if (length > bestLength || (length == bestLength && rule.allow && !allowed)) {
      bestLength = length;
      allowed = rule.allow;
    }
  }
  return allowed;
}

AddressOrigin SplitOrigin(std::string_view address) {
  const std::size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return {{}, std::string(address)};
  const std::size_t pathStart = address.find_first_of("/?#", scheme + 3);
  if (pathStart == std::string_view::npos) return {std::string(address), "/"};
  std::string path(address.substr(pathStart));
  path = path.substr(0, path.find('#'));
  if (path.empty() || path.front() != '/') path.insert(0, 1, '/');
  return {std::string(address.substr(0, pathStart)), std::move(path)};
}

}  // namespace quillmark
