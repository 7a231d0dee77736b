#include "app/site_list.h"

#include <algorithm>

namespace quillmark {

namespace {
unsigned char LowerAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 0x20) : u;
}
}  // namespace

int SiteList::CompareIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = LowerAscii(a[i]);
    const unsigned char y = LowerAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SiteList::Add(std::string_view address) {
  const auto place = std::lower_bound(addresses_.begin(), addresses_.end(), address,
                                      [](const std::string& entry, std::string_view a) {
                                        return CompareIgnoringCase(entry, a) < 0;
                                      });
  if (place != addresses_.end() && CompareIgnoringCase(*place, address) == 0) return false;
  addresses_.insert(place, std::string(address));
  return true;
}

}  // namespace quillmark
