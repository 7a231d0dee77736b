#include "gather/site_articles.h"

#include <algorithm>
#include <optional>
#include <set>

#include "gather/link_resolver.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlphanumeric(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

int NumberOf(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool IsYear(std::string_view text) {
  return text.size() == 4 && AllDigits(text) && NumberOf(text) >= 1990 && NumberOf(text) <= 2099;
}
bool IsMonth(std::string_view text) {
  return text.size() <= 2 && AllDigits(text) && NumberOf(text) >= 1 && NumberOf(text) <= 12;
}
bool IsDay(std::string_view text) {
  return text.size() <= 2 && AllDigits(text) && NumberOf(text) >= 1 && NumberOf(text) <= 31;
}

std::vector<std::string_view> SegmentsOf(std::string_view path) {
  std::vector<std::string_view> segments;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view segment = path.substr(0, slash);
    if (!segment.empty()) segments.push_back(segment);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return segments;
}

bool HasDate(const std::vector<std::string_view>& segments) {
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const std::string_view s = segments[i];
    if (s.size() == 8 && AllDigits(s) && IsYear(s.substr(0, 4)) && IsMonth(s.substr(4, 2)) &&
        IsDay(s.substr(6, 2))) {
      return true;
    }
    if (i + 2 < segments.size() && IsYear(s) && IsMonth(segments[i + 1]) &&
        IsDay(segments[i + 2])) {
      return true;
    }
  }
  return false;
}

// "rain-returns-to-the-valley" or "rain-returns-to-the-valley.html": words of letters and
// digits between single hyphens.
bool IsSlug(std::string_view segment) {
  segment = segment.substr(0, segment.find('.'));
  std::size_t words = 0;
  std::size_t wordLength = 0;
  for (const char c : segment) {
    if (c == '-') {
      if (wordLength == 0) return false;
      ++words;
      wordLength = 0;
    } else if (IsAsciiAlphanumeric(c)) {
      ++wordLength;
    } else {
      return false;
    }
  }
  if (wordLength == 0) return false;
  return words + 1 >= kMinSlugWords;
}

std::size_t WordCount(std::string_view text) {
  std::size_t words = 0;
  bool inWord = false;
  for (const char c : text) {
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (!space && !inWord) ++words;
    inWord = !space;
  }
  return words;
}

bool HasToken(std::string_view list, std::string_view token) {
  while (!list.empty()) {
    const std::size_t space = list.find_first_of(" \t\n\r\f");
    if (list.substr(0, space) == token) return true;
    if (space == std::string_view::npos) break;
    list.remove_prefix(space + 1);
  }
  return false;
}

// The address links are resolved against: the page's `<base href>` when it has one.
std::string BaseOf(const PageLinks& links, std::string_view pageAddress) {
  if (!links.baseHref.empty()) {
    if (std::optional<std::string> base = ResolveLink(pageAddress, links.baseHref)) return *base;
  }
  return std::string(pageAddress);
}

std::string WithoutFragment(std::string address) {
  address.erase(std::min(address.find('#'), address.size()));
  return address;
}

}  // namespace

std::string HostOf(std::string_view address) {
  const std::size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view authority = address.substr(scheme + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  if (!authority.empty() && authority.front() == '[') {
    authority = authority.substr(0, authority.find(']') + 1);
  } else {
    authority = authority.substr(0, authority.find(':'));
  }
  return LowerCaseAscii(authority);
}

std::vector<std::string> FeedAddresses(const PageLinks& links, std::string_view pageAddress) {
  const std::string base = BaseOf(links, pageAddress);
  std::vector<std::string> feeds;
  std::set<std::string> seen;
  for (const PageLink& link : links.links) {
    if (link.element != PageLinkElement::kLink || !HasToken(link.rel, "alternate")) continue;
    if (link.type != "application/rss+xml" && link.type != "application/atom+xml") continue;
    std::optional<std::string> address = ResolveLink(base, link.href);
    if (!address || link.href.empty()) continue;
    std::string feed = WithoutFragment(std::move(*address));
    if (seen.insert(feed).second) feeds.push_back(std::move(feed));
  }
  return feeds;
}

std::vector<std::string> ArticleLinks(const PageLinks& links, std::string_view pageAddress,
                                      std::string_view answeringHost) {
  const std::string base = BaseOf(links, pageAddress);
  const std::string pageHost = HostOf(pageAddress);
  const std::string otherHost = LowerCaseAscii(answeringHost);
  const std::string page = WithoutFragment(std::string(pageAddress));
  std::vector<std::string> articles;
  std::set<std::string> seen;
  for (const PageLink& link : links.links) {
    if (link.element != PageLinkElement::kAnchor || link.href.empty()) continue;
    if (WordCount(link.text) < kMinArticleLinkWords) continue;
    std::optional<std::string> resolved = ResolveLink(base, link.href);
    if (!resolved) continue;
    std::string address = WithoutFragment(std::move(*resolved));
    if (!address.starts_with("http://") && !address.starts_with("https://")) continue;
    const std::string host = HostOf(address);
    if (host != pageHost && (otherHost.empty() || host != otherHost)) continue;
    const std::size_t pathStart = address.find('/', address.find("://") + 3);
    if (pathStart == std::string::npos) continue;
    std::string_view path(address);
    path.remove_prefix(pathStart);
    path = path.substr(0, path.find('?'));
    const std::vector<std::string_view> segments = SegmentsOf(path);
    if (segments.empty() || !(HasDate(segments) || IsSlug(segments.back()))) continue;
    if (address == page || !seen.insert(address).second) continue;
    articles.push_back(std::move(address));
  }
  return articles;
}

bool IsHomePageAddress(std::string_view address) {
  const std::size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return false;
  std::string_view rest = address.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("?#"));
  const std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return true;
  const std::string_view path = rest.substr(slash);
  return path == "/" || path.starts_with("/index.") || path.starts_with("/default.");
}

}  // namespace quillmark
