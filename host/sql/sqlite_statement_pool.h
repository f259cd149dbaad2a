// Host-internal: prepared SQLite statements no longer in use, kept by text for the next Prepare of
// the same text (IdleStatements), with the rewrites of the connection's statements by shape. Shared
// by a connection and its statements, so that a statement freed after its connection still has a
// place to go.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sql/idle_statements.h"
#include "sql/sql_shape.h"
#include "sql/sqlite_handles.h"

namespace nrw {

class SqliteStatementPool {
 public:
  static constexpr size_t kIdleStatements = 64;

  struct Prepared {
    SqliteStmt stmt;
    std::vector<std::string> param_names;
  };

  //! Of a key: the conversion switch and the rewritten text.
  static size_t KeyHash(const std::string& key) { return IdleStatements<Prepared>::Hash(key); }
  //! An idle statement of the key (reset, without bindings), or nothing.
  std::optional<Prepared> Take(const std::string& key, size_t hash) {
    return idle_.Take(key, hash);
  }
  //! Keeps the statement, which must be reset and without bindings.
  void Give(std::string key, size_t hash, Prepared prepared) {
    if (prepared.stmt) idle_.Give(std::move(key), hash, std::move(prepared));
  }
  //! The rewrites of the connection's statements, by shape.
  AdaptedSqlCache& Shapes() { return shapes_; }

 private:
  IdleStatements<Prepared> idle_{kIdleStatements};
  AdaptedSqlCache shapes_;
};

}  // namespace nrw
