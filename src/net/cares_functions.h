// The c-ares functions the name lookup calls, taken from libcares when the first socket layer
// is made rather than linked: loading and binding the library was paid at every start, and a
// start does no lookup until the first gathering run.
#pragma once

#include <ares.h>

#include "net/shared_library.h"

namespace quillmark {

#define QUILLMARK_CARES_FUNCTIONS(X) \
  X(ares_destroy)                    \
  X(ares_gethostbyname)              \
  X(ares_getsock)                    \
  X(ares_init_options)               \
  X(ares_library_init)               \
  X(ares_process_fd)                 \
  X(ares_set_servers_ports_csv)

QUILLMARK_LIBRARY_FUNCTIONS(CaresFunctions, QUILLMARK_CARES_FUNCTIONS)

// The soname of the c-ares library the program was built for.
inline constexpr const char* kCaresLibraryName = "libcares.so.2";

// The functions of kCaresLibraryName, loaded at the first call and kept; a failed load is
// tried again at the next call. Throws std::runtime_error("libcares.so.2: <reason>") when the
// library cannot be loaded or lacks one of them.
const CaresFunctions& Cares();

}  // namespace quillmark
