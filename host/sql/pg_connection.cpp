#include "sql/pg_connection.h"

#include <fmt/format.h>

#include "nrw/core.h"
#include "nrw/datetime.h"
#include "sql/connection_key.h"
#include "sql/pg_connect.h"
#include "sql/pg_errors.h"
#include "sql/pg_statement.h"
#include "util/sql_literal.h"

namespace nrw {
namespace {

// Notices (a DROP ... IF EXISTS that found nothing) are not the user's business.
void IgnoreNotice(void*, const char*) {}

}  // namespace

PgConnection::PgConnection(const std::string& conninfo)
    : TnConnection(kConnectionKey),
      session_(std::make_shared<PgSession>(ConnectPostgreSQL(conninfo))) {
  PQsetNoticeProcessor(session_->get(), &IgnoreNotice, nullptr);
  // What the statements and the row reader rely on, whatever the server's defaults.
  ExecuteScript(
      "SET DateStyle = 'ISO, YMD'; SET IntervalStyle = 'postgres'; "
      "SET standard_conforming_strings = on; SET extra_float_digits = 1");
}

std::unique_ptr<TnPreparedStatement> PgConnection::Prepare(const std::string& sql) {
  return std::make_unique<PgStatement>(session_, sql);
}

void PgConnection::ExecuteScript(const std::string& sql) {
  const PgResult result(PQexec(session_->get(), sql.c_str()));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY) {
    RaisePgError(session_->get(), result.get(), sql);
  }
}

// The standard literals, as SQLite's: a date stays the untyped '2024-01-31', which PostgreSQL
// takes for a date wherever it meets one (a column, or the casts the dialect writes), and which
// compares with another literal as text, as it does on SQLite. Only a text with a null character,
// which the server would never see whole, is refused.
std::string PgConnection::Literal(const Variant& value) const {
  if (value.kind() == Variant::Kind::Text && value.AsString().find('\0') != std::string::npos) {
    throw Exception("Um texto com o caractere nulo não pode ser escrito em SQL.");
  }
  return StandardSqlLiteral(value);
}

std::unique_ptr<TnConnection> OpenPostgreSQL(const std::string& conninfo) {
  return std::make_unique<PgConnection>(conninfo);
}

std::unique_ptr<TnConnection> OpenConnection(const std::string& target) {
  if (IsPostgreSQLTarget(target)) return OpenPostgreSQL(target);
  return OpenSQLite(target);
}

}  // namespace nrw
