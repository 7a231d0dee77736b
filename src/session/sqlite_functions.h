// The sqlite3 functions the run history calls, taken from libsqlite3 when the history is
// first opened rather than linked: loading and binding the library was paid at every start,
// and the history is opened only when a run ends or its trends are asked for.
#pragma once

#include <sqlite3.h>

#include "net/shared_library.h"

namespace quillmark {

#define QUILLMARK_SQLITE_FUNCTIONS(X) \
  X(sqlite3_bind_int64)               \
  X(sqlite3_bind_text)                \
  X(sqlite3_busy_timeout)             \
  X(sqlite3_clear_bindings)           \
  X(sqlite3_close_v2)                 \
  X(sqlite3_column_blob)              \
  X(sqlite3_column_bytes)             \
  X(sqlite3_column_int64)             \
  X(sqlite3_db_readonly)              \
  X(sqlite3_errmsg)                   \
  X(sqlite3_exec)                     \
  X(sqlite3_finalize)                 \
  X(sqlite3_last_insert_rowid)        \
  X(sqlite3_open_v2)                  \
  X(sqlite3_prepare_v2)               \
  X(sqlite3_reset)                    \
  X(sqlite3_step)                     \
  X(sqlite3_system_errno)

QUILLMARK_LIBRARY_FUNCTIONS(SqliteFunctions, QUILLMARK_SQLITE_FUNCTIONS)

// The soname of SQLite 3's library.
inline constexpr const char* kSqliteLibraryName = "libsqlite3.so.0";

// The functions of kSqliteLibraryName, loaded at the first call and kept; a failed load is
// tried again at the next call. Throws std::runtime_error("libsqlite3.so.0: <reason>") when
// the library cannot be loaded or lacks one of them.
const SqliteFunctions& Sqlite();

}  // namespace quillmark
