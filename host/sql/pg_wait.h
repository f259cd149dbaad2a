// Host-internal: libpq's calls that wait for the server, bounded by the run's time limit. Each
// sends its command without blocking and waits for the answer on the socket; when the limit passes
// first, the connection is given up (its socket shut, so that no later call waits on it either) and
// the time limit's error is raised. Without a limit they wait as long as libpq would. Each answers
// what libpq's blocking call would: the last result, null when nothing could be sent.
#pragma once

#include <libpq-fe.h>

#include <string>

#include "sql/pg_session.h"

namespace nrw {

PgResult PgExec(PGconn* conn, const std::string& sql);
PgResult PgExecParams(PGconn* conn, const std::string& sql, int count, const char* const* values);
PgResult PgPrepare(PGconn* conn, const std::string& name, const std::string& sql, int count,
                   const Oid* types);
PgResult PgExecPrepared(PGconn* conn, const std::string& name, int count,
                        const char* const* values);

//! Sends what libpq holds for the server, reading what the server answers meanwhile (so that
//! neither waits on the other).
void PgFlush(PGconn* conn);
//! The next result of the commands sent (libpq's PQgetResult), waiting for it.
PgResult PgNextResult(PGconn* conn);

}  // namespace nrw
