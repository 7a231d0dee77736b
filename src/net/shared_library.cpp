#include "net/shared_library.h"

#include <dlfcn.h>

#include <stdexcept>

namespace quillmark {
namespace {

std::string LoaderFailure(const std::string& soname) {
  const char* reason = ::dlerror();
  return soname + ": " + (reason != nullptr ? reason : "unknown error");
}

}  // namespace

SharedLibrary::SharedLibrary(const std::string& soname) : soname_(soname) {
  handle_ = ::dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw std::runtime_error(LoaderFailure(soname));
}

void* SharedLibrary::Symbol(const char* name) const {
  ::dlerror();
  void* symbol = ::dlsym(handle_, name);
  if (symbol == nullptr) throw std::runtime_error(LoaderFailure(soname_));
  return symbol;
}

}  // namespace quillmark
