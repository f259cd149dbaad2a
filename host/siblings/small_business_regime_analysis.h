// TSmallBusinessRegimeAnalysis: the host's sibling data module that lists, for a range of
// competence months, every company, establishment and month with a payroll calculation, and the
// establishments of those companies with their activity dates. The sibling owns both datasets and
// the handles that carry them in "pRefer" and "pRefer2"; both go when the sibling is destroyed
// (DestruirDM).
#pragma once

#include "nrw/dataset.h"
#include "nrw/handles.h"
#include "nrw/siblings.h"

namespace nrw {

class TSmallBusinessRegimeAnalysis : public TnDMPowerParam {
 public:
  static constexpr const char* kClassName = "TSmallBusinessRegimeAnalysis";

  TSmallBusinessRegimeAnalysis();
  ~TSmallBusinessRegimeAnalysis() override;

  //! Reads CompetInicial, CompetFinal, CodigoGrupoProc, CodigoEmpresa, CodigoEstab and Ordenacao,
  //! fills both datasets and writes their handles into "pRefer" and "pRefer2". Raises a message
  //! naming the parameter when one does not convert.
  void Executar() override;

  //! One row per company, establishment and competence month (CodigoEmpresa, CodigoEstab,
  //! Compet), in the order asked, the rows of one establishment next to each other.
  TnClientDataSet& Linhas() { return linhas_; }
  //! The establishments of the selected companies (CodigoEmpresa, CodigoEstab, NomeEmpresa,
  //! ApelidoEstab, DataInicioAtiv, DataEncerAtiv, InscrFederal), by company and establishment; an
  //! activity not closed ends on 31/12/2100.
  TnClientDataSet& EmpresasEstab() { return empresas_estab_; }

 private:
  TnClientDataSet linhas_;
  TnClientDataSet empresas_estab_;
  // Declared after the datasets, so that the handles go first.
  HandleRegistration linhas_handle_;
  HandleRegistration empresas_estab_handle_;
};

}  // namespace nrw
