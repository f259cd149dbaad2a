// Materialising a 200,000-row result with ExecutarSQL against a bare prepare/step loop that reads
// the same columns of the same statement.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "nrwhost/database.h"

namespace {

constexpr int kRows = 200000;
constexpr const char* kSelect =
    "select I.CODIGOEMPRESA, I.ANOBASE, I.INSCRFEDERALBENEF, I.MES, I.NOME, I.VALORRENDIMENTO, "
    "I.VALORRETIDO, I.DATAPGTO from DETALHE I where I.ANOBASE = '2023-12-31' "
    "order by I.CODIGOEMPRESA, I.ANOBASE, I.INSCRFEDERALBENEF, I.MES";

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

void Exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
}

// One database file for the whole run, filled once, removed at exit.
class BenchDatabase {
 public:
  BenchDatabase() : path_("/tmp/nrw_sql_bench_" + std::to_string(getpid()) + ".db") {
    std::remove(path_.c_str());
    sqlite3* raw = nullptr;
    // Same open mode as the host's connection, so that only materialisation differs.
    sqlite3_open_v2(path_.c_str(), &raw,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    Exec(db_.get(),
         "create table DETALHE (CODIGOEMPRESA INTEGER, ANOBASE DATE, INSCRFEDERALBENEF "
         "VARCHAR(14), MES INTEGER, NOME VARCHAR(60), VALORRENDIMENTO NUMERIC(15,2), "
         "VALORRETIDO NUMERIC(15,2), DATAPGTO DATE); begin;");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_.get(), "insert into DETALHE values (?, '2023-12-31', ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (int row = 0; row < kRows; ++row) {
      const int beneficiary = (row * 7919) % (kRows / 13 + 1);
      const std::string inscr = std::to_string(10000000000LL + beneficiary);
      const std::string nome = "Beneficiario numero " + std::to_string(beneficiary);
      char date[16];
      std::snprintf(date, sizeof date, "2023-%02d-%02d", row % 12 + 1, row % 28 + 1);
      sqlite3_bind_int(insert, 1, row % 40 + 1);
      sqlite3_bind_text(insert, 2, inscr.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(insert, 3, row % 13 + 1);
      sqlite3_bind_text(insert, 4, nome.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(insert, 5, (row % 100000) / 100.0 + 1000);
      sqlite3_bind_double(insert, 6, (row % 5000) / 100.0);
      sqlite3_bind_text(insert, 7, date, -1, SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db_.get(), "commit;");
    connection_ = nrw::OpenSQLite(path_);
  }
  ~BenchDatabase() {
    connection_.reset();
    db_.reset();
    std::remove(path_.c_str());
  }
  sqlite3* Raw() const { return db_.get(); }
  nrw::TnConnection* Connection() const { return connection_.get(); }

 private:
  std::string path_;
  Db db_;
  std::unique_ptr<nrw::TnConnection> connection_;
};

BenchDatabase& Database() {
  static BenchDatabase database;
  return database;
}

void BM_ExecutarSQL(benchmark::State& state) {
  BenchDatabase& database = Database();
  for (auto _ : state) {
    nrw::TDataSetRef dataset =
        nrw::ExecutarSQL(kSelect, true, false, -1, "", database.Connection(), true);
    benchmark::DoNotOptimize(dataset->RecordCount());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ExecutarSQL)->Unit(benchmark::kMillisecond);

void BM_RefreshSQL(benchmark::State& state) {
  BenchDatabase& database = Database();
  nrw::TDataSetRef dataset =
      nrw::ExecutarSQL(kSelect, true, false, -1, "", database.Connection(), true);
  for (auto _ : state) {
    nrw::RefreshSQL(*dataset, {}, true);
    benchmark::DoNotOptimize(dataset->RecordCount());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RefreshSQL)->Unit(benchmark::kMillisecond);

void BM_BareSqliteStep(benchmark::State& state) {
  sqlite3* db = Database().Raw();
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, kSelect, -1, &stmt, nullptr);
    int64_t sum = 0;
    double money = 0;
    size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      sum += sqlite3_column_int64(stmt, 0) + sqlite3_column_int64(stmt, 3);
      for (const int text_column : {1, 2, 4, 7}) {
        sqlite3_column_text(stmt, text_column);
        bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, text_column));
      }
      money += sqlite3_column_double(stmt, 5) + sqlite3_column_double(stmt, 6);
    }
    sqlite3_finalize(stmt);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(money);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_BareSqliteStep)->Unit(benchmark::kMillisecond);

}  // namespace

// The database is filled before any benchmark starts, so that a profiler collecting inside the
// benchmarks (callgrind --toggle-collect='*BM_*') counts the statements alone.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Database();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
