#include "session/site_list.h"

#include <algorithm>
#include <iterator>

#include "text/ascii_case.h"

namespace quillmark {

namespace {
bool BeforeIgnoringCase(std::string_view a, std::string_view b) {
  return CompareIgnoringAsciiCase(a, b) < 0;
}
bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return EqualsIgnoringAsciiCase(a, b);
}
}  // namespace

bool SiteList::Add(std::string_view address) {
  const auto place =
      std::lower_bound(addresses_.begin(), addresses_.end(), address, BeforeIgnoringCase);
  if (place != addresses_.end() && EqualIgnoringCase(*place, address)) return false;
  addresses_.insert(place, std::string(address));
  return true;
}

void SiteList::AddAll(std::vector<std::string> addresses) {
  // The list's own entries go first and the sort is stable, so of equal addresses the one
  // single adds would have kept comes first and std::unique keeps it.
  std::vector<std::string> all = std::move(addresses_);
  all.reserve(all.size() + addresses.size());
  std::move(addresses.begin(), addresses.end(), std::back_inserter(all));
  std::stable_sort(all.begin(), all.end(), BeforeIgnoringCase);
  all.erase(std::unique(all.begin(), all.end(), EqualIgnoringCase), all.end());
  addresses_ = std::move(all);
}

}  // namespace quillmark
