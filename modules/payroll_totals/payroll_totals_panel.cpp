// Parameter panel of the payroll totals: dictionary entries, the rounding notice, and the
// competence edited as month and year or as a year, following the model.
#include "nrw/datetime.h"
#include "nrw/format.h"
#include "rpt_payroll_totals.h"

namespace payroll_totals {

namespace {

// Data types of the competence's edit control (the host's TnTipoData ordinals).
constexpr int kTipoDataMesAno = 2;
constexpr int kTipoDataAno = 3;

}  // namespace

void TRptPayrollTotals::AntesConfigurar(nrw::TnpqPowerParam& _AParent) {
  _AParent.Param("pFiltroZeramento").FieldDefinicao = "CODIGOORIGLCTOCTB";
  _AParent.Param("pCodigoGrupoProc").FieldDefinicao = "CODIGOGRUPOPROC";
}

void TRptPayrollTotals::DepoisConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::DepoisConfigurar(_AParent);
  nrw::AvisosArredondamento(_AParent);
}

void TRptPayrollTotals::DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {
  // The count wraps as a 32-bit counter would, without the undefined overflow.
  i = static_cast<int32_t>(static_cast<uint32_t>(i) + 1u);
  if (i == 1) return;
  if (nrw::SameText(_AParam.Name(), "pModelo")) TrocarEditorCompetencia();
}

void TRptPayrollTotals::DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {
  if (nrw::SameText(_AParam.Name(), "pModelo")) TrocarEditorCompetencia();
}

void TRptPayrollTotals::DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptPayrollTotals::TrocarEditorCompetencia() {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  nrw::TnFraControle* compet = panel.EdFindFieldControl("pCompet");
  if (compet == nullptr) return;
  // A text that is no date is left as the user wrote it rather than replaced by the zero date.
  const std::optional<nrw::TDateTime> data = nrw::TryStrToDate(compet->GetAsString());
  const nrw::TnFraControle* modelo = panel.EdFindFieldControl("pModelo");
  const std::string texto_modelo =
      modelo != nullptr ? modelo->GetAsString() : panel.GetValues("pModelo");
  compet->GetFieldDefinicao().SetTipoData(texto_modelo == "1" ? kTipoDataMesAno : kTipoDataAno);
  compet->AplicarDefinicao();
  if (data) compet->SetAsDate(*data);
}

}  // namespace payroll_totals
