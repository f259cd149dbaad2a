// TnConnection over a PostgreSQL server (libpq). Everything particular to PostgreSQL (dialect
// rewriting, value typing, literals, error texts) stays behind this class and its statements.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nrwhost/database.h"
#include "sql/pg_session.h"

namespace nrw {

class PgConnection final : public TnConnection {
 public:
  //! Connects to the database the URI or conninfo names (see OpenPostgreSQL).
  PgConnection(const std::string& conninfo, OpenMode mode);

  TnDialect Dialect() const override { return TnDialect::kPostgreSQL; }
  std::unique_ptr<TnPreparedStatement> Prepare(const std::string& sql) override;
  void ExecuteScript(const std::string& sql) override;
  //! NULL, 12, 12.5 and 10.0 (a float keeps its point: numeric, not integer), 'text' with
  //! apostrophes doubled, DATE 'yyyy-mm-dd' or TIMESTAMP 'yyyy-mm-dd hh:nn:ss' when there is a
  //! time.
  std::string Literal(const Variant& value) const override;

 private:
  void BeginRead(const std::string& imported) override;
  std::string ExportRead() override;
  void EndRead() noexcept override;
  void PartsAhead(const std::vector<std::vector<Variant>>& parts) override;

  PgSessionPtr session_;
  //! Inside a ReadSnapshot: every statement reads one state, so rows read ahead are still the
  //! database's answer when asked.
  bool in_snapshot_ = false;
};

}  // namespace nrw
