// Materialises a PostgreSQL query result as a dataset store with the field types SQLite gives for
// the same statement: integers -> Integer, numeric and floats -> Float, date and timestamp -> Date,
// text of a table column -> Text; computed text is typed by its values, as SQLite's is.
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nrw/dataset.h"
#include "nrw/datetime.h"

namespace nrw {

//! Names of the result's fields as near as can be to SQLite's (which keeps the declared or written
//! case; PostgreSQL folds unquoted names to lower case): the spelling of the statement (an alias
//! first), else a table column's name in upper case, as the schema writes most names, else the
//! server's name. Fields are found without regard to case: the spelling only shows in messages.
std::vector<std::string> PgFieldNames(const PGresult* result, std::string_view sql);

//! A date or timestamp as PostgreSQL writes it with DateStyle ISO (a zone or microseconds beyond
//! the millisecond are dropped); empty when the text is none (infinity, BC).
std::optional<TDateTime> ParsePgDate(std::string_view text);

//! The rows of a finished query (PGRES_TUPLES_OK, text format). names: one per field; sql: the
//! statement as the module wrote it, for messages.
std::shared_ptr<TnDataStore> ReadPgRows(const PGresult* result,
                                        const std::vector<std::string>& names,
                                        const std::string& sql);

}  // namespace nrw
