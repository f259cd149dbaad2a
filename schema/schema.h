// The database schema of the application: one script per database (SQLite, PostgreSQL), embedded
// in the library, with the same tables, columns, views and indexes.
#pragma once

#include <string_view>

#include "nrwhost/database.h"

namespace nrw {

//! The schema scripts (tables, views and indexes), valid for the life of the program.
std::string_view EsquemaSQLite();
std::string_view EsquemaPostgreSQL();
//! The script of the connection's database.
std::string_view EsquemaDe(const TnConnection& connection);

//! Creates the schema on the connection; raises the connection's error when an object exists.
void CriarEsquema(TnConnection& connection);

//! Whether the database already holds the application's tables.
bool EsquemaPresente(TnConnection& connection);

//! Drops the views and tables the schema script creates, those that exist; anything else in the
//! database stays (an object of its own that depends on them makes the drop fail).
void RemoverEsquema(TnConnection& connection);

//! After a bulk load: the PostgreSQL planner's statistics of the application's tables, without
//! which its first plans over a freshly loaded database can be slower by orders of magnitude.
//! SQLite keeps its plans as they are (nothing is done there).
void AtualizarEstatisticas(TnConnection& connection);

}  // namespace nrw
