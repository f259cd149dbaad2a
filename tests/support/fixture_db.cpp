#include "support/fixture_db.h"

#include "demo/demo_data.h"
#include "schema/schema.h"

namespace support {

FixtureDb::FixtureDb() : FixtureDb(true) {}

FixtureDb::FixtureDb(bool with_schema) : connection_(nrw::OpenSQLite(":memory:")) {
  if (with_schema) nrw::CriarEsquema(*connection_);
  scope_.emplace(*connection_);
}

std::unique_ptr<FixtureDb> FixtureDb::Empty() {
  return std::unique_ptr<FixtureDb>(new FixtureDb(false));
}

std::unique_ptr<FixtureDb> FixtureDb::Demo(int ano_base, int extras) {
  std::unique_ptr<FixtureDb> db = Empty();
  nrw::OpcoesDemo opcoes;
  opcoes.ano_base = ano_base;
  opcoes.beneficiarios_extras = extras;
  nrw::CriarBancoDemo(db->Connection(), opcoes);
  return db;
}

FixtureDb::~FixtureDb() { scope_.reset(); }

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

}  // namespace support
