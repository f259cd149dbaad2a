// Parameter panel of the payer roster: the option texts of the four beneficiary categories, and
// the generation options kept consistent with one another.
#include "nrw/dirf.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "rpt_payer_roster.h"

namespace payer_roster {

namespace {

//! The text the user sees in a field: its control's, or the value itself when it has none.
std::string TextoDoCampo(nrw::TnpqPowerParam& panel, const char* nome) {
  const nrw::TnFraControle* control = panel.EdFindFieldControl(nome);
  return control != nullptr ? control->GetAsString() : panel.GetValues(nome);
}

}  // namespace

void TRptPayerRoster::AntesConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::AntesConfigurar(_AParent);
  nrw::TnpqPowerParam& panel = Report().GetParams();
  panel.Param("pOpIrrfDiretor").OpcaoTexto = nrw::OP_PARAM_DIRETOR;
  panel.Param("pOpIrrfFunc").OpcaoTexto = nrw::OP_PARAM_FUNCIONARIO;
  panel.Param("pOpIrrfTerc").OpcaoTexto = nrw::OP_PARAM_TERCEIRO;
  panel.Param("pOpIrrfOutEmp").OpcaoTexto = nrw::OP_PARAM_OUTEMP;
}

void TRptPayerRoster::DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {
  TnrwBaseDll::DoParamChange(Sender, _AParam);
  if (!nrw::SameText(_AParam.Name(), "pGerarIRRF") && !nrw::SameText(_AParam.Name(), "pGerar")) {
    return;
  }
  nrw::TnpqPowerParam& panel = Report().GetParams();
  const std::string gerar = TextoDoCampo(panel, "pGerar");
  const bool irrf = nrw::BitLigado(gerar, 1) || nrw::BitLigado(gerar, 2);
  panel.EdEnabledField("pGerarIRRF", irrf);
  // Settling conflicts matters only when the tax comes from both sources.
  const std::string gerar_irrf = TextoDoCampo(panel, "pGerarIRRF");
  panel.EdEnabledField("pGerarConflito",
                       irrf && nrw::BitLigado(gerar_irrf, 0) && nrw::BitLigado(gerar_irrf, 1));
  if (!irrf) {
    if (nrw::TnFraControle* conflito = panel.EdFindFieldControl("pGerarConflito")) {
      conflito->SetAsInteger(3);
    } else {
      panel.Param("pGerarConflito").SetAsInteger(3);
    }
  }
}

void TRptPayerRoster::DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptPayerRoster::DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

}  // namespace payer_roster
