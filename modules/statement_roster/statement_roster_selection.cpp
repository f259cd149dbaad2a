// Which rows the roster lists: the option of the row's group, the yearly limits and, for
// employees, whether the contract is a director's or a pro-labore partner's.
#include <cmath>

#include "nrw/sql.h"
#include "rpt_statement_roster.h"
#include "statement_roster_sql.h"

namespace statement_roster {
namespace {

// Third parties are measured against a fixed amount, not against the yearly limit.
constexpr double kLimiteTerceiros = 6000.00;

// The nearest whole number, halves to the even one (0.5 gives 0, 1.5 gives 2). A value that is
// not a number stays one, and so never counts as 0.
bool InteiroZero(double valor) { return std::nearbyint(valor) == 0; }

bool PularFuncionario(const TLinhaSelecao& linha, int ordinal, const TLimitesAnuais& limites) {
  const double retido = linha.Retido;
  switch (ordinal) {
    case 1:
      return false;
    case 3:
      return !linha.Especial && InteiroZero(retido);
    case 4:
      return linha.Rendimento < limites.Tributavel && linha.Isentos < limites.Isento &&
             !linha.Especial && retido == 0;
    case 5:
      return !linha.Especial;
    case 6:
      return !linha.Especial || retido == 0;
    case 7:
      return !linha.Especial || retido != 0;
    case 8:
      return linha.Especial;
    case 9:
      return linha.Especial || retido == 0;
    case 10:
      return linha.Especial || retido != 0;
    default:  // 0, 2 and above 10
      return nrw::RoundValor(retido, 2) == 0;
  }
}

}  // namespace

bool PularLinha(const TLinhaSelecao& linha, const TOpcoesSelecao& opcoes) {
  const double retido = linha.Retido;
  if (linha.TipoInforme == 1) {
    return PularFuncionario(linha, static_cast<int>(opcoes.GerarFunc), opcoes.Limites);
  }
  const bool terceiro = linha.TipoInforme == 2;
  switch (terceiro ? opcoes.GerarTerc : opcoes.GerarOutEmp) {
    case 2:
      return InteiroZero(retido);
    case 4:
      return (terceiro ? linha.Rendimento <= kLimiteTerceiros
                       : linha.Rendimento < opcoes.Limites.Tributavel) &&
             linha.Isentos < opcoes.Limites.Isento && retido == 0;
    default:  // 1 and any other option list every row
      return false;
  }
}

int32_t TRptStatementRoster::CarregarCurAuxiliar(int32_t _ACodigoEmpresa, const std::string& _ACPF,
                                                 nrw::TnGerarFuncionario _AGerarFunc) {
  // Read again for every call, also for the same company.
  if (!curFunc) {
    curFunc = nrw::ExecutarSQL(kSqlFuncionarios, {nrw::Variant(_ACodigoEmpresa)}, true, true, -1,
                               "", nullptr, true);
  } else {
    nrw::RefreshSQL(nrw::CDS(curFunc), {nrw::Variant(_ACodigoEmpresa)}, false);
  }
  // The rows are in CPF and contract type order: the first match has the smallest type.
  int32_t codigo = 0;
  nrw::TnClientDataSet& funcionarios = nrw::CDS(curFunc);
  if (funcionarios.FindKey({nrw::Variant(_ACPF)})) {
    codigo = static_cast<int32_t>(funcionarios.Fields(1).AsInteger());
  }
  if (!curTipoContr) {
    curTipoContr = nrw::ExecutarSQL(kSqlTiposContratoEspeciais, true, false, -1, "", nullptr, true);
  }
  // Searched by code, whatever index an earlier call left.
  nrw::TnClientDataSet& tipos = nrw::CDS(curTipoContr);
  if (tipos.IndexFieldNames() != "CODIGOTIPOCONTR") tipos.SetIndexFieldNames("CODIGOTIPOCONTR");
  return codigo;
}

}  // namespace statement_roster
