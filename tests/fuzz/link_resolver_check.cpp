#include "link_resolver_check.h"

#include <algorithm>
#include <array>

#include "gather/link_resolver.h"

namespace quillmark::testing {
namespace {

std::size_t Count(std::string_view text, char c) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

bool HasScheme(std::string_view url) {
  const std::size_t colon = url.find(':');
  return colon != std::string_view::npos && colon > 0 &&
         url.substr(0, colon).find_first_of("/?#") == std::string_view::npos;
}

std::string CheckExtension(std::string_view url) {
  const std::string_view extension = ExtensionOf(url);
  if (extension.empty()) return "";
  if (extension.front() != '.') return "an extension that does not start with '.'";
  if (extension.size() >= url.size()) return "an extension found at the first byte";
  if (url.substr(url.size() - extension.size()) != extension) return "an extension not at the end";
  return "";
}

}  // namespace

std::string CheckLinkResolver(std::string_view input) {
  std::string_view base = "http://a/b/c/d;p?q";
  std::string_view link = input;
  if (const std::size_t zero = input.find('\0'); zero != std::string_view::npos) {
    base = input.substr(0, zero);
    link = input.substr(zero + 1);
  }
  const std::optional<std::string> resolved = ResolveLink(base, link);
  if (!resolved) {
    // Recomposing adds at most a few delimiters to the bytes of the two inputs.
    if (base.size() + link.size() + 8 < kMaxResolvedUrlBytes) return "a short link was refused";
    return "";
  }
  const std::string& url = *resolved;
  if (url.size() > kMaxResolvedUrlBytes) return "a result longer than the bound";
  if (Count(url, '%') > Count(base, '%') + Count(link, '%')) return "a '%' was added";
  std::array<bool, 256> seen{};
  for (const std::string_view part : {base, link, std::string_view("/?#:")}) {
    for (const char c : part) seen[static_cast<unsigned char>(c)] = true;
  }
  for (const char c : url) {
    if (!seen[static_cast<unsigned char>(c)]) return "a byte from nowhere in the result";
  }
  if (HasScheme(url)) {
    // Taken as an absolute link, a result loses its dot segments (a link of only a fragment
    // keeps the page's path as it is); after that, resolving changes it no more.
    const std::optional<std::string> once = ResolveLink(url, url);
    const std::optional<std::string> twice = once ? ResolveLink(*once, *once) : once;
    if (!once || !twice || *once != *twice) return "removing dot segments twice changed a result";
  }
  return CheckExtension(url);
}

}  // namespace quillmark::testing
