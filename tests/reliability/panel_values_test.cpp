// Values the user gives the panel are checked against the layout's declarations before any hook or
// statement sees them: each fault is a usage error (exit 2) naming the parameter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nrw_command.h"

namespace reliability {
namespace {

TEST(PanelValues, OutOfRangeOrMalformedValuesAreRefusedNamingTheParameter) {
  struct Case {
    const char* module;
    std::string param;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"RptWithholdingReview", "pCodigoGrupoProc=4294967297", 2,
       "Parâmetro pCodigoGrupoProc: 4294967297 está fora do intervalo de 0 a 2147483647."},
      {"RptPayrollTotalsWide", "pCodigoGrupoProc=-5", 2,
       "Parâmetro pCodigoGrupoProc: -5 está fora do intervalo de 0 a 2147483647."},
      {"RptPayrollTotals", "pFiltroZeramento=abc", 2,
       "Parâmetro pFiltroZeramento: Seleção inválida: 'abc' não é um código."},
      {"RptWithholdingReview", "pCodigoGrupoProc=", 0, ""},
      {"RptWithholdingReview", "pOpIrrfFunc=65537", 2,
       "Parâmetro pOpIrrfFunc: 65537 está fora do intervalo de 0 a 65535."},
      {"RptWithholdingReview", "pOpIrrfFunc=65535", 2,
       "Parâmetro pOpIrrfFunc: '65535' não é uma das opções (0, 1, 2, 3, 4)."},
      {"RptWithholdingReview", "pOpIrrfFunc=4", 0, ""},
      {"RptPayerRoster", "pOpIrrfFunc=65540", 2,
       "Parâmetro pOpIrrfFunc: '65540' não é uma das opções (0, 1, 2, 3, 4)."},
      {"RptPayrollTotals", "pEmpresas=abc", 2,
       "Parâmetro pEmpresas: Seleção inválida: 'abc' não é um código."},
      {"RptStateGuideB", "pEmpresas=1..x", 2,
       "Parâmetro pEmpresas: Seleção inválida: 'x' não é um código."},
      {"RptCompanyPayeeStatement", "pGerarSemRetidoAno=2", 2,
       "Parâmetro pGerarSemRetidoAno: '2' não é uma das opções (0, 1)."},
      {"RptWithholdingReview", "pOpIrrfFunc=-1", 2,
       "Parâmetro pOpIrrfFunc: -1 está fora do intervalo de 0 a 65535."},
      {"RptIncomeStatement", "pCopias=100000", 2,
       "Parâmetro pCopias: 100000 está fora do intervalo de 1 a 99."},
      {"RptIncomeStatement", "pCopias=0", 2, "Parâmetro pCopias: 0 está fora do intervalo"},
      {"RptIncomeStatement", "pCopias=abc", 2, "Parâmetro pCopias: 'abc' não é um número inteiro."},
      {"RptIncomeStatement", "pCopias=", 2, "Parâmetro pCopias: informe um valor."},
      {"RptIncomeStatement", "pCopias= 99 ", 0, ""},
      {"RptIncomeStatement", "pAnoBase1=31/02/2025", 2,
       "Parâmetro pAnoBase1: '31/02/2025' não é uma data válida (use aaaa ou dd/mm/aaaa)."},
      {"RptIncomeStatement", "pAnoBase1=2024", 0, ""},
      {"RptIncomeStatement", "pAnoBase1=03/2024", 2,
       "Parâmetro pAnoBase1: '03/2024' não é uma data válida (use aaaa ou dd/mm/aaaa)."},
      {"RptIncomeStatement", "pDataEmissao=2024", 2,
       "Parâmetro pDataEmissao: '2024' não é uma data válida (use dd/mm/aaaa)."},
      {"RptPayrollTotalsWide", "pCompetFinal=13/2024", 2,
       "Parâmetro pCompetFinal: '13/2024' não é uma data válida (use mm/aaaa ou dd/mm/aaaa)."},
      {"RptIncomeStatement", "pAnoBase1=99/99/9999", 2, "Parâmetro pAnoBase1: '99/99/9999'"},
      {"RptIncomeStatement", "pAnoBase1=", 2, "Parâmetro pAnoBase1: informe um valor."},
      {"RptIncomeStatement", "pAnoBase1=29/02/2024", 0, ""},
      {"RptIncomeStatement", "pAnoBase1=2023-12-31", 0, ""},
      {"RptIncomeStatement", "pCodigoEmpresa=1..x", 2,
       "Parâmetro pCodigoEmpresa: Seleção inválida: 'x' não é um código."},
      {"RptIncomeStatement", "pBeneficiarios=\"aberto", 2,
       "Parâmetro pBeneficiarios: Seleção inválida: aspas sem fechamento em '\"aberto'."},
      {"RptIncomeStatement", "pUtilizaBrevix=qualquer texto", 0, ""},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Nrw({"panel", c.module, "-p", c.param});
    EXPECT_EQ(outcome.status, c.status) << c.param << "\n" << outcome.err;
    if (!c.message.empty()) {
      EXPECT_EQ(outcome.err.rfind("Erro: " + c.message, 0), 0u) << c.param << "\n" << outcome.err;
    }
  }
}

}  // namespace
}  // namespace reliability
