#include "statement_roster_sql.h"

namespace statement_roster {

const char* const kSqlFuncionarios =
    R"sql( SELECT CPFFUNC        ,CODIGOTIPOCONTR    FROM FUNCIONARIO   WHERE CODIGOEMPRESA = :pCodigoEmpresa   ORDER BY 1, 2 )sql";

const char* const kSqlTiposContratoEspeciais =
    R"sql( SELECT CODIGOTIPOCONTR        ,TIPOCONTR    FROM TIPOCONTRATO   WHERE TIPOCONTR in ('4','8') )sql";

}  // namespace statement_roster
