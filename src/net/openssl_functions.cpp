#include "net/openssl_functions.h"

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

namespace {
OpenSslFunctions LoadBuiltFor() { return LoadOpenSsl(OpenSslLibraryName()); }
}  // namespace

const OpenSslFunctions& OpenSsl() { return LoadedOnce<OpenSslFunctions, &LoadBuiltFor>(); }

}  // namespace quillmark
