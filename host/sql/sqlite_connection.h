// TnConnection over an embedded SQLite database. Everything particular to SQLite (dialect
// rewriting, value typing, literals) stays behind this class and its statements.
#pragma once

#include <memory>
#include <string>

#include "nrw/sql.h"
#include "nrwhost/database.h"
#include "sql/sqlite_handles.h"
#include "sql/sqlite_statement_pool.h"

namespace nrw {

class SqliteConnection final : public TnConnection {
 public:
  //! Opens the database file (read-write ones are created when missing); ":memory:" gives a
  //! private database.
  SqliteConnection(const std::string& path, OpenMode mode);

  TnDialect Dialect() const override { return TnDialect::kSQLite; }
  std::unique_ptr<TnPreparedStatement> Prepare(const std::string& sql) override;
  void ExecuteScript(const std::string& sql) override;
  std::string Literal(const Variant& value) const override;
  std::string FilePath() const override;

 private:
  void BeginRead(const std::string& imported) override;
  void EndRead() noexcept override;

  SqliteDb db_;
  std::shared_ptr<SqliteStatementPool> pool_ = std::make_shared<SqliteStatementPool>();
};

}  // namespace nrw
