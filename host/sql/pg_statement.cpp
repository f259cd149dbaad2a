#include "sql/pg_statement.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdlib>

#include "core/detailed_error.h"
#include "nrw/core.h"
#include "nrw/datetime.h"
#include "sql/connection_key.h"
#include "sql/pg_dialect.h"
#include "sql/pg_errors.h"
#include "sql/pg_rows.h"
#include "sql/pg_wait.h"
#include "sql/query_check.h"
#include "sql/result_cache.h"
#include "sql/sql_lexer.h"
#include "sql/sql_order_index.h"

namespace nrw {
namespace {

// Parameter types, when the server cannot infer them from the statement.
constexpr Oid kUntyped = 0;
constexpr Oid kInt8Oid = 20;
constexpr Oid kTextOid = 25;
constexpr Oid kDateOid = 1082;
constexpr Oid kTimestampOid = 1114;
constexpr Oid kNumericOid = 1700;

// SQLSTATEs of a parameter whose type the statement does not settle ("select :p", ":p is null or
// X = :p").
bool Unsettled(const std::string& state) {
  return state == "42P18" || state == "42P08" || state == "42725";
}

// SQLSTATEs of a parameter given a type its place does not take (an integer compared with a text
// column): the server is then left to infer it.
bool Mistyped(const std::string& state) {
  return Unsettled(state) || state == "42883" || state == "42804" || state == "42846" ||
         state == "22P02";
}

// A null value says nothing of its type: these are tried in turn, the first the statement accepts
// kept.
constexpr Oid kNullCandidates[] = {kInt8Oid, kNumericOid, kTextOid, kDateOid};

// The parameter's type from its value; kUntyped for a null (and for a text where the server is to
// decide, unless text_too).
Oid TypeOf(const Variant& value, bool text_too) {
  switch (value.kind()) {
    case Variant::Kind::Integer:
      return kInt8Oid;
    case Variant::Kind::Float:
      return kNumericOid;
    case Variant::Kind::Text:
      return text_too ? kTextOid : kUntyped;
    case Variant::Kind::Date:
      return DateOf(value.AsDate()) == value.AsDate() ? kDateOid : kTimestampOid;
    case Variant::Kind::Null:
    case Variant::Kind::Array:
      break;
  }
  return kUntyped;
}

// Runs a command whose outcome the next call reveals anyway.
void Discard(PGconn* conn, const std::string& command) { PgExec(conn, command); }

std::string ParamList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) {
    if (!list.empty()) list += ", ";
    list += ':';
    list += name;
  }
  return list;
}

// Checks the module's text: one statement, parameters written :name only, nothing the server would
// not see (it reads the text up to a null character).
void CheckShape(const std::string& sql) {
  if (sql.find('\0') != std::string::npos) {
    throw Exception("A instrução SQL contém o caractere nulo.");
  }
  const std::vector<SqlToken> tokens = TokenizeSql(sql);
  bool any = false;
  bool ended = false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const SqlToken& token = tokens[i];
    if (IsSqlFiller(token)) continue;
    if (IsSqlSymbol(token, ';')) {
      ended = any;
      continue;
    }
    if (ended) throw DetailedError("A instrução contém mais de um comando SQL.", sql);
    any = true;
    // $1 would be numbered behind the names' backs.
    if (IsSqlSymbol(token, '?') || (IsSqlSymbol(token, '$') && i + 1 < tokens.size() &&
                                    tokens[i + 1].kind == SqlTokenKind::kNumber)) {
      throw DetailedError(
          "A instrução usa parâmetros que não são da forma :nome; somente :nome é aceito.", sql);
    }
  }
  if (!any) throw Exception("A instrução SQL está vazia.");
}

}  // namespace

PgStatement::PgStatement(PgSessionPtr session, std::string sql)
    : TnPreparedStatement(kConnectionKey), session_(std::move(session)), sql_(std::move(sql)) {
  const SqlConversion conversion = CurrentSqlConversion();
  conversion_key_ = conversion == SqlConversion::kOn ? '1' : '0';
  // Statements of one shape pass the same checks and get the same rewrite: a separated part's are
  // read once per run.
  const std::string switch_key(1, conversion_key_);
  AdaptedSqlCache::Adapted shaped =
      session_->Shapes().Adapt(sql_, switch_key, [&] { return Adapt(conversion); });
  adapted_ = std::move(shaped.sql);
  memo_ = std::move(shaped.memo);
}

AdaptedSql PgStatement::Adapt(SqlConversion conversion) const {
  // The read-only transaction stops changes to the data, not COPY ... TO a file, nor DO, CALL or
  // SET: only queries are sent.
  if (session_->ReadOnly()) RequireQuery(sql_);
  CheckShape(sql_);
  const PgTieBreak tie_break = PgTieBreakOf(sql_);
  std::vector<std::string> items = tie_break.items;
  for (const PgFromTable& table : tie_break.tables) {
    for (const std::string& column : session_->PrimaryKey(table.table)) {
      items.push_back(table.alias + "." + column);
    }
  }
  // Literal operands go as parameters the server types as it types a literal (untyped), so that
  // statements differing only in them share one prepared statement.
  AdaptedSql adapted = AdaptSqlForPostgreSQL(sql_, items, conversion, SqlLiterals::kLift);
  if (!items.empty()) {
    adapted.untied_text = AdaptSqlForPostgreSQL(sql_, {}, conversion, SqlLiterals::kLift).text;
  }
  return adapted;
}

PgStatement::~PgStatement() {
  if (name_.empty() || PQstatus(session_->get()) != CONNECTION_OK) return;
  const std::string released = session_->GivePrepared(std::move(pool_key_), std::move(name_));
  if (released.empty()) return;
  // Fails only inside a transaction already failed, or on a connection given up at the time
  // limit; the name then lives on with the session.
  try {
    session_->Settle();
    Discard(session_->get(), "DEALLOCATE " + released);
  } catch (const Exception&) {
  }
}

// What a statement is prepared for: the rewritten text and the kinds of its first values (which
// type its parameters, see PrepareFor).
std::string PgStatement::PoolKey(const std::vector<Variant>& values) const {
  std::string key(1, conversion_key_);
  for (const Variant& value : values) key += std::to_string(TypeOf(value, false)) + ",";
  key += '\0';
  key += adapted_.text;
  return key;
}

PgResult PgStatement::PrepareOnServer(const std::string& text, const std::vector<Oid>& types) {
  std::string name = session_->NextStatementName();
  PgResult result(PgPrepare(session_->get(), name, text,
                            static_cast<int>(adapted_.param_names.size() + adapted_.lifted.size()),
                            types.empty() ? nullptr : types.data()));
  if (result && PQresultStatus(result.get()) == PGRES_COMMAND_OK) {
    name_ = std::move(name);
    return nullptr;
  }
  if (!result) RaisePgError(session_->get(), nullptr, sql_);
  return result;
}

// The parameters' types come from the first values, as SQLite types a value by what it holds
// ("select :p" is an integer column for an integer): integers, floats and dates are typed, texts
// and nulls left to the server. Where that does not fit the statement, the server infers every
// type; where it cannot, texts are typed too and each null gets the first type that fits.
void PgStatement::PrepareFor(const std::vector<Variant>& values) {
  std::vector<Oid> own, all;
  bool any_typed = false, any_null = false;
  for (const Variant& value : values) {
    own.push_back(TypeOf(value, false));
    all.push_back(TypeOf(value, true));
    any_typed = any_typed || own.back() != kUntyped;
    any_null = any_null || value.IsNull();
  }
  std::vector<std::vector<Oid>> attempts;
  if (any_typed) attempts.push_back(own);
  attempts.push_back({});
  for (const Oid null_type : kNullCandidates) {
    std::vector<Oid> types = all;
    for (size_t i = 0; i < types.size(); ++i) {
      if (values[i].IsNull()) types[i] = null_type;
    }
    attempts.push_back(std::move(types));
    if (!any_null) break;
  }
  // The literals taken out of the text stay untyped, as the literals were.
  for (std::vector<Oid>& types : attempts) {
    if (!types.empty()) types.resize(types.size() + adapted_.lifted.size(), kUntyped);
  }
  // A failed PREPARE would end the caller's transaction; SQLite's leaves it going.
  PGconn* conn = session_->get();
  const bool in_transaction = PQtransactionStatus(conn) == PQTRANS_INTRANS;
  if (in_transaction) Discard(conn, "SAVEPOINT nrw_preparo");
  // The ORDER BY's tie-breaking items are a refinement: a statement they do not fit runs without.
  std::vector<const std::string*> texts = {&adapted_.text};
  if (!adapted_.untied_text.empty()) texts.push_back(&adapted_.untied_text);
  PgResult failed;
  for (const std::string* text : texts) {
    for (size_t i = 0; i < attempts.size(); ++i) {
      if (failed && in_transaction) Discard(conn, "ROLLBACK TO SAVEPOINT nrw_preparo");
      failed = PrepareOnServer(*text, attempts[i]);
      if (!failed) break;
      const std::string state = PgSqlState(failed.get());
      const bool own_types = any_typed && i == 0;
      if (!(own_types ? Mistyped(state) : Unsettled(state))) break;
    }
    if (!failed) break;
  }
  if (in_transaction) {
    if (failed) Discard(conn, "ROLLBACK TO SAVEPOINT nrw_preparo");
    Discard(conn, "RELEASE SAVEPOINT nrw_preparo");
  }
  if (failed) RaisePgError(conn, failed.get(), sql_);
}

void PgStatement::ParamTexts(const std::vector<Variant>& values, std::vector<std::string>& texts,
                             std::vector<const char*>& pointers) const {
  const std::vector<std::string>& names = adapted_.param_names;
  if (values.size() != names.size()) {
    const std::string list = names.empty() ? "" : " (" + ParamList(names) + ")";
    throw DetailedError(fmt::format("A instrução espera {} parâmetro(s){} e recebeu {} valor(es).",
                                    names.size(), list, values.size()),
                        sql_);
  }
  const size_t count = values.size() + adapted_.lifted.size();
  texts.assign(count, std::string());
  pointers.assign(count, nullptr);
  for (size_t i = 0; i < count; ++i) {
    const Variant& value = i < values.size() ? values[i] : adapted_.lifted[i - values.size()];
    switch (value.kind()) {
      case Variant::Kind::Null:
        continue;
      case Variant::Kind::Integer:
        texts[i] = std::to_string(value.AsInteger());
        break;
      case Variant::Kind::Float: {
        const double number = value.AsFloat();
        texts[i] = std::isnan(number)   ? "NaN"
                   : std::isinf(number) ? (number > 0 ? "Infinity" : "-Infinity")
                                        : fmt::format("{}", number);
        break;
      }
      case Variant::Kind::Text:
        texts[i] = value.AsString();
        if (texts[i].find('\0') != std::string::npos) {
          throw DetailedError(
              fmt::format(
                  "O parâmetro :{} contém o caractere nulo, que o banco de dados não aceita.",
                  i < names.size() ? names[i] : std::string("(literal)")),
              sql_);
        }
        break;
      case Variant::Kind::Date:
        texts[i] = DateToISO(value.AsDate());
        break;
      case Variant::Kind::Array:
        throw DetailedError(
            fmt::format("O parâmetro :{} recebeu uma lista de valores; cada parâmetro recebe um "
                        "único valor.",
                        i < names.size() ? names[i] : std::string("(literal)")),
            sql_);
    }
    pointers[i] = texts[i].c_str();
  }
}

PgResult PgStatement::Run(const std::vector<Variant>& values) {
  session_->Settle();
  std::vector<std::string> texts;
  std::vector<const char*> pointers;
  ParamTexts(values, texts, pointers);
  const int count = static_cast<int>(pointers.size());
  if (name_.empty()) {
    pool_key_ = PoolKey(values);
    name_ = session_->TakePrepared(pool_key_);
    if (name_.empty()) PrepareFor(values);
  }
  PgResult result(PgExecPrepared(session_->get(), name_, count, pointers.data()));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
    RaisePgError(session_->get(), result.get(), sql_);
  }
  return result;
}

bool PgStatement::QueueAhead(const std::vector<Variant>& values) {
  std::vector<std::string> texts;
  std::vector<const char*> pointers;
  try {
    ParamTexts(values, texts, pointers);
  } catch (const Exception&) {
    return false;
  }
  const std::string key = PoolKey(values);
  std::string name = session_->TakePrepared(key);
  if (name.empty()) return false;
  const bool queued =
      PQsendQueryPrepared(session_->get(), name.c_str(), static_cast<int>(pointers.size()),
                          pointers.data(), nullptr, nullptr, 0) == 1;
  // Runs queued on a prepared statement do not hold it: it is free again for the next taker.
  session_->GivePrepared(key, std::move(name));
  return queued;
}

std::shared_ptr<TnDataStore> PgStatement::Fetch(const std::vector<Variant>& values) {
  PgResult result;
  PartForecast& forecast = session_->Forecast();
  if (forecast.Active()) {
    const SqlConversion conversion =
        conversion_key_ == '1' ? SqlConversion::kOn : SqlConversion::kOff;
    PgReadAhead& ahead = session_->Ahead();
    if (ahead.Any()) result = ahead.Take(ResultCache::Key(sql_, values, conversion));
    forecast.Record(sql_, conversion, values);
  }
  if (!result) result = Run(values);
  return Rows(result.get());
}

std::shared_ptr<TnDataStore> PgStatement::Rows(const PGresult* result) {
  if (field_names_.size() != static_cast<size_t>(PQnfields(result))) {
    // The server's names, a table's column marked: what the spelling depends on besides the text.
    std::vector<std::string> key;
    for (int c = 0; c < PQnfields(result); ++c) {
      key.push_back((PQftable(result, c) != InvalidOid ? "t" : "e") +
                    std::string(PQfname(result, c)));
    }
    field_names_ = memo_->ColumnNames(key, [&] { return PgFieldNames(result, sql_); });
  }
  return ReadPgRows(result, field_names_, sql_);
}

std::string PgStatement::IndexFields(const std::string& sql,
                                     const std::vector<std::string>& columns) {
  return memo_->IndexFields(columns, [&] { return IndexFieldsFromOrderBy(sql, columns); });
}

int64_t PgStatement::Execute(const std::vector<Variant>& values) {
  const PgResult result = Run(values);
  return std::strtoll(PQcmdTuples(result.get()), nullptr, 10);
}

}  // namespace nrw
