#include "sql/pg_connection.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <unordered_set>
#include <vector>

#include "core/deadline.h"
#include "nrw/core.h"
#include "nrw/datetime.h"
#include "sql/connection_key.h"
#include "sql/pg_connect.h"
#include "sql/pg_errors.h"
#include "sql/pg_statement.h"
#include "sql/pg_wait.h"
#include "sql/result_cache.h"
#include "util/sql_literal.h"

namespace nrw {
namespace {

// Notices (a DROP ... IF EXISTS that found nothing) are not the user's business.
void IgnoreNotice(void*, const char*) {}

}  // namespace

PgConnection::PgConnection(const std::string& conninfo, OpenMode mode)
    : TnConnection(kConnectionKey),
      session_(std::make_shared<PgSession>(ConnectPostgreSQL(conninfo))) {
  PQsetNoticeProcessor(session_->get(), &IgnoreNotice, nullptr);
  // What the statements and the row reader rely on, whatever the server's defaults.
  std::string settings =
      "SET DateStyle = 'ISO, YMD'; SET IntervalStyle = 'postgres'; "
      "SET standard_conforming_strings = on; SET extra_float_digits = 1;";
  if (mode == OpenMode::ReadOnly) {
    settings += " SET default_transaction_read_only = on;";
    session_->SetReadOnly();
  }
  // Under a time limit the server stops a statement by itself by then, and notices within a second
  // a connection the client gave up on (PostgreSQL 14 and later).
  if (const std::optional<Deadline::Clock::time_point> end = Deadline::End()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*end - Deadline::Clock::now());
    settings += fmt::format(" SET statement_timeout = {};", std::max<long long>(left.count(), 1));
  }
  if (PQserverVersion(session_->get()) >= 140000) {
    settings += " SET client_connection_check_interval = 1000;";
  }
  ExecuteScript(settings);
}

std::unique_ptr<TnPreparedStatement> PgConnection::Prepare(const std::string& sql) {
  return std::make_unique<PgStatement>(session_, sql);
}

void PgConnection::ExecuteScript(const std::string& sql) {
  session_->Settle();
  const PgResult result(PgExec(session_->get(), sql));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY) {
    RaisePgError(session_->get(), result.get(), sql);
  }
}

void PgConnection::BeginRead(const std::string& imported) {
  // Read-only for the session too, so that nothing a module sends can change the office's data.
  std::string script =
      "SET default_transaction_read_only = on; BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
  if (!imported.empty()) {
    if (imported.find_first_not_of("0123456789ABCDEFabcdef-") != std::string::npos) {
      throw Exception("Identificador de estado do banco inválido: " + imported + ".");
    }
    script += "; SET TRANSACTION SNAPSHOT '" + imported + "'";
  }
  ExecuteScript(script);
  in_snapshot_ = true;
}

std::string PgConnection::ExportRead() {
  const char* sql = "SELECT pg_export_snapshot()";
  session_->Settle();
  const PgResult result(PQexec(session_->get(), sql));
  if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1) {
    RaisePgError(session_->get(), result.get(), sql);
  }
  return PQgetvalue(result.get(), 0, 0);
}

void PgConnection::EndRead() noexcept {
  in_snapshot_ = false;
  try {
    session_->Ahead().Drop();
  } catch (...) {
    // The transaction ends here whatever was sent ahead in it.
  }
  const PgResult result(PQexec(session_->get(), "COMMIT"));
}

// A round trip to the server costs more than most of a part's statements: those the next parts
// are expected to send go in one batch, which the server runs while the client prints
// (PgReadAhead).
void PgConnection::PartsAhead(const std::vector<std::vector<Variant>>& parts) {
  const std::vector<ForecastRun> runs = session_->Forecast().Begin(parts);
  PgReadAhead& ahead = session_->Ahead();
  if (parts.empty()) ahead.Drop();
  if (runs.empty() || !in_snapshot_) return;
  // Made before the batch is sent: a statement's first rewrite may ask the server for keys.
  struct Run {
    std::string key;
    std::unique_ptr<PgStatement> statement;
    const std::vector<Variant>* values;
  };
  const SqlConversion conversion = CurrentSqlConversion();
  std::vector<Run> batch;
  std::unordered_set<std::string> keys;
  for (const ForecastRun& run : runs) {
    if (run.conversion != conversion) continue;
    std::string key = ResultCache::Key(run.sql, run.values, conversion);
    if (keys.count(key) != 0 || ahead.Has(key)) continue;
    try {
      batch.push_back({key, std::make_unique<PgStatement>(session_, run.sql), &run.values});
      keys.insert(std::move(key));
    } catch (const Exception&) {
    }
  }
  if (batch.empty()) return;
  ahead.Send([&batch] {
    std::vector<std::string> queued;
    for (Run& run : batch) {
      if (run.statement->QueueAhead(*run.values)) queued.push_back(std::move(run.key));
    }
    return queued;
  });
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

std::unique_ptr<TnConnection> OpenPostgreSQL(const std::string& conninfo, OpenMode mode) {
  return std::make_unique<PgConnection>(conninfo, mode);
}

std::unique_ptr<TnConnection> OpenConnection(const std::string& target, OpenMode mode) {
  if (IsPostgreSQLTarget(target)) return OpenPostgreSQL(target, mode);
  return OpenSQLite(target, mode);
}

}  // namespace nrw
