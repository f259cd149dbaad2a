// Host-internal: SQLite's failures said in Portuguese. The user reads one line; SQLite's own
// message and the statement go to the error's detail (the trace, --verbose).
#pragma once

#include <string>
#include <string_view>

namespace nrw {

//! What went wrong, from the result code and SQLite's message: "a tabela X não existe", "disco
//! cheio", "o banco de dados está bloqueado por outro programa"...
std::string DescribeSqliteError(int code, std::string_view message);

//! Raises DetailedError "Erro no banco de dados: <description>." with SQLite's message and the
//! statement as its detail.
[[noreturn]] void RaiseDatabaseError(int code, std::string_view message, const std::string& sql);

}  // namespace nrw
