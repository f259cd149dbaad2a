// The database schema of the application, as one SQLite script embedded in the library.
#pragma once

#include <string_view>

#include "nrwhost/database.h"

namespace nrw {

//! The schema script (tables, views and indexes), valid for the life of the program.
std::string_view EsquemaSQLite();

//! Creates the schema on the connection; raises the connection's error when an object exists.
void CriarEsquema(TnConnection& connection);

}  // namespace nrw
