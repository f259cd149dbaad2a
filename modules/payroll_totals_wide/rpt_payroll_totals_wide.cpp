// The run of the landscape payroll totals: parameters, filters, the three statements, the sibling
// that lists the lines, and the clean-up that gives everything back on every path.
#include "rpt_payroll_totals_wide.h"

#include <cstdint>
#include <optional>
#include <string>

#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/handles.h"
#include "nrw/module.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "payroll_totals_wide_sql.h"

namespace payroll_totals_wide {

using nrw::Format;
using nrw::TDataSetRef;
using nrw::TnClientDataSet;
using nrw::Trim;
using nrw::Variant;

namespace {

constexpr const char* kClasseAnalise = "TSmallBusinessRegimeAnalysis";
constexpr const char* kSufixoAnalise = "SmallBusinessRegimeAnalysis";
constexpr const char* kIndice = "CODIGOEMPRESA;CODIGOESTAB;COMPET";

// A value that does not convert stops the run with the parameter's name in front of the
// conversion's own words, as the host reports its own parameters.
nrw::TDateTime DataDoParametro(const char* name, const std::string& text) {
  const std::string valor = Trim(text);
  const std::optional<nrw::TDateTime> data = nrw::TryStrToDate(valor);
  if (!data) {
    throw nrw::Exception(std::string("Parâmetro ") + name + ": '" + valor +
                         "' não é uma data válida");
  }
  return *data;
}

int GrupoDoParametro(const std::string& text) {
  int64_t grupo = 0;
  if (!nrw::TryStrToInt(text, grupo) || grupo < INT32_MIN || grupo > INT32_MAX) {
    throw nrw::Exception("Parâmetro pCodigoGrupoProc: '" + text +
                         "' não é um valor inteiro válido");
  }
  return static_cast<int>(grupo);
}

// The user's company and establishment selections as they were when the run started.
class TSelecoes {
 public:
  explicit TSelecoes(const nrw::TnpqPowerParam& panel)
      : empresa_(panel.GetValues("pCodigoEmpresa")), estab_(panel.GetValues("pCodigoEstab")) {}
  void Restaurar(nrw::TnpqPowerParam& panel) const {
    if (panel.GetValues("pCodigoEmpresa") != empresa_) panel.SetValues("pCodigoEmpresa", empresa_);
    if (panel.GetValues("pCodigoEstab") != estab_) panel.SetValues("pCodigoEstab", estab_);
  }

 private:
  std::string empresa_;
  std::string estab_;
};

TDataSetRef Executar(const std::string& sql, const TParametrosRun& parametros) {
  TDataSetRef dataset = nrw::ExecutarSQL(sql, {parametros.DataInicial, parametros.DataFinal}, true,
                                         false, -1, "", nullptr, true);
  nrw::CDS(dataset).SetIndexFieldNames(kIndice);
  return dataset;
}

}  // namespace

void TValoresLinha::Somar(const TValoresLinha& outra) {
  RemunMensal += outra.RemunMensal;
  RemunRescisao += outra.RemunRescisao;
  InssMensal += outra.InssMensal;
  InssRescisao += outra.InssRescisao;
  FgtsMensal += outra.FgtsMensal;
  FgtsRescisao += outra.FgtsRescisao;
  TotalMensal += outra.TotalMensal;
  TotalRescisao += outra.TotalRescisao;
  MultaFgts += outra.MultaFgts;
  QtdeFuncMensal += outra.QtdeFuncMensal;
  QtdeFuncRescisao += outra.QtdeFuncRescisao;
}

TRptPayrollTotalsWide::~TRptPayrollTotalsWide() = default;

std::string TRptPayrollTotalsWide::Versao() { return "[versao: 1.0.0.0]"; }

void TRptPayrollTotalsWide::CarregarParametros() {
  FParametros.DataInicial =
      nrw::StartOfTheMonth(DataDoParametro("pCompetInicial", RepParam("pCompetInicial")));
  FParametros.DataFinal =
      nrw::EndOfTheMonth(DataDoParametro("pCompetFinal", RepParam("pCompetFinal")));
  FParametros.CodigoGrupoProc = Trim(RepParam("pCodigoGrupoProc"));
  FParametros.CodigoEmpresa = Trim(RepParam("pCodigoEmpresa"));
  FParametros.CodigoEstab = Trim(RepParam("pCodigoEstab"));
  FParametros.ContarSomarProLabore = Trim(RepParam("pContarSomarProLabore"));
}

void TRptPayrollTotalsWide::MontarFiltros() {
  // The group's companies take the place of the selection in the statements.
  if (!FParametros.CodigoGrupoProc.empty()) {
    FParametros.CodigoEmpresa = nrw::EmpresasGrupoCalculo(
        GrupoDoParametro(FParametros.CodigoGrupoProc), FParametros.CodigoEmpresa, true);
  }
  FFiltroTipoContr = FParametros.ContarSomarProLabore == "1" ? "" : kFiltroSemProLabore;
  // The selection, narrowed to the companies the user may see.
  FFiltroEmpresa =
      nrw::FilterInterval({"PC.CodigoEmpresa"}, FParametros.CodigoEmpresa, {1}, 0, true, 0) +
      nrw::FilterInterval({"PC.CodigoEmpresa"}, nrw::PegarCodigoEmpresaDireitoUsuario(), {1}, 0,
                          true, 0);
  FFiltroEstab = nrw::FilterInterval({"FL.CodigoEstab"}, FParametros.CodigoEstab, {1}, 0, true, 0);
}

void TRptPayrollTotalsWide::CriarAnaliseSimples() {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  ADM->Param("CompetInicial").SetAsDate(nrw::StrToDate(panel.GetValues("pCompetInicial")));
  ADM->Param("CompetFinal").SetAsDate(nrw::StrToDate(panel.GetValues("pCompetFinal")));
  // The sibling receives the user's own selections, never the group's companies.
  const auto repassar = [&](const char* sibling, const char* report) {
    nrw::TnpqParamItem& item = ADM->Param(sibling);
    item.SetAsString("");
    const std::string value = panel.GetValues(report);
    if (!Trim(value).empty()) item.SetAsString(value);
  };
  repassar("CodigoGrupoProc", "pCodigogrupoProc");
  repassar("CodigoEmpresa", "pCodigoEmpresa");
  repassar("CodigoEstab", "pCodigoEstab");
  ADM->Param("Ordenacao").SetAsString(panel.GetValues("pOrdenar"));
  ADM->Executar();
}

TnClientDataSet& TRptPayrollTotalsWide::DataSetDoParametro(const char* name) {
  // A 32-bit reference, widened by sign extension and resolved in the host's handle table.
  const auto handle = static_cast<int32_t>(ADM->Param(name).GetAsInteger());
  auto* dataset = dynamic_cast<TnClientDataSet*>(nrw::ResolveHandle(handle));
  if (dataset == nullptr) {
    throw nrw::Exception(Format("O módulo de dados %s não devolveu um conjunto de dados em %s.",
                                {kClasseAnalise, name}));
  }
  return *dataset;
}

void TRptPayrollTotalsWide::ImprimirInterno() {
  CarregarParametros();

  // From here on the flag, the datasets and the sibling are given back however the run ends.
  bool& conversao = nrw::PodeOnSQLConverte();
  const bool conversao_anterior = conversao;
  conversao = false;
  TDataSetRef curTotais;
  TDataSetRef curTerceiros;
  bool analise_criada = false;
  // The headers write the company and establishment into variables that share their names with
  // the user's selections; the selections are put back so that a later run reads what the user
  // chose.
  const TSelecoes selecoes(Report().GetParams());
  // Two guards, the later one first: freeing the analysis may raise, and the flag and the
  // selections are put back all the same.
  const nrw::ScopeExit restaurar([&] {
    conversao = conversao_anterior;
    selecoes.Restaurar(Report().GetParams());
  });
  const nrw::ScopeExit limpeza([&] {
    nrw::DestruirSQL(curTotais);
    nrw::DestruirSQL(curTerceiros);
    nrw::DestruirSQL(FCurTotal13salario);
    ADM = nullptr;
    if (analise_criada) nrw::DestruirDM(kClasseAnalise, kSufixoAnalise);
  });

  MontarFiltros();
  ExecutarConsultas(curTotais, curTerceiros);
  nrw::TObject* analise = nrw::CriarDM(kClasseAnalise, 0, kSufixoAnalise);
  analise_criada = true;
  ADM = &nrw::AsClass<nrw::TnDMPowerParam>(analise);
  CriarAnaliseSimples();
  ImprimirLinhas(DataSetDoParametro("pRefer"), nrw::CDS(curTotais), nrw::CDS(curTerceiros));
}

void TRptPayrollTotalsWide::ExecutarConsultas(TDataSetRef& curTotais, TDataSetRef& curTerceiros) {
  curTotais = Executar(Format(SqlTotais(), {FFiltroEmpresa, FFiltroEstab, FFiltroTipoContr,
                                            kEventosDesconto, kEventosRescisao}),
                       FParametros);
  curTerceiros = Executar(Format(kSqlTerceiros, {FFiltroEmpresa, FFiltroEstab}), FParametros);
  FCurTotal13salario = Executar(
      Format(SqlTotal13Salario(), {FFiltroEmpresa, FFiltroEstab, FFiltroTipoContr}), FParametros);
  for (TDataSetRef* dataset : {&curTotais, &curTerceiros, &FCurTotal13salario}) {
    nrw::CDS(*dataset).DisableControls();
  }
}

}  // namespace payroll_totals_wide

using payroll_totals_wide::TRptPayrollTotalsWide;
NRW_REPORT_CLASS(TRptPayrollTotalsWide)
