#include "net/cares_functions.h"

namespace quillmark {
namespace {

CaresFunctions LoadCares() { return CaresFunctions::From(SharedLibrary(kCaresLibraryName)); }

}  // namespace

const CaresFunctions& Cares() { return LoadedOnce<CaresFunctions, &LoadCares>(); }

}  // namespace quillmark
