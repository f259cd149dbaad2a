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

//! A statement prepared on a connection, run as often as needed with new values.
class NRW_API TnPreparedStatement {
 public:
  virtual ~TnPreparedStatement();
  //! Distinct parameter names in order of first appearance, as written the first time.
  virtual const std::vector<std::string>& ParamNames() const = 0;
  //! Runs with one value per distinct name and materialises the rows.
  virtual std::shared_ptr<TnDataStore> Fetch(const std::vector<Variant>& values) = 0;
  //! Runs a statement that returns no rows; answers the number of rows changed.
  virtual int64_t Execute(const std::vector<Variant>& values) = 0;
};

//! A database connection. The host keeps one default connection, used when a module passes none.
class NRW_API TnConnection {
 public:
  virtual ~TnConnection();
  virtual std::unique_ptr<TnPreparedStatement> Prepare(const std::string& sql) = 0;
  //! Runs a script of statements without results (schema, demo data).
  virtual void ExecuteScript(const std::string& sql) = 0;
  //! Literal of a value in this database's dialect.
  virtual std::string Literal(const Variant& value) const = 0;

  //! The host's default connection; nullptr until one is set.
  static TnConnection* Default();
  //! Makes the connection the default; the caller keeps ownership and clears it before freeing.
  static void SetDefault(TnConnection* connection);
};

//! Opens an embedded SQLite database file (":memory:" for a private one).
NRW_API std::unique_ptr<TnConnection> OpenSQLite(const std::string& path);

using TDataSetRef = std::unique_ptr<TnClientDataSet>;

//! Runs a statement and returns an open dataset indexed on the statement's ORDER BY (names with
//! their table alias dropped, or positions, up to the first item that is not a result column or is
//! descending). The flags, the integer and the name are the panel's settings and do not change the
//! result. connection nullptr means the default connection.
NRW_API TDataSetRef ExecutarSQL(const std::string& sql, bool open = true, bool unidirectional = false,
                                int packet_records = -1, const std::string& name = "",
                                TnConnection* connection = nullptr, bool client = true);
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
