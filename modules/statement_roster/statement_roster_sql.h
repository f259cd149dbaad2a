// Statements of the income statement roster.
#pragma once

namespace statement_roster {

//! The employees of one company: CPF and contract type code of every contract.
extern const char* const kSqlFuncionarios;
//! The contract types of directors and pro-labore partners.
extern const char* const kSqlTiposContratoEspeciais;

}  // namespace statement_roster
