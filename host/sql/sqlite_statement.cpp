#include "sql/sqlite_statement.h"

#include <fmt/format.h>

#include "core/detailed_error.h"
#include "nrw/core.h"
#include "nrw/datetime.h"
#include "sql/connection_key.h"
#include "sql/query_check.h"
#include "sql/sql_lexer.h"
#include "sql/sql_order_index.h"
#include "sql/sqlite_dialect.h"
#include "sql/sqlite_rows.h"

namespace nrw {
namespace {

bool OnlyFiller(std::string_view tail) {
  for (const SqlToken& token : TokenizeSql(tail)) {
    if (!IsSqlFiller(token) && !IsSqlSymbol(token, ';')) return false;
  }
  return true;
}

std::string ParamList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) {
    if (!list.empty()) list += ", ";
    list += ':';
    list += name;
  }
  return list;
}

}  // namespace

SqliteStatement::SqliteStatement(SqliteDb db, std::shared_ptr<SqliteStatementPool> pool,
                                 std::string sql)
    : TnPreparedStatement(kConnectionKey),
      db_(std::move(db)),
      pool_(std::move(pool)),
      sql_(std::move(sql)) {
  const SqlConversion conversion = CurrentSqlConversion();
  const std::string_view switch_key = conversion == SqlConversion::kOn ? "1" : "0";
  AdaptedSqlCache::Adapted shaped = pool_->Shapes().Adapt(
      sql_, switch_key, [&] { return AdaptSqlForSQLite(sql_, conversion, SqlLiterals::kLift); });
  AdaptedSql& adapted = shaped.sql;
  memo_ = std::move(shaped.memo);
  lifted_ = std::move(adapted.lifted);
  pool_key_ = std::string(switch_key) + adapted.text;
  pool_hash_ = memo_->TextHash([this] { return SqliteStatementPool::KeyHash(pool_key_); });
  if (std::optional<SqliteStatementPool::Prepared> idle = pool_->Take(pool_key_, pool_hash_)) {
    stmt_ = std::move(idle->stmt);
    param_names_ = std::move(idle->param_names);
    return;
  }
  param_names_ = std::move(adapted.param_names);
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(db_.get(), adapted.text.c_str(),
                                    static_cast<int>(adapted.text.size()), &raw, &tail);
  stmt_.reset(raw);
  if (rc != SQLITE_OK) RaiseSqliteError(db_.get(), sql_);
  if (!stmt_) throw Exception("A instrução SQL está vazia.");
  const char* text_end = adapted.text.c_str() + adapted.text.size();
  if (tail != nullptr &&
      !OnlyFiller(std::string_view(tail, static_cast<size_t>(text_end - tail)))) {
    throw DetailedError("A instrução contém mais de um comando SQL.", sql_);
  }
  // On a database opened for reading, a statement that is no query would still write elsewhere
  // (VACUUM INTO) or change the connection (ATTACH, PRAGMA): only queries run.
  if (sqlite3_db_readonly(db_.get(), "main") == 1) {
    RequireQuery(sql_);
    if (sqlite3_stmt_readonly(stmt_.get()) == 0) throw NotAQuery("altera dados", sql_);
  }
  // ?, @name or $name would be numbered by SQLite behind the names' backs.
  if (sqlite3_bind_parameter_count(stmt_.get()) !=
      static_cast<int>(param_names_.size() + lifted_.size())) {
    throw DetailedError(
        "A instrução usa parâmetros que não são da forma :nome; somente :nome é aceito.", sql_);
  }
}

SqliteStatement::~SqliteStatement() {
  pool_->Give(std::move(pool_key_), pool_hash_, {std::move(stmt_), std::move(param_names_)});
}

void SqliteStatement::Bind(const std::vector<Variant>& values) {
  if (values.size() != param_names_.size()) {
    const std::string list = param_names_.empty() ? "" : " (" + ParamList(param_names_) + ")";
    throw DetailedError(fmt::format("A instrução espera {} parâmetro(s){} e recebeu {} valor(es).",
                                    param_names_.size(), list, values.size()),
                        sql_);
  }
  for (size_t i = 0; i < values.size(); ++i) {
    BindValue(static_cast<int>(i + 1), values[i], param_names_[i]);
  }
  for (size_t i = 0; i < lifted_.size(); ++i) {
    BindValue(static_cast<int>(values.size() + i + 1), lifted_[i], {});
  }
}

void SqliteStatement::BindValue(int index, const Variant& value, const std::string& name) {
  int rc = SQLITE_OK;
  switch (value.kind()) {
    case Variant::Kind::Null:
      rc = sqlite3_bind_null(stmt_.get(), index);
      break;
    case Variant::Kind::Integer:
      rc = sqlite3_bind_int64(stmt_.get(), index, value.AsInteger());
      break;
    case Variant::Kind::Float:
      rc = sqlite3_bind_double(stmt_.get(), index, value.AsFloat());
      break;
    case Variant::Kind::Text: {
      const std::string text = value.AsString();
      rc = sqlite3_bind_text64(stmt_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
      break;
    }
    case Variant::Kind::Date: {
      const std::string text = DateToISO(value.AsDate());
      rc = sqlite3_bind_text64(stmt_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
      break;
    }
    case Variant::Kind::Array:
      throw DetailedError(
          fmt::format("O parâmetro :{} recebeu uma lista de valores; cada parâmetro recebe um "
                      "único valor.",
                      name),
          sql_);
  }
  if (rc != SQLITE_OK) RaiseSqliteError(db_.get(), sql_);
}

std::string SqliteStatement::IndexFields(const std::string& sql,
                                         const std::vector<std::string>& columns) {
  return memo_->IndexFields(columns, [&] { return IndexFieldsFromOrderBy(sql, columns); });
}

std::shared_ptr<TnDataStore> SqliteStatement::Fetch(const std::vector<Variant>& values) {
  const SqliteStmtReset reset(stmt_.get());
  Bind(values);
  return ReadSqliteRows(db_.get(), stmt_.get(), sql_);
}

int64_t SqliteStatement::Execute(const std::vector<Variant>& values) {
  const SqliteStmtReset reset(stmt_.get());
  Bind(values);
  for (;;) {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) RaiseSqliteError(db_.get(), sql_);
  }
  return sqlite3_changes64(db_.get());
}

}  // namespace nrw
