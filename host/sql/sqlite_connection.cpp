#include "sql/sqlite_connection.h"

#include <fmt/format.h>

#include "nrw/core.h"
#include "nrw/datetime.h"
#include "sql/sqlite_rows.h"
#include "sql/sqlite_statement.h"
#include "util/sql_literal.h"

namespace nrw {
namespace {

constexpr int kBusyTimeoutMs = 5000;

SqliteDb OpenDatabase(const std::string& path) {
  sqlite3* raw = nullptr;
  // A connection is used by one thread at a time (the host's): no mutex around every call.
  const int rc =
      sqlite3_open_v2(path.c_str(), &raw,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  SqliteDbPtr db(raw);
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
    throw Exception(fmt::format("Não foi possível abrir o banco de dados '{}': {}", path, message));
  }
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  return SqliteDb(std::move(db));
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path) : db_(OpenDatabase(path)) {
  ExecuteScript("PRAGMA foreign_keys = OFF;");
}

std::unique_ptr<TnPreparedStatement> SqliteConnection::Prepare(const std::string& sql) {
  return std::make_unique<SqliteStatement>(db_, sql);
}

void SqliteConnection::ExecuteScript(const std::string& sql) {
  char* raw_message = nullptr;
  const int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &raw_message);
  const std::unique_ptr<char, decltype(&sqlite3_free)> message(raw_message, &sqlite3_free);
  if (rc != SQLITE_OK) {
    throw Exception(fmt::format("Erro no banco de dados: {}\n{}",
                                message ? message.get() : sqlite3_errstr(rc), sql));
  }
}

// SQLite reads the standard literals; its dates are stored as the same ISO text.
std::string SqliteConnection::Literal(const Variant& value) const {
  return StandardSqlLiteral(value);
}

std::unique_ptr<TnConnection> OpenSQLite(const std::string& path) {
  return std::make_unique<SqliteConnection>(path);
}

}  // namespace nrw
