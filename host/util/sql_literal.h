// Host-internal: the SQL literal writer of the standard dialect, shared by every connection that
// writes literals the standard way (SQLite does) and by ValorParaSQL when no connection is open.
#pragma once

#include <string>

#include "nrw/variant.h"

namespace nrw {

//! NULL, 123, 12.5 and 10.0 (a float keeps its decimal point, so that a computed column stays a
//! float), 'text' with apostrophes doubled, '2024-01-01' (with the time when it has one). Floats
//! are written in plain notation, never with an exponent. An infinite or NaN float and an array
//! raise Exception.
std::string StandardSqlLiteral(const Variant& value);

}  // namespace nrw
