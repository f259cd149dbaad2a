// Host-internal helpers for services that run SQL of their own (main dataset, separator lists,
// shared data, the withholding-declaration controller, sibling modules). The trace records what
// a module sends (ExecutarSQL, RefreshSQL); the host's own statements go through these and are
// never reported to the statement observer.
#pragma once

#include <memory>
#include <string>
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

//! What ExecutarSQL answers, unreported: an open dataset indexed on the statement's ORDER BY,
//! which RefreshSQL can run again.
TDataSetRef OpenSqlDataSet(const std::string& sql, const std::vector<Variant>& values,
                           TnConnection* connection = nullptr);

}  // namespace nrw
