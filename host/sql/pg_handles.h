// Owning handles of libpq's connection and results.
#pragma once

#include <libpq-fe.h>

#include <memory>

namespace nrw {

struct PgResultClear {
  void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultClear>;

struct PgConnFinish {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
using PgConnPtr = std::unique_ptr<PGconn, PgConnFinish>;

}  // namespace nrw
