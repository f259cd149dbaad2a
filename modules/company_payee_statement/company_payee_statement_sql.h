// Statements of the company-payee statement, as the database receives them before the company
// filter is put in its marker.
#pragma once

namespace company_payee_statement {

//! Other information of the year's records of other companies; "%s": company filter.
extern const char* const kSqlOutrasInformacoes;
//! Monthly detail rows of the year; "%s": company filter.
extern const char* const kSqlDirfReg2Det;
//! The payer company with its establishment 1 and the partner who answers for it.
extern const char* const kSqlEmpresa;
//! What the payer company's statement needs of its registry, for a company without it: its name,
//! whether establishment 1 and the declaration's configuration exist, the responsible partner's
//! code and whether that partner exists.
extern const char* const kSqlCadastroEmpresa;
//! The accountant who fills in the declaration.
extern const char* const kSqlContador;

}  // namespace company_payee_statement
