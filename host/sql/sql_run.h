// Host-internal helpers for services that run SQL of their own (main dataset, separator lists,
// shared data, the withholding-declaration controller, sibling modules). The trace records what
// a module sends (ExecutarSQL, RefreshSQL); the host's own statements go through these and are
// never reported to the statement observer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "nrw/sql.h"
#include "nrwhost/database.h"

namespace nrw {

//! The connection given, or the default one; raises "Nenhuma conexão com o banco de dados foi
//! aberta." when there is neither.
TnConnection& ConnectionOrDefault(TnConnection* connection);

//! Prepares and runs the statement once and answers its rows as an open dataset (no index).
TDataSetRef RunSql(const std::string& sql, const std::vector<Variant>& values,
                   TnConnection* connection = nullptr);

//! What build makes of the rows of a host statement, made once per read snapshot: while one lives,
//! the same statement, values and kind of result answer the object already made (outside one it is
//! made every time). The object never changes once made.
std::shared_ptr<const void> RunSqlDerived(
    const std::string& sql, const std::vector<Variant>& values, const std::type_info& kind,
    const std::function<std::shared_ptr<const void>(TnClientDataSet& rows)>& build);

template <class T>
std::shared_ptr<const T> RunSqlDerived(const std::string& sql, const std::vector<Variant>& values,
                                       const std::function<T(TnClientDataSet& rows)>& build) {
  return std::static_pointer_cast<const T>(
      RunSqlDerived(sql, values, typeid(T), [&build](TnClientDataSet& rows) {
        return std::shared_ptr<const void>(std::make_shared<const T>(build(rows)));
      }));
}

//! What ExecutarSQL answers, unreported: an open dataset indexed on the statement's ORDER BY,
//! which RefreshSQL can run again.
TDataSetRef OpenSqlDataSet(const std::string& sql, const std::vector<Variant>& values,
                           TnConnection* connection = nullptr);

}  // namespace nrw
