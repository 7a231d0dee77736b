#include "net/cares_functions.h"

#include "net/shared_library.h"

namespace quillmark {
namespace {

CaresFunctions LoadCares() {
  const SharedLibrary library(kCaresLibraryName);
  CaresFunctions functions;
#define QUILLMARK_CARES_FIND(name) library.Find(#name, functions.name);
  QUILLMARK_CARES_FUNCTIONS(QUILLMARK_CARES_FIND)
#undef QUILLMARK_CARES_FIND
  return functions;
}

}  // namespace

const CaresFunctions& Cares() { return LoadedOnce<CaresFunctions, &LoadCares>(); }

}  // namespace quillmark
