// An empty in-memory SQLite database made the default connection for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/detailed_error.h"
#include "nrwhost/database.h"
#include "support/fixture_db.h"

namespace nrw {

class SqlFixture : public ::testing::Test {
 protected:
  void Script(const std::string& sql) { db_->Exec(sql); }

  std::unique_ptr<support::FixtureDb> db_ = support::FixtureDb::Empty();
  TnConnection* connection_ = &db_->Connection();
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

//! The message and the detail (the database's own words, the statement) of the error it raises.
template <class F>
std::pair<std::string, std::string> DetailedErrorOf(F&& run) {
  try {
    run();
  } catch (const DetailedError& error) {
    return {error.what(), error.Detail()};
  } catch (const Exception& error) {
    return {error.what(), ""};
  }
  return {};
}

}  // namespace nrw
