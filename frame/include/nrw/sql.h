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
//! descending). connection nullptr means the default connection.
//!
//! The five settings after the values are the application's dataset options. This host accepts and
//! ignores every one of them: the dataset is always open, bidirectional, read whole (no packets),
//! unnamed and kept in the client.
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, bool /*open*/ = true,
                                bool /*unidirectional*/ = false, int /*packet_records*/ = -1,
                                const std::string& /*name*/ = "",
                                TnConnection* connection = nullptr, bool /*client*/ = true);
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, const std::vector<Variant>& values,
                                bool /*open*/ = true, bool /*unidirectional*/ = false,
                                int /*packet_records*/ = -1, const std::string& /*name*/ = "",
                                TnConnection* connection = nullptr, bool /*client*/ = true);
//! Values written in braces ({pCodigoEmpresa}) always mean parameter values, never the settings.
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, std::initializer_list<Variant> values,
                                bool /*open*/ = true, bool /*unidirectional*/ = false,
                                int /*packet_records*/ = -1, const std::string& /*name*/ = "",
                                TnConnection* connection = nullptr, bool /*client*/ = true);
//! Re-runs the dataset's prepared statement with new values; index names are kept, the cursor is on
//! the first record. The flag is the application's and is accepted and ignored.
NRW_API void RefreshSQL(TnClientDataSet& dataset, const std::vector<Variant>& values,
                        bool /*flag*/ = true);
//! The dataset as a client dataset; raises when the reference is empty.
NRW_API TnClientDataSet& CDS(const TDataSetRef& dataset);
//! Frees the dataset and empties the reference; an empty reference is fine.
NRW_API void DestruirSQL(TDataSetRef& dataset);

//! The host's automatic SQL conversion: while true (the default), a statement is rewritten into
//! the database's dialect when it is prepared (EXTRACT, {TIMESTAMPADD(...)}, {fn ...}, {d '...'}).
//! A module may set it to false for the length of a run and must give it back; statements prepared
//! meanwhile reach the database as written, only their named parameters numbered, and a dataset
//! keeps the text it was prepared with when refreshed. The run session gives it back as well.
//! Global state of the host: like every contract service, use it from the host's one thread.
NRW_API bool& PodeOnSQLConverte();

}  // namespace nrw
