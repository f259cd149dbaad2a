// SQL execution: statements as the modules write them, named parameters bound by distinct name
// (case-insensitive, order of first appearance), results materialised as indexed client datasets.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "nrw/api.h"
#include "nrw/dataset.h"
#include "nrw/variant.h"

namespace nrw {

//! A database connection of the host; modules pass nullptr for the host's default connection.
class TnConnection;

using TDataSetRef = std::unique_ptr<TnClientDataSet>;

//! Runs a statement and returns an open dataset indexed on the statement's ORDER BY (names with
//! their table alias dropped, or positions, up to the first item that is not a result column or is
//! descending). The flags, the integer and the name are the panel's settings and do not change the
//! result. connection nullptr means the default connection.
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, bool open = true,
                                bool unidirectional = false, int packet_records = -1,
                                const std::string& name = "", TnConnection* connection = nullptr,
                                bool client = true);
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, const std::vector<Variant>& values,
                                bool open = true, bool unidirectional = false,
                                int packet_records = -1, const std::string& name = "",
                                TnConnection* connection = nullptr, bool client = true);
//! Values written in braces ({pCodigoEmpresa}) always mean parameter values, never the flags.
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, std::initializer_list<Variant> values,
                                bool open = true, bool unidirectional = false,
                                int packet_records = -1, const std::string& name = "",
                                TnConnection* connection = nullptr, bool client = true);
//! Re-runs the dataset's prepared statement with new values; index names are kept, the cursor is on
//! the first record.
NRW_API void RefreshSQL(TnClientDataSet& dataset, const std::vector<Variant>& values,
                        bool flag = true);
//! The dataset as a client dataset; raises when the reference is empty.
NRW_API TnClientDataSet& CDS(const TDataSetRef& dataset);
//! Frees the dataset and empties the reference; an empty reference is fine.
NRW_API void DestruirSQL(TDataSetRef& dataset);

//! The global switch of the host's automatic SQL conversion; modules may turn it off for a run.
NRW_API bool& PodeOnSQLConverte();

}  // namespace nrw
