// Statements of the income statement.
#pragma once

namespace income_statement {

extern const char* const kSqlInfRendFunc;
extern const char* const kSqlRendRecebAcumDepend;
extern const char* const kSqlInfRendIsentoOutro;
extern const char* const kSqlInfRendIsentoOutroAbonoPecuniario;
extern const char* const kSqlInfRendEvento;
extern const char* const kSqlDirfReg2;
extern const char* const kSqlDirfReg2Det;
extern const char* const kSqlOperadoraPlanoSaude;
extern const char* const kSqlPlanoSaude;
extern const char* const kSqlDirfSocio;
extern const char* const kSqlRRA;
extern const char* const kSqlTotalRend;
extern const char* const kSqlCotasSocio;
extern const char* const kSqlFuncionarioDirf;
extern const char* const kSqlEmpresa;
extern const char* const kSqlResponsavelArq;
extern const char* const kSqlValorCotas;
extern const char* const kSqlSeparador;

}  // namespace income_statement
