// A statement prepared on an SQLite database: the module's text rewritten for SQLite once, then
// bound and run as often as asked. Shares the database handle with its connection; when freed, the
// prepared statement goes back to the connection's pool for the next Prepare of the same rewritten
// text (a query's literal operands are parameters there, so one per separated part is prepared
// once).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nrw/sql.h"
#include "nrwhost/database.h"
#include "sql/sql_shape.h"
#include "sql/sqlite_handles.h"
#include "sql/sqlite_statement_pool.h"

namespace nrw {

class SqliteStatement final : public TnPreparedStatement {
 public:
  //! Prepares sql (as the module wrote it); raises on a database error, an empty text or more
  //! than one statement.
  SqliteStatement(SqliteDb db, std::shared_ptr<SqliteStatementPool> pool, std::string sql);
  ~SqliteStatement() override;

  const std::vector<std::string>& ParamNames() const override { return param_names_; }
  std::shared_ptr<TnDataStore> Fetch(const std::vector<Variant>& values) override;
  int64_t Execute(const std::vector<Variant>& values) override;

 private:
  std::string IndexFields(const std::string& sql, const std::vector<std::string>& columns) override;
  void Bind(const std::vector<Variant>& values);
  void BindValue(int index, const Variant& value, const std::string& name);

  SqliteDb db_;
  std::shared_ptr<SqliteStatementPool> pool_;
  std::string pool_key_;
  size_t pool_hash_ = 0;
  std::string sql_;
  std::vector<std::string> param_names_;
  //! The literals of this text that the rewritten one takes as parameters after the named ones.
  std::vector<Variant> lifted_;
  //! Shared with the statements of the same shape.
  std::shared_ptr<ShapeMemo> memo_;
  SqliteStmt stmt_;
};

}  // namespace nrw
