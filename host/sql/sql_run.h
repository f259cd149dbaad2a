// Host-internal helpers for services that run SQL of their own (shared data, sibling modules):
// no trace, no dataset index.
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

}  // namespace nrw
