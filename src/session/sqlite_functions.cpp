#include "session/sqlite_functions.h"

#include "net/shared_library.h"

namespace quillmark {

SqliteFunctions LoadSqlite(const std::string& soname) {
  const SharedLibrary library(soname);
  SqliteFunctions functions;
#define QUILLMARK_SQLITE_FIND(name) library.Find(#name, functions.name);
  QUILLMARK_SQLITE_FUNCTIONS(QUILLMARK_SQLITE_FIND)
#undef QUILLMARK_SQLITE_FIND
  return functions;
}

namespace {
SqliteFunctions LoadInstalled() { return LoadSqlite(kSqliteLibraryName); }
}  // namespace

const SqliteFunctions& Sqlite() { return LoadedOnce<SqliteFunctions, &LoadInstalled>(); }

}  // namespace quillmark
