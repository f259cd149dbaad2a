// Host-internal: libpq's calls that wait for the server, bounded by the run's time limit. Each
// sends its command without blocking and waits for the answer on the socket; when the limit passes
// first, the connection is given up (its socket shut, so that no later call waits on it either) and
// the time limit's error is raised. Without a limit they wait as long as libpq would. Each answers
// what libpq's blocking call would: the last result, null when nothing could be sent.
#pragma once

#include <libpq-fe.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "sql/pg_session.h"

namespace nrw {

PgResult PgExec(PGconn* conn, const std::string& sql);
PgResult PgExecParams(PGconn* conn, const std::string& sql, int count, const char* const* values);
PgResult PgPrepare(PGconn* conn, const std::string& name, const std::string& sql, int count,
                   const Oid* types);
PgResult PgExecPrepared(PGconn* conn, const std::string& name, int count,
                        const char* const* values);

//! Sends commands in one pipeline: queue (called with the connection in pipeline mode) queues them
//! with libpq's PQsend* calls and answers how many it queued; then waits for all of them. Answers
//! the last result of each, in order: after a failed command the rest come back aborted (their
//! status PGRES_PIPELINE_ABORTED), and a transaction is left failed. Empty when the connection
//! cannot take a pipeline.
std::vector<PgResult> PgPipeline(PGconn* conn, const std::function<size_t(PGconn*)>& queue);

}  // namespace nrw
