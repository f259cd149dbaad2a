// Materialises the rows of a stepped SQLite statement as a dataset store, typing each column from
// its declared type (or from the values when the column is computed).
#pragma once

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

#include "nrw/dataset.h"

namespace nrw {

//! Field type for a declared column type: DATE/TIME -> Date, INT -> Integer, CHAR/TEXT/CLOB ->
//! Text, NUMERIC/DECIMAL/REAL/FLOA/DOUB/MONEY -> Float; empty (decided by the values) for none
//! or any other declaration.
std::optional<TFieldType> FieldTypeFromDecl(const char* declared);

//! Steps the bound statement to its end and answers its rows. sql is the statement as the module
//! wrote it, for messages. Database errors and values that do not fit their column raise.
std::shared_ptr<TnDataStore> ReadSqliteRows(sqlite3* db, sqlite3_stmt* stmt,
                                            const std::string& sql);

//! Raises "Erro no banco de dados: <what failed>." for the connection's last error (its message and
//! the statement as the error's detail).
[[noreturn]] void RaiseSqliteError(sqlite3* db, const std::string& sql);

}  // namespace nrw
