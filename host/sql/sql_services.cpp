#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/detailed_error.h"
#include "core/fault_points.h"
#include "data/dataset_builder.h"
#include "nrw/core.h"
#include "nrw/sql.h"
#include "nrwhost/database.h"
#include "sql/connection_key.h"
#include "sql/result_cache.h"
#include "sql/sql_observer.h"
#include "sql/sql_order_index.h"
#include "sql/sql_rewriter.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

// The rows of the statement for the values: those already answered in the connection's read
// snapshot when there are, else read from the database (and kept for the next asker).
std::shared_ptr<TnDataStore> FetchRows(TnPreparedStatement& statement, const std::string& sql,
                                       const std::vector<Variant>& values,
                                       const std::shared_ptr<ResultCache>& cache,
                                       SqlConversion conversion) {
  if (!cache) return StatementHost::Fetch(statement, values);
  const std::string key = ResultCache::Key(sql, values, conversion);
  if (std::shared_ptr<TnDataStore> kept = cache->Find(key)) return kept;
  std::shared_ptr<TnDataStore> store = StatementHost::Fetch(statement, values);
  cache->Keep(key, store);
  return store;
}

// Keeps the prepared statement with its dataset so that RefreshSQL runs it again (within the
// snapshot it was opened in, through its rows already answered).
class StatementProvider final : public TnDataProvider {
 public:
  StatementProvider(std::unique_ptr<TnPreparedStatement> statement, std::string sql,
                    std::weak_ptr<ResultCache> cache, SqlConversion conversion)
      : statement_(std::move(statement)),
        sql_(std::move(sql)),
        cache_(std::move(cache)),
        conversion_(conversion) {}
  std::shared_ptr<TnDataStore> Fetch(const std::vector<Variant>& values) override {
    return FetchRows(*statement_, sql_, values, cache_.lock(), conversion_);
  }
  std::string Text() const override { return sql_; }

 private:
  std::unique_ptr<TnPreparedStatement> statement_;
  std::string sql_;
  std::weak_ptr<ResultCache> cache_;
  //! As the statement was prepared (a module may switch it between its runs).
  SqlConversion conversion_;
};

TnConnection*& DefaultConnection() {
  static TnConnection* connection = nullptr;
  return connection;
}

// Every statement the host runs for a report passes here first, so that a FaultScope can fail any
// of them as the database would.
void StatementFaultPoint(const std::string& sql) {
  if (FaultPoints::FailStatement()) {
    throw DetailedError("Erro no banco de dados: falha simulada.", "falha simulada\n" + sql);
  }
}

std::vector<std::string> FieldNames(TnClientDataSet& dataset) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(dataset.FieldCount()));
  for (int i = 0; i < dataset.FieldCount(); ++i)
    names.push_back(DataSetHost::FieldName(dataset, i));
  return names;
}

}  // namespace

TnPreparedStatement::~TnPreparedStatement() = default;

std::string TnPreparedStatement::IndexFields(const std::string& sql,
                                             const std::vector<std::string>& columns) {
  return IndexFieldsFromOrderBy(sql, columns);
}

TDataSetRef TnPreparedStatement::Open(const std::vector<Variant>& values) {
  return DataSetHost::Make(Fetch(values));
}

TnConnection::TnConnection(const ConnectionKey&) {}
TnConnection::~TnConnection() = default;
std::string TnConnection::ExportRead() { return {}; }
void TnConnection::BeginRead(const std::string&) {
  throw Exception("Esta conexão não lê um estado fixo do banco de dados.");
}
void TnConnection::EndRead() noexcept {}
void TnConnection::PartsAhead(const std::vector<std::vector<Variant>>&) {}
std::string TnConnection::FilePath() const { return {}; }
TnDialect TnConnection::Dialect() const { return TnDialect::kSQLite; }

TnConnection* TnConnection::Default() { return DefaultConnection(); }
void TnConnection::SetDefault(TnConnection* connection) { DefaultConnection() = connection; }

DefaultConnectionScope::DefaultConnectionScope(TnConnection& connection)
    : previous_(TnConnection::Default()) {
  TnConnection::SetDefault(&connection);
}

DefaultConnectionScope::~DefaultConnectionScope() { TnConnection::SetDefault(previous_); }

TnConnection& ConnectionOrDefault(TnConnection* connection) {
  if (connection == nullptr) connection = TnConnection::Default();
  if (connection == nullptr) throw Exception("Nenhuma conexão com o banco de dados foi aberta.");
  return *connection;
}

TDataSetRef RunSql(const std::string& sql, const std::vector<Variant>& values,
                   TnConnection* connection) {
  StatementFaultPoint(sql);
  TnConnection& target = ConnectionOrDefault(connection);
  const std::unique_ptr<TnPreparedStatement> statement = target.Prepare(sql);
  return DataSetHost::Make(
      FetchRows(*statement, sql, values, StatementHost::Cache(target), CurrentSqlConversion()));
}

std::shared_ptr<const void> RunSqlDerived(
    const std::string& sql, const std::vector<Variant>& values, const std::type_info& kind,
    const std::function<std::shared_ptr<const void>(TnClientDataSet& rows)>& build) {
  const std::shared_ptr<ResultCache>& cache = StatementHost::Cache(ConnectionOrDefault(nullptr));
  std::string key;
  if (cache) {
    key = std::string(kind.name()) + '\0' + ResultCache::Key(sql, values, CurrentSqlConversion());
    if (std::shared_ptr<const void> made = cache->FindDerived(key)) return made;
  }
  const TDataSetRef rows = RunSql(sql, values);
  std::shared_ptr<const void> made = build(*rows);
  if (cache) cache->KeepDerived(key, made);
  return made;
}

TDataSetRef ExecutarSQL(const std::string& sql, bool open, bool unidirectional, int packet_records,
                        const std::string& name, TnConnection* connection, bool client) {
  return ExecutarSQL(sql, std::vector<Variant>{}, open, unidirectional, packet_records, name,
                     connection, client);
}

TDataSetRef ExecutarSQL(const std::string& sql, std::initializer_list<Variant> values, bool open,
                        bool unidirectional, int packet_records, const std::string& name,
                        TnConnection* connection, bool client) {
  return ExecutarSQL(sql, std::vector<Variant>(values), open, unidirectional, packet_records, name,
                     connection, client);
}

TDataSetRef ExecutarSQL(const std::string& sql, const std::vector<Variant>& values, bool open,
                        bool unidirectional, int packet_records, const std::string& name,
                        TnConnection* connection, bool client) {
  NotifySqlObserver(sql, values);
  return OpenSqlDataSet(sql, values, connection);
}

TDataSetRef OpenSqlDataSet(const std::string& sql, const std::vector<Variant>& values,
                           TnConnection* connection) {
  StatementFaultPoint(sql);
  TnConnection& target = ConnectionOrDefault(connection);
  std::unique_ptr<TnPreparedStatement> statement = target.Prepare(sql);
  const std::shared_ptr<ResultCache>& cache = StatementHost::Cache(target);
  const SqlConversion conversion = CurrentSqlConversion();
  TDataSetRef dataset = DataSetHost::Make(FetchRows(*statement, sql, values, cache, conversion));
  const std::string index = StatementHost::IndexFields(*statement, sql, FieldNames(*dataset));
  DataSetHost::SetProvider(
      *dataset, std::make_shared<StatementProvider>(std::move(statement), sql, cache, conversion));
  dataset->SetIndexFieldNames(index);
  dataset->First();
  return dataset;
}

void RefreshSQL(TnClientDataSet& dataset, const std::vector<Variant>& values, bool flag) {
  TnDataProvider* provider = DataSetHost::Provider(dataset);
  if (provider == nullptr) {
    throw Exception("O dataset não veio de uma instrução SQL e não pode ser reexecutado.");
  }
  NotifySqlObserver(provider->Text(), values);
  StatementFaultPoint(provider->Text());
  DataSetHost::SetStore(dataset, provider->Fetch(values));
}

TnClientDataSet& CDS(const TDataSetRef& dataset) {
  if (!dataset) throw Exception("O dataset não foi criado: a referência está vazia.");
  return *dataset;
}

void DestruirSQL(TDataSetRef& dataset) { dataset.reset(); }

bool& PodeOnSQLConverte() {
  static bool enabled = true;
  return enabled;
}

SqlConversion CurrentSqlConversion() {
  return PodeOnSQLConverte() ? SqlConversion::kOn : SqlConversion::kOff;
}

}  // namespace nrw
