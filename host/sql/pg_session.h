// The live libpq connection, shared by a PostgreSQL connection and every statement prepared on it
// (a dataset that outlives its connection can still run again), what it knows of the tables, its
// idle prepared statements and what it sent ahead of being asked.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sql/idle_statements.h"
#include "sql/part_forecast.h"
#include "sql/pg_handles.h"
#include "sql/pg_read_ahead.h"
#include "sql/sql_shape.h"

namespace nrw {

class PgSession {
 public:
  //! Takes an established connection.
  explicit PgSession(PgConnPtr conn) : conn_(std::move(conn)), ahead_(conn_.get()) {}

  PGconn* get() const { return conn_.get(); }
  //! A server-side statement name not used before on this connection.
  std::string NextStatementName() { return "nrw_" + std::to_string(++statements_); }

  //! Whether the connection was opened for reading: only queries are sent (sql/query_check.h).
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly() { read_only_ = true; }

  //! The primary-key columns of a table (of the search path), in key order; empty for a view, a
  //! table without one or a name the server does not know. Asked once per table.
  const std::vector<std::string>& PrimaryKey(const std::string& table);

  //! Statements prepared on the server and no longer in use (IdleStatements), kept by what they
  //! were prepared for (the rewritten text and the types of their first values).
  static constexpr size_t kIdlePrepared = 64;
  //! The rewrites of the session's statements, by shape (the primary keys they add to an ORDER BY
  //! are the session's, asked once).
  AdaptedSqlCache& Shapes() { return shapes_; }

  //! The name of an idle statement prepared for key, taken out of the pool; empty when none.
  std::string TakePrepared(const std::string& key);
  //! Keeps the statement; answers the name of one the pool let go (to be released), or empty.
  std::string GivePrepared(std::string key, std::string name);

  //! The statements of separated parts (PartForecast), and the runs of them sent ahead.
  PartForecast& Forecast() { return forecast_; }
  PgReadAhead& Ahead() { return ahead_; }
  //! Reads whatever was sent ahead and is still due: before any other command.
  void Settle() { ahead_.Settle(); }

 private:
  PgConnPtr conn_;
  uint64_t statements_ = 0;
  bool read_only_ = false;
  std::map<std::string, std::vector<std::string>> primary_keys_;
  //! Server-side names.
  IdleStatements<std::string> idle_{kIdlePrepared};
  AdaptedSqlCache shapes_;
  PartForecast forecast_;
  PgReadAhead ahead_;
};

using PgSessionPtr = std::shared_ptr<PgSession>;

}  // namespace nrw
