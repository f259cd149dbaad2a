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
  const PgResult result(PQexec(session_->get(), sql));
  if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1) {
    RaisePgError(session_->get(), result.get(), sql);
  }
  return PQgetvalue(result.get(), 0, 0);
}

void PgConnection::EndRead() noexcept {
  in_snapshot_ = false;
  session_->DropAhead();
  const PgResult result(PQexec(session_->get(), "COMMIT"));
}

// A round trip to the server costs more than most of a part's statements: those the next parts
// are expected to send go in one pipeline, under a savepoint, so that one that fails (a forecast
// the module would not have sent) leaves the transaction as it was.
void PgConnection::PartsAhead(const std::vector<std::vector<Variant>>& parts) {
  const std::vector<ForecastRun> runs = session_->Forecast().Begin(parts);
  if (runs.empty()) {
    if (parts.empty()) session_->DropAhead();
    return;
  }
  session_->DropAhead();
  PGconn* conn = session_->get();
  if (!in_snapshot_ || PQtransactionStatus(conn) != PQTRANS_INTRANS) return;
  // Made before the pipeline: a statement's first rewrite may ask the server for primary keys.
  struct Ahead {
    std::string key;
    std::unique_ptr<PgStatement> statement;
    const std::vector<Variant>* values;
  };
  const SqlConversion conversion = CurrentSqlConversion();
  std::vector<Ahead> ahead;
  std::unordered_set<std::string> keys;
  for (const ForecastRun& run : runs) {
    if (run.conversion != conversion) continue;
    std::string key = ResultCache::Key(run.sql, run.values, conversion);
    if (keys.count(key) != 0) continue;
    try {
      ahead.push_back({key, std::make_unique<PgStatement>(session_, run.sql), &run.values});
      keys.insert(std::move(key));
    } catch (const Exception&) {
    }
  }
  const auto send = [](PGconn* pipeline, const char* command) {
    return PQsendQueryParams(pipeline, command, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
  };
  std::vector<Ahead*> queued;
  std::vector<PgResult> results = PgPipeline(conn, [&](PGconn* pipeline) -> size_t {
    if (!send(pipeline, "SAVEPOINT nrw_adiante")) return 0;
    for (Ahead& run : ahead) {
      if (run.statement->QueueAhead(*run.values)) queued.push_back(&run);
    }
    return 1 + queued.size() + (send(pipeline, "RELEASE SAVEPOINT nrw_adiante") ? 1 : 0);
  });
  // results: the savepoint's, one per run queued, the release's.
  for (size_t i = 0; i < queued.size() && i + 1 < results.size(); ++i) {
    PgResult& rows = results[i + 1];
    if (rows && PQresultStatus(rows.get()) == PGRES_TUPLES_OK) {
      session_->KeepAhead(std::move(queued[i]->key), std::move(rows));
    }
  }
  if (PQtransactionStatus(conn) == PQTRANS_INERROR) {
    ExecuteScript("ROLLBACK TO SAVEPOINT nrw_adiante; RELEASE SAVEPOINT nrw_adiante");
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

std::unique_ptr<TnConnection> OpenPostgreSQL(const std::string& conninfo, OpenMode mode) {
  return std::make_unique<PgConnection>(conninfo, mode);
}

std::unique_ptr<TnConnection> OpenConnection(const std::string& target, OpenMode mode) {
  if (IsPostgreSQLTarget(target)) return OpenPostgreSQL(target, mode);
  return OpenSQLite(target, mode);
}

}  // namespace nrw
