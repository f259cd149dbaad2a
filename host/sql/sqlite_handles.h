// Owning handles over the SQLite C objects. A database handle is shared by its connection and by
// every statement prepared on it, so a dataset that outlives its connection can still re-run.
#pragma once

#include <sqlite3.h>

#include <memory>

namespace nrw {

struct SqliteDbCloser {
  // close_v2 defers the close while statements are alive instead of failing with SQLITE_BUSY.
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

struct SqliteStmtFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

using SqliteDbPtr = std::unique_ptr<sqlite3, SqliteDbCloser>;
using SqliteDb = std::shared_ptr<sqlite3>;
using SqliteStmt = std::unique_ptr<sqlite3_stmt, SqliteStmtFinalizer>;

//! Resets a statement (releasing its read transaction) and its bindings when the scope ends.
class SqliteStmtReset {
 public:
  explicit SqliteStmtReset(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~SqliteStmtReset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  SqliteStmtReset(const SqliteStmtReset&) = delete;
  SqliteStmtReset& operator=(const SqliteStmtReset&) = delete;

 private:
  sqlite3_stmt* stmt_;
};

}  // namespace nrw
