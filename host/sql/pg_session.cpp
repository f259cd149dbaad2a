#include "sql/pg_session.h"

#include "sql/pg_wait.h"
#include "sql/sql_lexer.h"

namespace nrw {

const std::vector<std::string>& PgSession::PrimaryKey(const std::string& table) {
  const std::string key = SqlUpper(table);
  const auto found = primary_keys_.find(key);
  if (found != primary_keys_.end()) return found->second;
  std::vector<std::string>& columns = primary_keys_[key];
  Settle();
  // Inside a failed transaction the question fails: the table is then taken as keyless.
  if (PQtransactionStatus(get()) == PQTRANS_INERROR) return columns;
  const char* values[] = {table.c_str()};
  const PgResult result(PgExecParams(
      get(),
      "SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid AND "
      "a.attnum = ANY (i.indkey) WHERE i.indrelid = to_regclass($1) AND i.indisprimary "
      "ORDER BY array_position(i.indkey::int2[], a.attnum)",
      1, values));
  if (result && PQresultStatus(result.get()) == PGRES_TUPLES_OK) {
    for (int row = 0; row < PQntuples(result.get()); ++row) {
      columns.push_back(SqlUpper(PQgetvalue(result.get(), row, 0)));
    }
  }
  return columns;
}

std::string PgSession::TakePrepared(const std::string& key) {
  return idle_.Take(key, IdleStatements<std::string>::Hash(key)).value_or("");
}

std::string PgSession::GivePrepared(std::string key, std::string name) {
  const size_t hash = IdleStatements<std::string>::Hash(key);
  return idle_.Give(std::move(key), hash, std::move(name)).value_or("");
}

}  // namespace nrw
