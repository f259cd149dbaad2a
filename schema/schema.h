// The database schema of the application, as one SQLite script embedded in the library, and the
// planner statistics that come with it.
#pragma once

#include <string_view>

#include "nrwhost/database.h"

namespace nrw {

//! The schema script (tables, views and indexes), valid for the life of the program.
std::string_view EsquemaSQLite();

//! The planner statistics of a populated database (sqlite_stat1 rows), so that a database nobody
//! has analysed gets the plans of one that was; ANALYZE replaces them with measured ones.
std::string_view EstatisticasSQLite();

//! Creates the schema and its statistics on the connection; raises the connection's error when an
//! object exists.
void CriarEsquema(TnConnection& connection);

}  // namespace nrw
