// A private in-memory SQLite database on the application's schema, made the host's default
// connection while the fixture lives: the database module tests insert their rows into.
#pragma once

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

class FixtureDb {
 public:
  //! The schema on an empty database.
  FixtureDb();
  //! An empty database, without the schema.
  static std::unique_ptr<FixtureDb> Empty();
  //! The demo database of `nrw demo-db` for a base year (the year before is there too).
  static std::unique_ptr<FixtureDb> Demo(int ano_base, int extras = 0);
  ~FixtureDb();
  FixtureDb(const FixtureDb&) = delete;
  FixtureDb& operator=(const FixtureDb&) = delete;

  nrw::TnConnection& Connection() { return *connection_; }
  //! Runs a script of statements.
  void Exec(const std::string& sql);
  //! Inserts one row, the values bound as typed parameters (dates as the host stores them).
  void Insert(const std::string& table, const Row& row);

 private:
  explicit FixtureDb(bool with_schema);
  std::unique_ptr<nrw::TnConnection> connection_;
  std::optional<nrw::DefaultConnectionScope> scope_;
};

}  // namespace support
