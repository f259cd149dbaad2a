// Establishing a libpq connection with errors a user can act on: the server refused or not found,
// the database missing, the login refused. The password only ever comes from libpq's own sources.
#pragma once

#include <string>

#include "sql/pg_session.h"

namespace nrw {

//! Connects to the database the URI or conninfo names, in UTF-8. Raises Exception with a
//! Portuguese message, never repeating the text given.
PgConnPtr ConnectPostgreSQL(const std::string& conninfo);

}  // namespace nrw
