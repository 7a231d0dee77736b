#include "gather/link_resolver.h"

#include <algorithm>

namespace quillmark {
namespace {

// The five parts of RFC 3986 Appendix B. An absent part differs from an empty one ("x?" has
// an empty query, "x" none), and the difference survives into the result.
struct UrlParts {
  std::optional<std::string_view> scheme;
  std::optional<std::string_view> authority;
  std::string_view path;
  std::optional<std::string_view> query;
  std::optional<std::string_view> fragment;
};

// ^(([^:/?#]+):)?(//([^/?#]*))?([^?#]*)(\?([^#]*))?(#(.*))? without a regex engine: every
// byte string matches it, whatever it holds.
UrlParts SplitUrl(std::string_view text) {
  UrlParts parts;
  const std::size_t schemeEnd = text.find_first_of(":/?#");
  if (schemeEnd != std::string_view::npos && schemeEnd > 0 && text[schemeEnd] == ':') {
    parts.scheme = text.substr(0, schemeEnd);
    text.remove_prefix(schemeEnd + 1);
  }
  if (text.starts_with("//")) {
    const std::size_t end = std::min(text.find_first_of("/?#", 2), text.size());
    parts.authority = text.substr(2, end - 2);
    text.remove_prefix(end);
  }
  const std::size_t pathEnd = std::min(text.find_first_of("?#"), text.size());
  parts.path = text.substr(0, pathEnd);
  text.remove_prefix(pathEnd);
  if (text.starts_with('?')) {
    const std::size_t end = std::min(text.find('#'), text.size());
    parts.query = text.substr(1, end - 1);
    text.remove_prefix(end);
  }
  if (text.starts_with('#')) parts.fragment = text.substr(1);
  return parts;
}

// RFC 3986 section 5.2.4. Each byte is moved to the output once and removed at most once, so
// a link of a million "../" costs a million steps, not a million squared.
std::string RemoveDotSegments(std::string_view input) {
  std::string output;
  output.reserve(input.size());
  const auto dropLastSegment = [&output] {
    const std::size_t slash = output.rfind('/');
    output.resize(slash == std::string::npos ? 0 : slash);
  };
  while (!input.empty()) {
    if (input.starts_with("../")) {
      input.remove_prefix(3);
    } else if (input.starts_with("./")) {
      input.remove_prefix(2);
    } else if (input.starts_with("/./")) {
      input.remove_prefix(2);
    } else if (input == "/.") {
      output += '/';
      input = {};
    } else if (input.starts_with("/../")) {
      input.remove_prefix(3);
      dropLastSegment();
    } else if (input == "/..") {
      dropLastSegment();
      output += '/';
      input = {};
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      const std::size_t end = std::min(input.find('/', 1), input.size());
      output.append(input.substr(0, end));
      input.remove_prefix(end);
    }
  }
  return output;
}

// RFC 3986 section 5.2.3.
std::string MergePaths(const UrlParts& base, std::string_view linkPath) {
  // The base's directory: "/" under an authority without a path, else up to its last '/'.
  std::string_view directory = "/";
  if (!base.authority || !base.path.empty()) {
    const std::size_t slash = base.path.rfind('/');
    directory =
        slash == std::string_view::npos ? std::string_view{} : base.path.substr(0, slash + 1);
  }
  // Appended into one reserved string: GCC 12 at -O3 takes "/" + string for an overlapping
  // copy and warns.
  std::string merged;
  merged.reserve(directory.size() + linkPath.size());
  merged.append(directory).append(linkPath);
  return merged;
}

}  // namespace

std::optional<std::string> ResolveLink(std::string_view base, std::string_view link) {
  const UrlParts b = SplitUrl(base);
  const UrlParts r = SplitUrl(link);

  // RFC 3986 section 5.2.2, strict: the link's own scheme is kept even when it is the base's.
  std::optional<std::string_view> scheme = b.scheme;
  std::optional<std::string_view> authority = b.authority;
  std::optional<std::string_view> query = r.query;
  std::string path;
  if (r.scheme) {
    scheme = r.scheme;
    authority = r.authority;
    path = RemoveDotSegments(r.path);
  } else if (r.authority) {
    authority = r.authority;
    path = RemoveDotSegments(r.path);
  } else if (r.path.empty()) {
    path = b.path;
    if (!r.query) query = b.query;
  } else if (r.path.front() == '/') {
    path = RemoveDotSegments(r.path);
  } else {
    path = RemoveDotSegments(MergePaths(b, r.path));
  }

  // RFC 3986 section 5.3.
  const auto size = [](const std::optional<std::string_view>& part) {
    return part ? part->size() + 1 : 0;
  };
  const std::size_t total = size(scheme) + (authority ? authority->size() + 2 : 0) + path.size() +
                            size(query) + size(r.fragment);
  if (total > kMaxResolvedUrlBytes) return std::nullopt;
  std::string result;
  result.reserve(total);
  if (scheme) result.append(*scheme).append(":");
  if (authority) result.append("//").append(*authority);
  result += path;
  if (query) result.append("?").append(*query);
  if (r.fragment) result.append("#").append(*r.fragment);
  return result;
}

std::string_view ExtensionOf(std::string_view url) {
  for (std::size_t i = url.size(); i > 1; --i) {
    if (url[i - 1] == '.') return url.substr(i - 1);
  }
  return {};
}

}  // namespace quillmark
