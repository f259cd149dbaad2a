// The database schema of the application: one script per database (SQLite, PostgreSQL), embedded
// in the library, with the same tables, columns, views and indexes, and the planner statistics
// that come with the SQLite one.
#pragma once

#include <string_view>

#include "nrwhost/database.h"

namespace nrw {

//! The schema scripts (tables, views and indexes), valid for the life of the program.
std::string_view EsquemaSQLite();
std::string_view EsquemaPostgreSQL();
//! The script of the connection's database.
std::string_view EsquemaDe(const TnConnection& connection);

//! The planner statistics of a populated database (sqlite_stat1 rows), so that a database nobody
//! has analysed gets the plans of one that was; ANALYZE replaces them with measured ones.
std::string_view EstatisticasSQLite();

//! Creates the schema on the connection (on SQLite with the shipped statistics); raises the
//! connection's error when an object exists.
void CriarEsquema(TnConnection& connection);

//! Whether the database already holds the application's tables.
bool EsquemaPresente(TnConnection& connection);

//! Drops the views and tables the schema script creates, those that exist; anything else in the
//! database stays (an object of its own that depends on them makes the drop fail).
void RemoverEsquema(TnConnection& connection);

//! After a bulk load: the planner's statistics measured on the data (ANALYZE). On PostgreSQL its
//! first plans over a freshly loaded database can otherwise be slower by orders of magnitude; on
//! SQLite the measured figures replace the shipped ones.
void AtualizarEstatisticas(TnConnection& connection);

}  // namespace nrw
