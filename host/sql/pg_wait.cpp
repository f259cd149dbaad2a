#include "sql/pg_wait.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <optional>

#include "core/deadline.h"

namespace nrw {
namespace {

// Waits until the socket is ready for events; false when the time limit passed first.
bool AwaitSocket(PGconn* conn, short events) {
  const std::optional<Deadline::Clock::time_point> end = Deadline::End();
  pollfd descriptor{PQsocket(conn), events, 0};
  for (;;) {
    int timeout_ms = -1;
    if (end) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*end - Deadline::Clock::now());
      if (left.count() <= 0) return false;
      timeout_ms = static_cast<int>(std::min<long long>(left.count(), 60'000));
    }
    const int ready = ::poll(&descriptor, 1, timeout_ms);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return true;  // libpq's next call reports the failure
  }
}

// The limit passed while the server had the command: nothing more is waited for on this
// connection, and the server sees it closed (it stops the statement when it notices).
[[noreturn]] void GiveUp(PGconn* conn) {
  if (PQsocket(conn) >= 0) shutdown(PQsocket(conn), SHUT_RDWR);
  Deadline::Raise("PostgreSQL: a conexão foi abandonada no tempo limite");
}

}  // namespace

void PgFlush(PGconn* conn) {
  while (PQflush(conn) == 1) {
    if (!AwaitSocket(conn, POLLOUT | POLLIN)) GiveUp(conn);
    if (PQconsumeInput(conn) == 0) break;
  }
}

PgResult PgNextResult(PGconn* conn) {
  while (PQisBusy(conn) == 1) {
    if (!AwaitSocket(conn, POLLIN)) GiveUp(conn);
    if (PQconsumeInput(conn) == 0) break;
  }
  return PgResult(PQgetResult(conn));
}

namespace {

PgResult Await(PGconn* conn, bool sent) {
  if (!sent) return nullptr;
  PgFlush(conn);
  PgResult last;
  for (;;) {
    PgResult result = PgNextResult(conn);
    if (!result) break;
    const ExecStatusType status = PQresultStatus(result.get());
    last = std::move(result);
    if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH ||
        PQstatus(conn) == CONNECTION_BAD) {
      break;
    }
  }
  return last;
}

}  // namespace

PgResult PgExec(PGconn* conn, const std::string& sql) {
  return Await(conn, PQsendQuery(conn, sql.c_str()) == 1);
}

PgResult PgExecParams(PGconn* conn, const std::string& sql, int count, const char* const* values) {
  return Await(
      conn, PQsendQueryParams(conn, sql.c_str(), count, nullptr, values, nullptr, nullptr, 0) == 1);
}

PgResult PgPrepare(PGconn* conn, const std::string& name, const std::string& sql, int count,
                   const Oid* types) {
  return Await(conn, PQsendPrepare(conn, name.c_str(), sql.c_str(), count, types) == 1);
}

PgResult PgExecPrepared(PGconn* conn, const std::string& name, int count,
                        const char* const* values) {
  return Await(conn,
               PQsendQueryPrepared(conn, name.c_str(), count, values, nullptr, nullptr, 0) == 1);
}

}  // namespace nrw
