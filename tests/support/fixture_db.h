// A private database on the application's schema, made the host's default connection while the
// fixture lives: the database module tests insert their rows into. SQLite in memory by default;
// PostgreSQL in a schema of its own on the server NRW_TEST_PG names, dropped with the fixture.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "nrw/variant.h"
#include "nrwhost/database.h"

namespace support {

//! Column name and value of one inserted row.
using Row = std::vector<std::pair<std::string, nrw::Variant>>;

enum class Backend { kSQLite, kPostgreSQL };

//! The conninfo of the tests' PostgreSQL server (NRW_TEST_PG); empty when none was given.
std::string TestServer();
//! Whether tests can run on the backend here (PostgreSQL needs NRW_TEST_PG).
bool Available(Backend backend);
//! "SQLite", "PostgreSQL": the suffix of a test run once per database.
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

class FixtureDb {
 public:
  //! The schema on an empty database.
  explicit FixtureDb(Backend backend = Backend::kSQLite);
  //! An empty database, without the schema.
  static std::unique_ptr<FixtureDb> Empty(Backend backend = Backend::kSQLite);
  //! The demo database of `nrw demo-db` for a base year (the year before is there too).
  static std::unique_ptr<FixtureDb> Demo(int ano_base, int extras = 0,
                                         Backend backend = Backend::kSQLite);
  ~FixtureDb();
  FixtureDb(const FixtureDb&) = delete;
  FixtureDb& operator=(const FixtureDb&) = delete;

  nrw::TnConnection& Connection() { return *connection_; }
  //! The PostgreSQL schema that holds the fixture's tables; empty on SQLite.
  const std::string& SchemaName() const { return schema_; }
  //! Runs a script of statements.
  void Exec(const std::string& sql);
  //! Inserts one row, the values bound as typed parameters (dates as the host stores them).
  void Insert(const std::string& table, const Row& row);

 private:
  FixtureDb(Backend backend, bool with_schema);
  std::string schema_;  // before connection_: opening the connection names it
  std::unique_ptr<nrw::TnConnection> connection_;
  std::optional<nrw::DefaultConnectionScope> scope_;
};

//! A test run once per database: SQLite always, PostgreSQL when NRW_TEST_PG names a server
//! (skipped otherwise), on the demo database of 2023. Instantiate with NRW_ON_EVERY_DATABASE.
class DemoDbTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;
  std::unique_ptr<FixtureDb> demo_;
};

}  // namespace support

#define NRW_ON_EVERY_DATABASE(suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(                                                            \
      Bancos, suite,                                                                   \
      ::testing::Values(::support::Backend::kSQLite, ::support::Backend::kPostgreSQL), \
      ::support::BackendName)
