// Shared pieces of the report engine tests: layouts written inline, an in-memory SQLite database as
// the default connection, and the places of the built test module and the test layouts.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "nrw/sql.h"
#include "report/layout.h"
#include "report/layout_loader.h"

namespace report_test {

inline nrw::Layout TestLayout(std::string_view json) {
  return nrw::ParseLayout(json, "teste.json");
}

inline std::shared_ptr<const nrw::Layout> SharedLayout(std::string_view json) {
  return std::make_shared<const nrw::Layout>(TestLayout(json));
}

//! A private database made the default connection for the fixture's lifetime.
class MemoryDatabase {
 public:
  explicit MemoryDatabase(const std::string& script) : connection_(nrw::OpenSQLite(":memory:")) {
    connection_->ExecuteScript(script);
    nrw::TnConnection::SetDefault(connection_.get());
  }
  ~MemoryDatabase() { nrw::TnConnection::SetDefault(nullptr); }
  MemoryDatabase(const MemoryDatabase&) = delete;
  MemoryDatabase& operator=(const MemoryDatabase&) = delete;

 private:
  std::unique_ptr<nrw::TnConnection> connection_;
};

inline std::string ModulePath(const std::string& name) {
  return std::string(NRW_MODULE_DIR) + "/" + name + ".so";
}

inline std::string TestLayoutPath(const std::string& name) {
  return std::string(NRW_REPORT_TEST_DIR) + "/layouts/" + name + ".json";
}

}  // namespace report_test
