// Shared pieces of the report engine tests: layouts written inline, an in-memory SQLite database as
// the default connection, and the places of the built test module and the test layouts.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "layout/layout.h"
#include "layout/layout_loader.h"
#include "support/fixture_db.h"

namespace report_test {

inline nrw::Layout TestLayout(std::string_view json) {
  return nrw::ParseLayout(json, "teste.json");
}

inline std::shared_ptr<const nrw::Layout> SharedLayout(std::string_view json) {
  return std::make_shared<const nrw::Layout>(TestLayout(json));
}

//! A private database with the script's tables, made the default connection for the fixture's
//! lifetime.
class MemoryDatabase {
 public:
  explicit MemoryDatabase(const std::string& script) { db_->Exec(script); }

 private:
  std::unique_ptr<support::FixtureDb> db_ = support::FixtureDb::Empty();
};

inline std::string TestLayoutPath(const std::string& name) {
  return std::string(NRW_SOURCE_DIR) + "/tests/host/report/layouts/" + name + ".json";
}

}  // namespace report_test
