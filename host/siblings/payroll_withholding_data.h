// TPayrollWithholdingData: the host's withholding-declaration data module. The reference host does
// not compute a declaration from the payroll: Executar loads the stored declaration of a base year
// (DIRFREG1, DIRFREG2, DIRFREG2DET) of the selected companies into its three datasets and writes
// nothing. The module owns its datasets; the host owns the module (CriarDM/DestruirDM).
#pragma once

#include "nrw/dataset.h"
#include "nrw/siblings.h"
#include "nrw/sql.h"

namespace nrw {

class TPayrollWithholdingData : public TnDMPowerParam {
 public:
  TPayrollWithholdingData();
  ~TPayrollWithholdingData() override;
  //! Reads pAnoBase, pGerar, pGerarIRRF, pGerarConflito, pCodigoGrupoProc, pCodigoEmpresa and
  //! pGravarBD and reloads the datasets; raises for a value it cannot accept.
  void Executar() override;

 private:
  //! Each run's rows replace the dataset of that name.
  void Carregar(const char* nome, TDataSetRef& dataset, TDataSetRef carregado);

  TDataSetRef cdsDIRFReg1_;
  TDataSetRef cdsDIRFReg2_;
  TDataSetRef cdsDIRFReg2Det_;
};

}  // namespace nrw
