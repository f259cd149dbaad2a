// Statements of the landscape payroll totals. The arms share their joins, period condition and
// employee conditions, so they are put together from those pieces; the texts the database receives
// are the ones written here, piece after piece.
#include "payroll_totals_wide_sql.h"

#include <array>
#include <utility>
#include <vector>

namespace payroll_totals_wide {
namespace {

constexpr const char* kSelectChave = "select PC.CodigoEmpresa, FL.CodigoEstab, PC.Compet, ";
constexpr const char* kZero = "cast(0 as numeric(14,2))";
constexpr const char* kAgrupar = " group by PC.CodigoEmpresa, FL.CodigoEstab, PC.Compet";

constexpr const char* kJoinsEventos =
    " from PeriodoCalculo PC join FuncPerCalculo FPC on FPC.CodigoEmpresa = PC.CodigoEmpresa and "
    "FPC.CodigoPerCalculo = PC.CodigoPerCalculo join CalculoEvento CE on CE.CodigoEmpresa = "
    "PC.CodigoEmpresa and CE.CodigoFuncContr = FPC.CodigoFuncContr and CE.CodigoPerCalculo = "
    "PC.CodigoPerCalculo join FuncContrato FC on FC.CodigoEmpresa = PC.CodigoEmpresa and "
    "FC.CodigoFuncContr = FPC.CodigoFuncContr join Evento E on E.CodigoEvento = CE.CodigoEvento "
    "join FuncLocal FL on FL.CodigoEmpresa = PC.CodigoEmpresa and FL.CodigoFuncContr = "
    "FPC.CodigoFuncContr and FL.DataTransf = FPC.DataLocal join TipoContrato TC on "
    "TC.CodigoTipoContr = FC.CodigoTipoContr";

constexpr const char* kNaoDemitido =
    "((FC.DataDem is null) or (FC.DataDem not between PC.DataInicialFolha and "
    "PC.DataFinalFolha))";
constexpr const char* kDemitido = "FC.DataDem between PC.DataInicialFolha and PC.DataFinalFolha";

constexpr const char* kEventosRemuneracao =
    "((E.CodigoEstrut = '99.02.01.02.015') or (E.TipoEvento = 5))";
constexpr const char* kEventosFgtsMensal =
    "((E.CodigoEstrut = '98.01.01') or (E.CodigoEstrut = '98.01.03') or (E.CodigoEstrut = "
    "'98.01.04') or (E.CodigoEstrut = '98.01.16') or (E.CodigoEstrut = '98.01.17'))";
constexpr const char* kEventosFgtsRescisao =
    "((E.CODIGOESTRUT = '98.01.01') OR (E.CODIGOESTRUT = '98.01.02') OR (E.CODIGOESTRUT = "
    "'98.01.03') OR (E.CODIGOESTRUT = '98.01.08') OR (E.CODIGOESTRUT = '98.01.10') OR "
    "(E.CODIGOESTRUT = '98.01.11') OR (E.CODIGOESTRUT = '98.01.12') OR (E.CODIGOESTRUT = "
    "'98.01.16'))";
constexpr const char* kEventosMultaFgts = "((E.CodigoEstrut = '98.01.07'))";
constexpr const char* kEventosDescontoRescisao =
    "((E.CodigoEstrut = '01.01.16.02') or (E.CodigoEstrut = '01.01.16.04') or (E.CodigoEstrut = "
    "'02.01.01.01') or (E.CodigoEstrut = '02.07.01.01') or (E.CodigoEstrut = '02.07.01.02') or "
    "(E.CodigoEstrut = '02.07.01.03') or (E.CodigoEstrut = '02.07.02.01') or (E.CodigoEstrut = "
    "'02.07.02.02') or (E.CodigoEstrut = '02.07.02.03') or (E.CodigoEstrut = '04.02.99.01') or "
    "(E.CodigoEstrut = '02.09.01.07') or (E.CodigoEstrut = '02.09.01.17') or (E.TipoEvento = 5))";

// The eleven value columns, in the order of the first arm.
constexpr int kColunas = 11;
constexpr std::array<const char*, kColunas> kNomesColunas = {
    "AValorRemunMensal", "ValorDesconto",      "AValorInssMensal",      "AValorInssRescisao",
    "AValorFgtsMensal",  "AValorFgtsRescisao", "AValorRemunRescisao",   "AValorMultaFgts",
    "AQtdeFuncMensal",   "AQtdeFuncRescisao",  "ValorDescRemunRescisao"};

// The value columns of an arm: its own expressions at their positions, zero elsewhere; the first
// arm names its zero columns.
std::string Colunas(const std::vector<std::pair<int, const char*>>& proprias, bool nomear) {
  std::string colunas;
  for (int i = 0; i < kColunas; ++i) {
    std::string coluna = kZero;
    if (nomear) coluna += std::string(" as ") + kNomesColunas[i];
    for (const auto& [posicao, expressao] : proprias) {
      if (posicao == i) coluna = expressao;
    }
    colunas += (i == 0 ? "" : ", ") + coluna;
  }
  return colunas;
}

struct BracoEventos {
  std::vector<std::pair<int, const char*>> colunas;
  const char* tipos_calculo;
  const char* eventos;
  const char* tipos_periodo;
  std::string funcionarios;  // empty: no condition
};

std::string Braco(const BracoEventos& braco, bool primeiro) {
  std::string sql = kSelectChave + Colunas(braco.colunas, primeiro) + kJoinsEventos +
                    " where PC.Compet between :pDataInicial and :pDataFinal and "
                    "PC.CodigoTipoCalc " +
                    braco.tipos_calculo + "  %0:s  %1:s  %2:s and " + braco.eventos +
                    " and PC.CodigoPerCalculo in (select PCs.CodigoPerCalculo from PeriodoCalculo "
                    "PCs where PCs.CodigoEmpresa = PC.CodigoEmpresa and PCs.CodigoTipoCalc " +
                    braco.tipos_periodo +
                    " and PCs.DataInicialFolha between :pDataInicial and :pDataFinal)";
  if (!braco.funcionarios.empty()) sql += " and " + braco.funcionarios;
  return sql + kAgrupar;
}

std::string BracoInssMensal() {
  return kSelectChave +
         Colunas({{2, "sum(FL.ValorEmpresa + FL.ValorTerceiro) AValorInssMensal"}}, false) +
         " from PeriodoCalculo PC join DebitoGPS FL on FL.CodigoEmpresa = PC.CodigoEmpresa and "
         "FL.DataLctoCtr = PC.DataInicialFolha where PC.CodigoTipoCalc = 1 and FL.TipoGPS IN "
         "(1,2,9,10) and FL.FormaDebito between 0 and 1 and FL.DataLctoCtr between :pDataInicial "
         "and :pDataFinal  %0:s  %1:s" +
         kAgrupar;
}

std::string BracoInssRescisao() {
  return kSelectChave +
         Colunas({{3,
                   "coalesce(sum(FL.ValorInss + FL.ValorInss13 + FL.InssparteEmp + "
                   "FL.InssParteSat + FL.InssParteTerc + FL.AcresSat + FL.AcresFap + "
                   "FL.InssEntFinanc), 0) AValorInssRescisao"}},
                 false) +
         " from PeriodoCalculo PC join ImpostoCalculo FL on FL.CodigoEmpresa = PC.CodigoEmpresa "
         "and FL.CodigoPerCalculo = PC.CodigoPerCalculo join FuncContrato FC on FC.CodigoEmpresa "
         "= PC.CodigoEmpresa and FC.CodigoFuncContr = FL.CodigoFuncContr where PC.CodigoTipoCalc "
         "= 1 and PC.Compet between :pDataInicial and :pDataFinal and FC.DataDem between "
         "PC.DataInicialFolha and PC.DataFinalFolha and FC.CodigoEmpresa is not null and "
         "FL.ComProcesso = '1'  %0:s  %1:s" +
         kAgrupar;
}

// The thirteenth-salary statement is written in capitals.
constexpr const char* kSelectChave13 = "SELECT PC.CODIGOEMPRESA, FL.CODIGOESTAB, PC.COMPET, ";
constexpr const char* kZero13 = "CAST(0 AS NUMERIC(14,2))";
constexpr const char* kAgrupar13 = " GROUP BY PC.CODIGOEMPRESA, FL.CODIGOESTAB, PC.COMPET";
constexpr const char* kJoinsEventos13 =
    " FROM PERIODOCALCULO PC JOIN FUNCPERCALCULO FPC ON FPC.CODIGOEMPRESA = PC.CODIGOEMPRESA AND "
    "FPC.CODIGOPERCALCULO = PC.CODIGOPERCALCULO JOIN CALCULOEVENTO CE ON CE.CODIGOEMPRESA = "
    "PC.CODIGOEMPRESA AND CE.CODIGOFUNCCONTR = FPC.CODIGOFUNCCONTR AND CE.CODIGOPERCALCULO = "
    "PC.CODIGOPERCALCULO JOIN FUNCCONTRATO FC ON FC.CODIGOEMPRESA = PC.CODIGOEMPRESA AND "
    "FC.CODIGOFUNCCONTR = FPC.CODIGOFUNCCONTR JOIN EVENTO E ON E.CODIGOEVENTO = CE.CODIGOEVENTO "
    "JOIN FUNCLOCAL FL ON FL.CODIGOEMPRESA = PC.CODIGOEMPRESA AND FL.CODIGOFUNCCONTR = "
    "FPC.CODIGOFUNCCONTR AND FL.DATATRANSF = FPC.DATALOCAL JOIN TIPOCONTRATO TC ON "
    "TC.CODIGOTIPOCONTR = FC.CODIGOTIPOCONTR";
constexpr const char* kPeriodo13 =
    " AND PC.CODIGOPERCALCULO IN (SELECT PCS.CODIGOPERCALCULO FROM PERIODOCALCULO PCS WHERE "
    "PCS.CODIGOEMPRESA = PC.CODIGOEMPRESA AND PCS.CODIGOTIPOCALC IN (20, 21, 23) AND "
    "PCS.DATAINICIALFOLHA BETWEEN :PDATAINICIAL AND :PDATAFINAL)";
constexpr const char* kCondicaoEventos13 =
    " WHERE PC.COMPET BETWEEN :PDATAINICIAL AND :PDATAFINAL AND PC.CODIGOTIPOCALC IN (20, 21, 23)  "
    "%0:s  %1:s  %2:s AND ";

}  // namespace

const char* const kEventosDesconto =
    "(E.CodigoEstrut = '01.01.16.02') or (E.CodigoEstrut = '01.01.16.04') or (E.CodigoEstrut = "
    "'02.01.01.01') or (E.CodigoEstrut = '02.07.01.01') or (E.CODIGOESTRUT = '02.07.01.02') or "
    "(E.CODIGOESTRUT = '02.07.01.03') or (E.CODIGOESTRUT = '02.07.02.01') or (E.CODIGOESTRUT = "
    "'02.07.02.02') or (E.CODIGOESTRUT = '02.07.02.03') or (E.CODIGOESTRUT = '02.09.01.07') or "
    "(E.CODIGOESTRUT = '02.09.01.17') or (E.CODIGOESTRUT = '04.02.99.01') or (E.CODIGOESTRUT like "
    "'05.04%' ) or (E.CODIGOESTRUT like '05.05%' ) or (E.CODIGOESTRUT like '05.06%' ) or "
    "(E.CODIGOESTRUT like '05.07%' ) ";

const char* const kEventosRescisao =
    "(E.CodigoEstrut = '99.02.01.02.015') or (E.CodigoEstrut like '05.08%') ";

const char* const kFiltroSemProLabore = "and ((TC.TipoContr <> '04' and TC.TipoContr <> '08')) ";

std::string SqlTotais() {
  const std::string arms[] = {
      Braco({{{0, "sum(CE.ValorEvento) as AValorRemunMensal"},
              {8, "count(distinct(ce.CodigoFuncContr)) as AQtdeFuncMensal"}},
             "in (1, 7)",
             kEventosRemuneracao,
             "= 1",
             kNaoDemitido},
            true),
      Braco({{{1, "sum(CE.ValorEvento) AS ValorDesconto"}},
             "in (1, 7, 20)",
             "(%3:s)",
             "in (1, 20)",
             kNaoDemitido},
            false),
      BracoInssMensal(),
      BracoInssRescisao(),
      Braco({{{6, "SUM(CE.ValorEvento) as AValorRemunRescisao"},
              {9, "COUNT(DISTINCT(CE.CodigoFuncContr)) as AQtdeFuncRescisao"}},
             "in (1, 7)",
             "(%4:s)",
             "= 1",
             kDemitido},
            false),
      Braco({{{4, "sum(CE.ValorEvento) as AValorFgtsMensal"}},
             "in (1, 7)",
             kEventosFgtsMensal,
             "= 1",
             ""},
            false),
      Braco({{{5, "sum(CE.ValorEvento) as AValorFgtsRescisao"}},
             "in (1, 7)",
             kEventosFgtsRescisao,
             "= 1",
             kDemitido},
            false),
      Braco({{{7, "sum(CE.VALOREVENTO) as AValorMultaFgts"}},
             "in (1, 7)",
             kEventosMultaFgts,
             "= 1",
             kDemitido},
            false),
      Braco({{{10, "sum(CE.ValorEvento) as ValorDescRemunRescisao"}},
             "in (1, 7, 20)",
             kEventosDescontoRescisao,
             "in (1, 20)",
             std::string("(") + kDemitido + ")"},
            false),
  };
  std::string sql;
  for (const std::string& arm : arms) sql += (sql.empty() ? "" : " union ") + arm;
  return sql;
}

const char* const kSqlTerceiros =
    "select PC.CodigoEmpresa, FL.CodigoEstab, PC.Compet, coalesce (sum(FL.ValorSalContribTerc), "
    "0) as AValorTotalTerceiros from PeriodoCalculo PC join DebitoGPS FL on FL.CodigoEmpresa = "
    "PC.CodigoEmpresa and FL.DataLctoCtr = PC.DataInicialFolha where PC.CodigoTipoCalc = 1 and "
    "FL.TipoGPS in (1, 2, 9, 10) and FL.FormaDebito between 0 and 1 and PC.DataInicialFolha in "
    "(select PCs.DataInicialFolha from PeriodoCalculo PCs where PCs.CodigoEmpresa = "
    "PC.CodigoEmpresa and PCs.CodigoTipoCalc = 1 and PCs.DataInicialFolha between :pDataIni and "
    ":pDataFim)  %0:s  %1:s group by PC.CodigoEmpresa, FL.CodigoEstab, PC.Compet";

std::string SqlTotal13Salario() {
  const std::string remuneracao =
      std::string(kSelectChave13) + "SUM(CE.VALOREVENTO) AS AVALORREMUNMENSAL, " + kZero13 +
      " AS AVALORINSSMENSAL, " + kZero13 +
      " AS AVALORFGTSMENSAL, COUNT(DISTINCT(CE.CODIGOFUNCCONTR)) AS AQTDEFUNCMENSAL" +
      kJoinsEventos13 + kCondicaoEventos13 +
      "((E.CODIGOESTRUT = '99.02.01.02.015') OR (E.TIPOEVENTO = 5))" + kPeriodo13 + kAgrupar13;
  const std::string inss =
      std::string(kSelectChave13) + kZero13 +
      ", SUM(FL.VALOREMPRESA + FL.VALORTERCEIRO) AVALORINSSMENSAL, " + kZero13 + ", " + kZero13 +
      " FROM PERIODOCALCULO PC JOIN DEBITOGPS FL ON FL.CODIGOEMPRESA = PC.CODIGOEMPRESA AND "
      "FL.DATALCTOCTR = PC.DATAINICIALFOLHA WHERE PC.CODIGOTIPOCALC IN (21, 23) AND FL.TIPOGPS IN "
      "(1,2,9,10) AND FL.FORMADEBITO BETWEEN 0 AND 1 AND FL.DATALCTOCTR BETWEEN :PDATAINICIAL AND "
      ":PDATAFINAL  %0:s  %1:s" +
      kAgrupar13;
  const std::string fgts =
      std::string(kSelectChave13) + kZero13 + ", " + kZero13 +
      ", SUM(CE.VALOREVENTO) AS AVALORFGTSMENSAL, " + kZero13 + kJoinsEventos13 +
      kCondicaoEventos13 +
      "((E.CODIGOESTRUT = '98.01.01') OR (E.CODIGOESTRUT = '98.01.03') OR (E.CODIGOESTRUT = "
      "'98.01.04') OR (E.CODIGOESTRUT = '98.01.16') OR (E.CODIGOESTRUT = '98.01.17'))" +
      kPeriodo13 + kAgrupar13;
  return remuneracao + " UNION " + inss + " UNION " + fgts;
}

}  // namespace payroll_totals_wide
