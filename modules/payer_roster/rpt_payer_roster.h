// TRptPayerRoster: the roster of the companies that enter the withholding declaration of a base
// year, with the income tax, PIS, COFINS and CSLL they withheld. The declaration comes from the
// host's data module TPayrollWithholdingData; the run owns the controller and frees the data module
// (whose datasets own the field maps) on every path.
#pragma once

#include <string>

#include "common/field_map.h"
#include "nrw/dataset.h"
#include "nrw/dirf.h"
#include "nrw/report.h"
#include "nrw/siblings.h"

namespace payer_roster {

// The declaration datasets the data module leaves, each read through a map of its columns.
#define PAYER_ROSTER_REG1_COLUMNS(X) \
  X(AnoBase)                         \
  X(CodigoEmpresa)                   \
  X(NomeEstab)
#define PAYER_ROSTER_REG2_COLUMNS(X) \
  X(AnoBase)                         \
  X(CodigoEmpresa)                   \
  X(TipoInscrBenef)                  \
  X(InscrFederalBenef)               \
  X(CodigoRetencao)                  \
  X(Aposentadoria)                   \
  X(Diarias)                         \
  X(Invalidez)                       \
  X(Lucrodivid1996)                  \
  X(VlrPagoSocioPqEmp)               \
  X(Indenizacao)                     \
  X(OutrosRendIsento)                \
  X(Valor13)                         \
  X(ValorOutros)                     \
  X(JurosCapitalProprio)             \
  X(TipoInforme)                     \
  X(ValorRendimento)                 \
  X(ValorRetido)
#define PAYER_ROSTER_REG2_DET_COLUMNS(X) \
  X(ValorRetido)                         \
  X(ValorRendimento)                     \
  X(CodigoRetencao)                      \
  X(PIS)                                 \
  X(COFINS)                              \
  X(CSLL)

NRW_FIELD_MAP(TMapReg1, PAYER_ROSTER_REG1_COLUMNS);
NRW_FIELD_MAP(TMapReg2, PAYER_ROSTER_REG2_COLUMNS);
NRW_FIELD_MAP(TMapReg2Det, PAYER_ROSTER_REG2_DET_COLUMNS);

//! What a company prints: whether any of its records was kept, and the four totals withheld.
struct TTotaisEmpresa {
  bool listada = false;
  double irrf = 0;
  double pis = 0;
  double cofins = 0;
  double csll = 0;
};

class TRptPayerRoster : public nrw::TnrwBaseDll {
 public:
  using TnrwBaseDll::TnrwBaseDll;

  std::string Versao() override;
  void ImprimirInterno() override;
  void AntesConfigurar(nrw::TnpqPowerParam& _AParent) override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;

 private:
  //! The controller's options for the four beneficiary categories.
  void DefinirOpcoes(nrw::TnControleDIRF& controle);
  //! Has the data module generate the declaration of every company in memory.
  void GerarDeclaracao(nrw::TnDMPowerParam& dm);
  void ImprimirEmpresa(const TMapReg1& reg1, const TTotaisEmpresa& totais);
};

}  // namespace payer_roster
