#include "company_payee_statement_sql.h"

namespace company_payee_statement {

const char* const kSqlOutrasInformacoes =
    R"sql( select CODIGOEMPRESA ,INSCRFEDERALBENEF ,CODIGORETENCAO ,OutrasInformacoes from DIRFREG2 where ANOBASE = :pAnoBase and TipoInforme = 3  %s order by CODIGOEMPRESA ,INSCRFEDERALBENEF ,CODIGORETENCAO )sql";

const char* const kSqlDirfReg2Det =
    R"sql( select CODIGOEMPRESA ,ANOBASE ,INSCRFEDERALBENEF ,CODIGORETENCAO ,MES ,VALORRENDIMENTO ,VALORRETIDO from DIRFREG2DET where ANOBASE = :pAnoBase %s order by CODIGOEMPRESA ,ANOBASE ,INSCRFEDERALBENEF ,CODIGORETENCAO ,MES )sql";

const char* const kSqlEmpresa =
    R"sql( select E.NOMEEMPRESA ,F.INSCRFEDERAL ,F.TIPOINSCR ,S.INSCRFEDERAL INSCRFEDERALSOCIO ,CEG.CONTADORRESPPREENCHFEDERAL from EMPRESA E join ESTAB F on F.CODIGOEMPRESA = E.CODIGOEMPRESA and F.CODIGOESTAB = 1 join CFGEMPRESAGEM CEG on CEG.CODIGOEMPRESA = E.CODIGOEMPRESA join SOCIO S on S.CODIGOEMPRESA = CEG.CODIGOEMPRESA and S.CODIGOSOCIO = CEG.SOCIORESPCNPJ where E.CODIGOEMPRESA = :pCodigoEmpresa )sql";

const char* const kSqlContador =
    R"sql( select C.INSCRFEDERAL InscrFedCont ,C.NOMECONT ,C.DDDFONE ,C.NUMEROFONE ,C.RAMAL ,C.NUMEROFAX ,C.EMAIL from CONTADOR C where C.CODIGOCONT = :pCodigoCont and C.TIPOINSCR IN (1, 2) order by 1 )sql";

}  // namespace company_payee_statement
