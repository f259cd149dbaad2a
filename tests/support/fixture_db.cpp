#include "support/fixture_db.h"

#include <fmt/format.h>
#include <unistd.h>

#include <cstdlib>

#include "demo/demo_data.h"
#include "schema/schema.h"

namespace support {
namespace {

// A name no other fixture of any test process uses at the same time.
std::string FreshSchemaName() {
  static int count = 0;
  return fmt::format("nrw_teste_{}_{}", getpid(), ++count);
}

std::unique_ptr<nrw::TnConnection> Open(Backend backend, std::string& schema) {
  if (backend == Backend::kSQLite) return nrw::OpenSQLite(":memory:");
  const std::string server = TestServer();
  if (server.empty()) {
    throw std::runtime_error("NRW_TEST_PG não definido: não há servidor PostgreSQL para os testes");
  }
  std::unique_ptr<nrw::TnConnection> connection = nrw::OpenPostgreSQL(server);
  schema = FreshSchemaName();
  connection->ExecuteScript(fmt::format("CREATE SCHEMA {0}; SET search_path TO {0}", schema));
  return connection;
}

}  // namespace

std::string TestServer() {
  const char* server = std::getenv("NRW_TEST_PG");
  return server ? server : "";
}

bool Available(Backend backend) { return backend == Backend::kSQLite || !TestServer().empty(); }

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kSQLite ? "SQLite" : "PostgreSQL";
}

FixtureDb::FixtureDb(Backend backend) : FixtureDb(backend, true) {}

FixtureDb::FixtureDb(Backend backend, bool with_schema) : connection_(Open(backend, schema_)) {
  if (with_schema) nrw::CriarEsquema(*connection_);
  scope_.emplace(*connection_);
}

std::unique_ptr<FixtureDb> FixtureDb::Empty(Backend backend) {
  return std::unique_ptr<FixtureDb>(new FixtureDb(backend, false));
}

std::unique_ptr<FixtureDb> FixtureDb::Demo(int ano_base, int extras, Backend backend) {
  std::unique_ptr<FixtureDb> db = Empty(backend);
  nrw::OpcoesDemo opcoes;
  opcoes.ano_base = ano_base;
  opcoes.beneficiarios_extras = extras;
  nrw::CriarBancoDemo(db->Connection(), opcoes);
  return db;
}

FixtureDb::~FixtureDb() {
  scope_.reset();
  if (schema_.empty()) return;
  try {
    // A test that failed inside a transaction leaves it open.
    connection_->ExecuteScript("ROLLBACK");
    connection_->ExecuteScript("DROP SCHEMA " + schema_ + " CASCADE");
  } catch (const std::exception&) {
    // A schema left behind on the throwaway server harms no other test.
  }
}

void FixtureDb::Exec(const std::string& sql) { connection_->ExecuteScript(sql); }

void FixtureDb::Insert(const std::string& table, const Row& row) {
  std::string columns, markers;
  std::vector<nrw::Variant> values;
  for (const auto& [column, value] : row) {
    columns += (columns.empty() ? "" : ", ") + column;
    markers += (markers.empty() ? ":v" : ", :v") + std::to_string(values.size());
    values.push_back(value);
  }
  connection_->Prepare("INSERT INTO " + table + " (" + columns + ") VALUES (" + markers + ")")
      ->Execute(values);
}

void DemoDbTest::SetUp() {
  if (!Available(GetParam())) {
    GTEST_SKIP() << "NRW_TEST_PG não definido: sem servidor PostgreSQL para esta execução";
  }
  demo_ = FixtureDb::Demo(2023, 0, GetParam());
}

}  // namespace support
