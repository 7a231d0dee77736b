#include "net/openssl_functions.h"

#include <stdexcept>

#include "net/net_error.h"

namespace quillmark {

std::string OpenSslLibraryName() { return "libssl.so." + std::to_string(OPENSSL_VERSION_MAJOR); }

OpenSslFunctions LoadOpenSsl(const std::string& soname) {
  try {
    return OpenSslFunctions::From(SharedLibrary(soname));
  } catch (const std::runtime_error& error) {
    throw NetError(std::string("Secure Socket setup failed: ") + error.what());
  }
}

namespace {
OpenSslFunctions LoadBuiltFor() { return LoadOpenSsl(OpenSslLibraryName()); }
}  // namespace

const OpenSslFunctions& OpenSsl() { return LoadedOnce<OpenSslFunctions, &LoadBuiltFor>(); }

}  // namespace quillmark
