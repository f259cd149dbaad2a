// A statement prepared on a PostgreSQL server: the module's text rewritten for PostgreSQL once,
// prepared under a name of its own when first run (its parameters typed from those values), then
// run as often as asked. Shares the live connection with its connection object; when freed, the
// server-side statement waits in the session for the next statement of the same text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nrwhost/database.h"
#include "sql/pg_session.h"
#include "sql/sql_rewriter.h"
#include "sql/sql_shape.h"

namespace nrw {

class PgStatement final : public TnPreparedStatement {
 public:
  //! Takes sql (as the module wrote it); raises on an empty text, more than one statement or
  //! parameters not written :name. Database errors come with the first run.
  PgStatement(PgSessionPtr session, std::string sql);
  ~PgStatement() override;
  PgStatement(const PgStatement&) = delete;
  PgStatement& operator=(const PgStatement&) = delete;

  const std::vector<std::string>& ParamNames() const override { return adapted_.param_names; }
  std::shared_ptr<TnDataStore> Fetch(const std::vector<Variant>& values) override;
  std::string IndexFields(const std::string& sql, const std::vector<std::string>& columns) override;
  int64_t Execute(const std::vector<Variant>& values) override;

  //! Queues a run with these values on the session's connection, in pipeline mode, on the
  //! statement an earlier one of the same text prepared (PartForecast); false, queuing nothing,
  //! when there is none or the values do not fit. Its result is the session's to keep.
  bool QueueAhead(const std::vector<Variant>& values);

 private:
  //! The parameters' texts for the values and the lifted literals (nullptr for a null); raises for
  //! a wrong count or a value the server cannot take.
  void ParamTexts(const std::vector<Variant>& values, std::vector<std::string>& texts,
                  std::vector<const char*>& pointers) const;
  std::shared_ptr<TnDataStore> Rows(const PGresult* result);
  //! Prepares on the server with the parameter types given (none: the server infers them all).
  //! Answers the failed result, or null when prepared.
  PgResult PrepareOnServer(const std::string& text, const std::vector<Oid>& types);
  //! Prepares for the first values run, their types guiding the parameters'.
  void PrepareFor(const std::vector<Variant>& values);
  PgResult Run(const std::vector<Variant>& values);
  std::string PoolKey(const std::vector<Variant>& values) const;
  //! Checks the text and rewrites it for the server (with and without tie-breaking items).
  AdaptedSql Adapt(SqlConversion conversion) const;

  PgSessionPtr session_;
  std::string sql_;
  AdaptedSql adapted_;
  //! Shared with the statements of the same shape.
  std::shared_ptr<ShapeMemo> memo_;
  char conversion_key_ = '1';
  //! Server-side name; empty until the first run (then prepared, or taken from the session's
  //! idle statements, to which it goes back when this statement is freed).
  std::string name_;
  std::string pool_key_;
  std::vector<std::string> field_names_;
};

}  // namespace nrw
