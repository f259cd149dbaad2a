// What only the host may do with connections and statements: make them (the key their constructors
// ask for) and read a statement's rows into a store of its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nrwhost/database.h"

namespace nrw {

class ConnectionKey {
 public:
  ConnectionKey() = default;
};

//! The key every connection and statement of the host is made with.
inline const ConnectionKey kConnectionKey{};

class StatementHost {
 public:
  //! The rows already answered in the connection's read snapshot; nullptr outside one.
  static const std::shared_ptr<ResultCache>& Cache(TnConnection& connection) {
    return connection.cache_;
  }
  static std::shared_ptr<TnDataStore> Fetch(TnPreparedStatement& statement,
                                            const std::vector<Variant>& values) {
    return statement.Fetch(values);
  }
  static void PartsAhead(TnConnection& connection, const std::vector<std::vector<Variant>>& parts) {
    connection.PartsAhead(parts);
  }
  static std::string IndexFields(TnPreparedStatement& statement, const std::string& sql,
                                 const std::vector<std::string>& columns) {
    return statement.IndexFields(sql, columns);
  }
};

}  // namespace nrw
