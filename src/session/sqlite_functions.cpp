#include "session/sqlite_functions.h"

namespace quillmark {
namespace {

SqliteFunctions LoadSqlite() { return SqliteFunctions::From(SharedLibrary(kSqliteLibraryName)); }

}  // namespace

const SqliteFunctions& Sqlite() { return LoadedOnce<SqliteFunctions, &LoadSqlite>(); }

}  // namespace quillmark
