// Parameter panel of the withholding review: option texts, the beneficiary lookup of the base year,
// and the statement that lists the companies when the report is split into one part per company.
#include "nrw/dirf.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "rpt_withholding_review.h"
#include "withholding_review_sql.h"

namespace withholding_review {

using nrw::Trim;
using nrw::Variant;

void TRptWithholdingReview::AntesConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::AntesConfigurar(_AParent);
  nrw::TnpqPowerParam& panel = Report().GetParams();
  panel.Param("pCodigoGrupoProc").Visivel = true;
  panel.Param("pOpIrrfDiretor").OpcaoTexto = nrw::OP_PARAM_DIRETOR;
  panel.Param("pOpIrrfFunc").OpcaoTexto = nrw::OP_PARAM_FUNCIONARIO;
  panel.Param("pOpIrrfTerc").OpcaoTexto = nrw::OP_PARAM_TERCEIRO;
  panel.Param("pOpIrrfOutEmp").OpcaoTexto = nrw::OP_PARAM_OUTEMP;
  FGerouQuebraRelatorio = false;
}

void TRptWithholdingReview::DepoisConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::DepoisConfigurar(_AParent);
  if (auto* lookup = dynamic_cast<nrw::TnFraCtrlNDLink*>(
          Report().GetParams().EdFindFieldControl("pFuncionarios"))) {
    FLinkFiltroBeneficiario = {lookup->OnDepoisCriarFiltro, *this,
                               [this](nrw::TObject* sender, std::string& filtro) {
                                 DoDepoisCriarFiltroBenef(sender, filtro);
                               }};
  }
}

void TRptWithholdingReview::DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptWithholdingReview::DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptWithholdingReview::DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptWithholdingReview::DoDepoisCriarFiltroBenef(nrw::TObject* Sender, std::string& _AFiltro) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  // A panel without an edit control for the year still has the value itself.
  const nrw::TnFraControle* control = panel.EdFindFieldControl("pAnoBase");
  const nrw::TDateTime ano_base =
      control != nullptr ? control->GetAsDate() : panel.Param("pAnoBase").GetAsDate();
  if (!_AFiltro.empty()) _AFiltro += " AND ";
  _AFiltro += " ANOBASE = " + nrw::ValorParaFiltro(Variant(ano_base), nrw::TFieldType::Date);
}

void TRptWithholdingReview::DoSQLSeparadorEvent(nrw::TnpqPowerParam& _APowerParam,
                                                const std::string& _AConsultFields,
                                                const std::string& _ATabela,
                                                const std::string& _AFiltro, int _ARecNoSeparador,
                                                std::string& _ASQLOriginal) {
  // Only the last separator, and only when it splits by company.
  if (_ARecNoSeparador != _APowerParam.GetSeparadoresCount() - 1) return;
  if (!nrw::SameText(_APowerParam.GetSeparadores(_ARecNoSeparador).Param, "pEmpresas")) return;

  // A company selection that is not in use keeps the host's statement.
  const nrw::TnFraControle* empresas_control = _APowerParam.Param("pEmpresas").Control();
  if (empresas_control != nullptr && empresas_control->Enabled()) {
    const std::string& campos = _AConsultFields;
    const std::string grupo = Trim(_APowerParam.GetValues("pCodigoGrupoProc"));
    const std::string empresas = Trim(_APowerParam.GetValues("pEmpresas"));
    if (!grupo.empty()) {
      const std::string codigo =
          nrw::ValorParaSQL(Variant(nrw::StrToIntDef(grupo, 0)), nrw::TFieldType::Integer);
      _ASQLOriginal = "select distinct T_T." + campos + " from  ( " + kSqlGrupoEmpresas + codigo +
                      ") T_T  order by T_T." + campos;
    } else if (!empresas.empty()) {
      const std::string filtro = nrw::FilterInterval({"CODIGOEMPRESA"}, empresas, {1}, 0, false, 0);
      _ASQLOriginal = "select distinct T_T." + campos + " from " + _ATabela + " T_T " +
                      nrw::TemDados(" where ", filtro, "") + " order by 1";
    } else {
      // Neither a group nor companies: every company of the separator's table. Group 0
      // gathers no company, and its list would split the report into no part at all.
      _ASQLOriginal =
          "select distinct T_T." + campos + " from " + _ATabela + " T_T " + " order by 1";
    }
  }
  FGerouQuebraRelatorio = true;
}

}  // namespace withholding_review
