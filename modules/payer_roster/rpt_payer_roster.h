// TRptPayerRoster: the roster of the companies that enter the withholding declaration of a base
// year, with the income tax, PIS, COFINS and CSLL they withheld. The declaration comes from the
// host's data module TPayrollWithholdingData; the run owns the controller and frees the data module
// (whose datasets own the field maps) on every path.
#pragma once

#include <string>

#include "nrw/dataset.h"
#include "nrw/report.h"

namespace payer_roster {

using nrw::TField;

class TMapReg1 : public nrw::TnFieldMap {
 public:
  TField* AnoBase = nullptr;
  TField* CodigoEmpresa = nullptr;
  TField* NomeEstab = nullptr;
  void Fields(nrw::TnFieldBinder& bind) override;
};

class TMapReg2 : public nrw::TnFieldMap {
 public:
  TField* AnoBase = nullptr;
  TField* CodigoEmpresa = nullptr;
  TField* TipoInscrBenef = nullptr;
  TField* InscrFederalBenef = nullptr;
  TField* CodigoRetencao = nullptr;
  TField* Aposentadoria = nullptr;
  TField* Diarias = nullptr;
  TField* Invalidez = nullptr;
  TField* Lucrodivid1996 = nullptr;
  TField* VlrPagoSocioPqEmp = nullptr;
  TField* Indenizacao = nullptr;
  TField* OutrosRendIsento = nullptr;
  TField* Valor13 = nullptr;
  TField* ValorOutros = nullptr;
  TField* JurosCapitalProprio = nullptr;
  TField* TipoInforme = nullptr;
  TField* ValorRendimento = nullptr;
  TField* ValorRetido = nullptr;
  void Fields(nrw::TnFieldBinder& bind) override;
};

class TMapReg2Det : public nrw::TnFieldMap {
 public:
  TField* ValorRetido = nullptr;
  TField* ValorRendimento = nullptr;
  TField* CodigoRetencao = nullptr;
  TField* PIS = nullptr;
  TField* COFINS = nullptr;
  TField* CSLL = nullptr;
  void Fields(nrw::TnFieldBinder& bind) override;
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
};

}  // namespace payer_roster
