// TSalaryTotalsExporter: the host's payroll totals per employer registration number for one month
// or one year, computed from the payroll calculations. Executar leaves "nClientDataSet": one row
// per registration number with the employees calculated there, their remuneration and the base of
// the employer's social-security contribution. The module owns its dataset; the host owns the
// module (CriarDM/DestruirDM).
#pragma once

#include "nrw/dataset.h"
#include "nrw/siblings.h"
#include "nrw/sql.h"

namespace nrw {

class TSalaryTotalsExporter : public TnDMPowerParam {
 public:
  TSalaryTotalsExporter();
  ~TSalaryTotalsExporter() override;
  //! Reads CodigoGrupoProc, Empresas, Estabs, Compet, Modelo, SomarProLabore, ContarProLabore,
  //! pFiltroZeramento and pReport and recomputes the dataset; raises for a value it cannot accept.
  //! Calculations without a registration number are left out and listed on the report's message
  //! page.
  void Executar() override;

 private:
  TDataSetRef nClientDataSet_;
};

}  // namespace nrw
