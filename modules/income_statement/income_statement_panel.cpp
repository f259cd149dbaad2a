// Parameter panel of the income statement: option texts, the beneficiary lookup filter and the
// switch between publishing per beneficiary and per employment contract.
#include "nrw/format.h"
#include "rpt_income_statement.h"

namespace income_statement {

void TRptIncomeStatement::AntesConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::AntesConfigurar(_AParent);
  nrw::TnpqPowerParam& panel = Report().GetParams();
  panel.Param("pOpIrrfDiretor").OpcaoTexto = nrw::OP_PARAM_DIRETOR;
  panel.Param("pOpIrrfFunc").OpcaoTexto = nrw::OP_PARAM_FUNCIONARIO;
  panel.Param("pOpIrrfTerc").OpcaoTexto = nrw::OP_PARAM_TERCEIRO;
}

void TRptIncomeStatement::DepoisConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::DepoisConfigurar(_AParent);
  FBackupParametro.FezQuebra = false;
  if (auto* lookup = dynamic_cast<nrw::TnFraCtrlNDLink*>(
          Report().GetParams().EdFindFieldControl("pBeneficiarios"))) {
    FLinkFiltroBeneficiario.Release();
    FLinkFiltroBeneficiario = {
        lookup->OnDepoisCriarFiltro, *this,
        [this](nrw::TObject* sender, std::string& filtro) { DoDepoisCriarFiltro(sender, filtro); }};
  }
}

void TRptIncomeStatement::DoDepoisCriarFiltro(nrw::TObject* Sender, std::string& _AFiltro) {
  struct Restricao {
    const char* column;
    const char* param;
    int kind;
  };
  const nrw::TnpqPowerParam& panel = Report().GetParams();
  for (const Restricao& r : {Restricao{"t_t.CODIGOEMPRESA", "pCodigoEmpresa", 1},
                             Restricao{"t_t.CODIGOESTAB", "pCodigoEstab", 1},
                             Restricao{"t_t.ANOBASE", "pAnoBase1", 3}}) {
    const nrw::TnFraControle* control = panel.EdFindFieldControl(r.param);
    const std::string texto = control != nullptr ? control->GetAsString() : "";
    const bool lead = !nrw::Trim(_AFiltro).empty();
    _AFiltro += nrw::FilterInterval({r.column}, texto, {r.kind}, 0, lead, 0);
  }
}

void TRptIncomeStatement::DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {
  if (!nrw::SameText(_AParam.Name(), "pPublicarBrevix")) return;
  nrw::TnpqPowerParam& panel = Report().GetParams();
  const nrw::TnFraControle* publicar = panel.EdFindFieldControl("pPublicarBrevix");
  const bool por_contrato = publicar != nullptr && publicar->GetAsString() == "1";
  panel.EdEnabledField("pBeneficiarios", !por_contrato);
  panel.EdEnabledField("pCodigoFuncContr", por_contrato);
  const auto desligar = [&panel](const char* name) {
    panel.Param(name).Checked = false;
    if (nrw::TnFraControle* control = panel.EdFindFieldControl(name)) control->SetChecked(false);
  };
  // The beneficiary selection gives way to the contract selection, and back.
  if (por_contrato) desligar("pBeneficiarios");
  if (por_contrato) {
    panel.Param("pCodigoFuncContr").Checked = true;
  } else {
    desligar("pCodigoFuncContr");
  }
}

void TRptIncomeStatement::DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptIncomeStatement::DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

}  // namespace income_statement
