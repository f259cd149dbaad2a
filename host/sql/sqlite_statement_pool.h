// Host-internal: prepared SQLite statements no longer in use, kept by text for the next Prepare of
// the same text (a statement run once per separated part is prepared once per run). At most
// kIdleStatements are kept, the least recently returned going first. Shared by a connection and
// its statements, so that a statement freed after its connection still has a place to go.
#pragma once

#include <list>
#include <optional>
#include <string>
#include <vector>

#include "sql/sql_shape.h"
#include "sql/sqlite_handles.h"

namespace nrw {

class SqliteStatementPool {
 public:
  static constexpr size_t kIdleStatements = 64;

  struct Idle {
    //! The conversion switch and the text as sent.
    std::string key;
    //! Of the key (KeyHash): long texts that share their first hundreds of bytes are told apart
    //! at once.
    size_t hash = 0;
    SqliteStmt stmt;
    std::vector<std::string> param_names;
  };

  static size_t KeyHash(const std::string& key);
  //! An idle statement of the key (reset, without bindings), or nothing.
  std::optional<Idle> Take(const std::string& key, size_t hash);
  //! Keeps the statement, which must be reset and without bindings.
  void Give(Idle idle);
  //! The rewrites of the connection's statements, by shape.
  AdaptedSqlCache& Shapes() { return shapes_; }

 private:
  //! Most recently returned first.
  std::list<Idle> idle_;
  AdaptedSqlCache shapes_;
};

}  // namespace nrw
