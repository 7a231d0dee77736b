#include "session/site_list.h"

#include <algorithm>

#include "text/ascii_case.h"

namespace quillmark {

bool SiteList::Add(std::string_view address) {
  const auto place = std::lower_bound(addresses_.begin(), addresses_.end(), address,
                                      [](const std::string& entry, std::string_view a) {
                                        return CompareIgnoringAsciiCase(entry, a) < 0;
                                      });
  if (place != addresses_.end() && CompareIgnoringAsciiCase(*place, address) == 0) return false;
  addresses_.insert(place, std::string(address));
  return true;
}

}  // namespace quillmark
