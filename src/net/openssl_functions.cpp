#include "net/openssl_functions.h"

#include <memory>
#include <mutex>
#include <stdexcept>

#include "net/net_error.h"
#include "net/shared_library.h"

namespace quillmark {

std::string OpenSslLibraryName() { return "libssl.so." + std::to_string(OPENSSL_VERSION_MAJOR); }

OpenSslFunctions LoadOpenSsl(const std::string& soname) {
  try {
    const SharedLibrary library(soname);
    OpenSslFunctions functions;
#define QUILLMARK_OPENSSL_FIND(name) library.Find(#name, functions.name);
    QUILLMARK_OPENSSL_FUNCTIONS(QUILLMARK_OPENSSL_FIND)
#undef QUILLMARK_OPENSSL_FIND
    return functions;
  } catch (const std::runtime_error& error) {
    throw NetError(std::string("Secure Socket setup failed: ") + error.what());
  }
}

const OpenSslFunctions& OpenSsl() {
  static std::mutex mutex;
  static std::unique_ptr<const OpenSslFunctions> loaded;
  const std::lock_guard lock(mutex);
  if (loaded == nullptr) {
    loaded = std::make_unique<const OpenSslFunctions>(LoadOpenSsl(OpenSslLibraryName()));
  }
  return *loaded;
}

}  // namespace quillmark
