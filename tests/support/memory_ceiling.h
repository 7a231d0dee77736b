#pragma once
// A ceiling on how much address space a test process may still take (RLIMIT_AS), for tests
// that run the code on a huge input in a forked child (a gtest death test) and check that it
// finishes within a bound instead of running out of memory.

#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>

namespace quillmark::testing {

// AddressSanitizer reserves terabytes of address space for its shadow: no ceiling fits there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSpaceCanBeCapped = false;
#elif defined(__has_feature)
inline constexpr bool kAddressSpaceCanBeCapped = !__has_feature(address_sanitizer);
#else
inline constexpr bool kAddressSpaceCanBeCapped = true;
#endif

// Lets this process map at most `bytes` more than it maps now. Returns false when the limit
// could not be set.
inline bool CapAddressSpaceGrowth(std::size_t bytes) {
  std::size_t pages = 0;
  std::ifstream statm("/proc/self/statm");
  if (!(statm >> pages)) return false;
  const rlim_t limit = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + bytes;
  const rlimit ceiling{limit, limit};
  return ::setrlimit(RLIMIT_AS, &ceiling) == 0;
}

}  // namespace quillmark::testing
