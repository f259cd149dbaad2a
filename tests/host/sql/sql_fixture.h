// An in-memory SQLite database made the default connection for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "nrw/sql.h"

namespace nrw {

class SqlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    connection_ = OpenSQLite(":memory:");
    TnConnection::SetDefault(connection_.get());
  }
  void TearDown() override { TnConnection::SetDefault(nullptr); }
  void Script(const std::string& sql) { connection_->ExecuteScript(sql); }

  std::unique_ptr<TnConnection> connection_;
};

//! Message of the Exception the statement raises; empty when it raises none.
template <class F>
std::string ErrorOf(F&& run) {
  try {
    run();
  } catch (const Exception& error) {
    return error.what();
  }
  return "";
}

}  // namespace nrw
