#include "sql/sqlite_connection.h"

#include <fmt/format.h>

#include <cmath>

#include "core/deadline.h"
#include "core/detailed_error.h"
#include "nrw/core.h"
#include "nrw/datetime.h"
#include "nrwhost/files.h"
#include "sql/connection_key.h"
#include "sql/sqlite_errors.h"
#include "sql/sqlite_rows.h"
#include "sql/sqlite_statement.h"
#include "util/sql_literal.h"

namespace nrw {
namespace {

constexpr int kBusyTimeoutMs = 5000;
// Virtual-machine steps between two looks at the clock: a few microseconds of work.
constexpr int kStepsBetweenDeadlineChecks = 1000;

// Non-zero interrupts the running statement: the run's time limit has passed.
int StopAtDeadline(void*) { return Deadline::Passed() ? 1 : 0; }

// A name is always a file's: "file:x.db" would be read as a URI and ":memory:" as no file at all.
std::string FileName(const std::string& path, OpenMode mode) {
  const bool special =
      path.rfind("file:", 0) == 0 || (mode == OpenMode::ReadOnly && path == ":memory:");
  return special ? "./" + path : path;
}

// Memory statistics that nothing reads would take a process-wide lock around every allocation
// of every statement. Set before the library starts (the first connection); later it is refused
// and changes nothing.
void LeaveMemoryStatisticsOff() {
  static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  static_cast<void>(configured);
}

SqliteDb OpenDatabase(const std::string& path, OpenMode mode) {
  LeaveMemoryStatisticsOff();
  sqlite3* raw = nullptr;
  // A connection is used by one thread at a time (the host's): no mutex around every call.
  const int flags = (mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY
                                                : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                    SQLITE_OPEN_NOMUTEX;
  const int rc = sqlite3_open_v2(FileName(path, mode).c_str(), &raw, flags, nullptr);
  SqliteDbPtr db(raw);
  if (rc != SQLITE_OK) {
    const int code = db ? sqlite3_extended_errcode(db.get()) : rc;
    const std::string message = db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
    throw DetailedError(fmt::format("Não foi possível abrir o banco de dados {}: {}.", path,
                                    DescribeSqliteError(code, message)),
                        message);
  }
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  sqlite3_progress_handler(db.get(), kStepsBetweenDeadlineChecks, &StopAtDeadline, nullptr);
  return SqliteDb(std::move(db));
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, OpenMode mode)
    : TnConnection(kConnectionKey), db_(OpenDatabase(path, mode)) {
  ExecuteScript("PRAGMA foreign_keys = OFF;");
  // Opening is lazy: a file that is not a database is found out by its first read.
  const int rc =
      sqlite3_exec(db_.get(), "SELECT count(*) FROM sqlite_schema;", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    const int code = sqlite3_extended_errcode(db_.get());
    const std::string message = fmt::format("Banco de dados {}: {}.", path,
                                            DescribeSqliteError(code, sqlite3_errmsg(db_.get())));
    if ((code & 0xFF) == SQLITE_NOTADB) throw UsageError(message, sqlite3_errmsg(db_.get()));
    throw DetailedError(message, sqlite3_errmsg(db_.get()));
  }
}

std::string SqliteConnection::FilePath() const {
  const char* name = sqlite3_db_filename(db_.get(), "main");
  return name == nullptr ? std::string() : std::string(name);
}

void SqliteConnection::BeginRead(const std::string&) {
  // The first read takes the snapshot; it is held until the transaction ends.
  ExecuteScript("BEGIN; SELECT count(*) FROM sqlite_schema;");
}

void SqliteConnection::EndRead() noexcept {
  sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
}

std::unique_ptr<TnPreparedStatement> SqliteConnection::Prepare(const std::string& sql) {
  return std::make_unique<SqliteStatement>(db_, pool_, sql);
}

void SqliteConnection::ExecuteScript(const std::string& sql) {
  char* raw_message = nullptr;
  const int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &raw_message);
  const std::unique_ptr<char, decltype(&sqlite3_free)> message(raw_message, &sqlite3_free);
  if (rc != SQLITE_OK) {
    RaiseDatabaseError(sqlite3_extended_errcode(db_.get()),
                       message ? message.get() : sqlite3_errstr(rc), sql);
  }
}

// SQLite reads the standard literals; its dates are stored as the same ISO text.
std::string SqliteConnection::Literal(const Variant& value) const {
  return StandardSqlLiteral(value);
}

std::unique_ptr<TnConnection> OpenSQLite(const std::string& path, OpenMode mode) {
  return std::make_unique<SqliteConnection>(path, mode);
}

}  // namespace nrw
