#include "sql/pg_connection.h"

#include <fmt/format.h>

#include <cmath>

#include "nrw/core.h"
#include "nrw/datetime.h"
#include "sql/pg_connect.h"
#include "sql/pg_errors.h"
#include "sql/pg_statement.h"
#include "util/decimal.h"

namespace nrw {
namespace {

// Notices (a DROP ... IF EXISTS that found nothing) are not the user's business.
void IgnoreNotice(void*, const char*) {}

std::string TextLiteral(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) {
    throw Exception("Um texto com o caractere nulo não pode ser escrito em SQL.");
  }
  std::string literal = "'";
  for (const char c : text) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

}  // namespace

PgConnection::PgConnection(const std::string& conninfo)
    : session_(std::make_shared<PgSession>(ConnectPostgreSQL(conninfo))) {
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

std::string PgConnection::Literal(const Variant& value) const {
  switch (value.kind()) {
    case Variant::Kind::Null:
      return "NULL";
    case Variant::Kind::Integer:
      return std::to_string(value.AsInteger());
    case Variant::Kind::Float: {
      const double number = value.AsFloat();
      if (!std::isfinite(number)) {
        throw Exception(fmt::format("O valor {} não pode ser escrito em SQL.", number));
      }
      std::string text = decimal::ToPlainText(decimal::FromDouble(number), '.');
      // "10" would be an integer to PostgreSQL; "10.0" is numeric, as a float column needs.
      if (text.find('.') == std::string::npos) text += ".0";
      return text;
    }
    case Variant::Kind::Text:
      return TextLiteral(value.AsString());
    case Variant::Kind::Date: {
      const std::string iso = DateToISO(value.AsDate());
      return (iso.size() > 10 ? "TIMESTAMP " : "DATE ") + TextLiteral(iso);
    }
    case Variant::Kind::Array:
      break;
  }
  throw Exception("Uma lista de valores não pode ser escrita como um literal SQL.");
}

std::unique_ptr<TnConnection> OpenPostgreSQL(const std::string& conninfo) {
  return std::make_unique<PgConnection>(conninfo);
}

std::unique_ptr<TnConnection> OpenConnection(const std::string& target) {
  if (IsPostgreSQLTarget(target)) return OpenPostgreSQL(target);
  return OpenSQLite(target);
}

}  // namespace nrw
