// The live libpq connection, shared by a PostgreSQL connection and every statement prepared on it
// (a dataset that outlives its connection can still run again), and the owning result handle.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <string>

namespace nrw {

struct PgResultClear {
  void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultClear>;

class PgSession {
 public:
  //! Takes ownership of an established connection.
  explicit PgSession(PGconn* conn) : conn_(conn) {}
  ~PgSession() { PQfinish(conn_); }
  PgSession(const PgSession&) = delete;
  PgSession& operator=(const PgSession&) = delete;

  PGconn* get() const { return conn_; }
  //! A server-side statement name not used before on this connection.
  std::string NextStatementName() { return "nrw_" + std::to_string(++statements_); }

 private:
  PGconn* conn_;
  uint64_t statements_ = 0;
};

using PgSessionPtr = std::shared_ptr<PgSession>;

}  // namespace nrw
