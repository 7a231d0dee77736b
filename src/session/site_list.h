#pragma once
// The news sites to visit.

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Site addresses kept sorted without regard to letter case (CompareIgnoringAsciiCase). An address
// equal to one already in the list, ignoring case, is silently not added (the first one stays).
class SiteList {
 public:
  // Returns false (and changes nothing) when an equal address is already there. Linear in the
  // list's size: for one address at a time, as the options dialog adds them.
  bool Add(std::string_view address);
  // Adds every address as one Add after the other would, in O(n log n) for n addresses in all:
  // for loading a whole file.
  void AddAll(std::vector<std::string> addresses);
  void Clear() { addresses_.clear(); }

  const std::vector<std::string>& Addresses() const { return addresses_; }
  std::size_t Size() const { return addresses_.size(); }

 private:
  std::vector<std::string> addresses_;
};

}  // namespace quillmark
