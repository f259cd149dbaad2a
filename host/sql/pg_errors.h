// The Portuguese messages of failed PostgreSQL statements, from the error's SQLSTATE rather than
// its text (the server may speak any language).
#pragma once

#include <libpq-fe.h>

#include <string>

namespace nrw {

//! SQLSTATE of a failed result; empty when there is none (no result, a client-side failure).
std::string PgSqlState(const PGresult* result);

//! Raises "Erro no banco de dados: <what failed>.", the server's message and the statement in the
//! detail; a lost connection is named as such. result may be null (the call failed before the
//! server answered).
[[noreturn]] void RaisePgError(PGconn* conn, const PGresult* result, const std::string& sql);

}  // namespace nrw
