// The run of the payroll totals: the report's parameters, the host's data module, the company and
// establishment of every registration number, the order asked for and one line per number.
#include "rpt_payroll_totals.h"

#include <utility>

#include "nrw/datetime.h"
#include "nrw/events.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/module.h"
#include "nrw/siblings.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "payroll_totals_sections.h"

namespace payroll_totals {

using nrw::TnClientDataSet;
using nrw::TnTipoInscrFederal;
using nrw::Variant;

namespace {

constexpr const char* kClasseDM = "TSalaryTotalsExporter";
constexpr const char* kSufixoDM = "_Sufix";
constexpr const char* kMascaraValor = "##,###,##0.00";

constexpr const char* kSqlEstab = "select INSCRFEDERAL ,APELIDOESTAB from ESTAB where 0 = 0 ";
constexpr const char* kSqlEstabOrdem = "order by INSCRFEDERAL";
constexpr const char* kSqlEmpresa =
    "select e.CodigoEmpresa,       e.NomeEmpresa  from Empresa e,       Estab t where "
    "t.InscrFederal = :pInscrFederal   and t.CodigoEmpresa = e.CodigoEmpresa order by 1";

// The number as the establishments keep it, punctuated by its type, so that the lookups find it.
// A CPF (type 1) keeps its own punctuation: punctuated as a CNPJ it would match no establishment.
TnTipoInscrFederal TipoDaBusca(int64_t tipo_inscr) {
  switch (tipo_inscr) {
    case 1:
      return TnTipoInscrFederal::tifCPF;
    case 3:
      return TnTipoInscrFederal::tifCEI;
    default:
      return TnTipoInscrFederal::tifCNPJ;
  }
}

}  // namespace

std::string TRptPayrollTotals::Versao() { return "[versao: 1.1.18.0]"; }

void TRptPayrollTotals::DoAfterSection(nrw::TObject* Sender, int ASection) {
  if (ASection == kSecaoCabecalho) RepPrintSection(kSecaoTitulos);
}

void TRptPayrollTotals::ImprimirInterno() {
  // Whatever stops the run from here on, what was made so far is released.
  TExecucao run;
  const nrw::ScopeExit limpeza([&run] {
    run.DepoisSecao.Release();
    nrw::DestruirSQL(run.curEmpresa);
    nrw::DestruirSQL(run.curEstab);
    if (run.DMCriado) nrw::DestruirDM(kClasseDM, kSufixoDM);
    run.FListaOrd.clear();
  });

  const TParametros parametros = LerParametros();
  run.DepoisSecao = {Report().OnAfterSection, *this, [this](nrw::TObject* sender, int section) {
                       DoAfterSection(sender, section);
                     }};
  Report().MsgConfigurar({"Mensagem"});
  RepParam("pLCompet", parametros.Modelo == 1 ? nrw::FormatDateTime("mm/yyyy", parametros.Compet)
                                              : nrw::IntToStr(nrw::YearOf(parametros.Compet)));
  AbrirEstabelecimentos(run, parametros.Empresas);
  TnClientDataSet& dados = ExecutarExportador(run, parametros);
  LerLinhas(run, dados);
  OrdenarLista(run.FListaOrd, parametros.Ordenar);
  ImprimirLinhas(run.FListaOrd);
}

TRptPayrollTotals::TParametros TRptPayrollTotals::LerParametros() {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  TParametros parametros;
  parametros.Ordenar = nrw::StrToIntDef(panel.GetValues("pOrdenar"), 1);
  parametros.Compet = nrw::StrToDateTime(panel.GetValues("pCompet"));
  parametros.Modelo = nrw::StrToInt(panel.GetValues("pModelo"));
  const std::string grupo = panel.GetValues("pCodigoGrupoProc");
  parametros.Grupo = nrw::Trim(grupo).empty() ? 0 : nrw::StrToInt(grupo);
  parametros.Empresas = nrw::Trim(panel.GetValues("pEmpresas"));
  return parametros;
}

void TRptPayrollTotals::AbrirEstabelecimentos(TExecucao& run, const std::string& empresas) {
  std::string sql = kSqlEstab;
  if (!empresas.empty()) {
    sql += nrw::FilterInterval({"CODIGOEMPRESA"}, empresas, {1}, 0, true, 1) + " ";
  }
  sql += kSqlEstabOrdem;
  run.curEstab = nrw::ExecutarSQL(sql, true, false, -1, "", nullptr, true);
  run.EstabApelido = &nrw::CDS(run.curEstab).FieldByName("APELIDOESTAB");
}

TnClientDataSet& TRptPayrollTotals::ExecutarExportador(TExecucao& run,
                                                       const TParametros& parametros) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  nrw::TObject* criado = nrw::CriarDM(kClasseDM, 0, kSufixoDM);
  run.DMCriado = true;
  nrw::TnDMPowerParam& dm = nrw::AsClass<nrw::TnDMPowerParam>(criado);
  dm.Param("CodigoGrupoProc").SetAsInteger(parametros.Grupo);
  dm.Param("Empresas").SetAsString(parametros.Empresas);
  dm.Param("Estabs").SetAsString(panel.GetValues("Estabs"));
  dm.Param("Compet").SetAsString(panel.GetValues("pCompet"));
  dm.Param("Modelo").SetAsString(panel.GetValues("pModelo"));
  dm.Param("SomarProLabore").SetAsString(panel.GetValues("pSomarProLabore"));
  dm.Param("ContarProLabore").SetAsString(panel.GetValues("pContarProLabore"));
  dm.Param("pFiltroZeramento").SetAsString(panel.GetValues("pFiltroZeramento"));
  dm.Param("pReport").SetAsInteger(Report().Handle());

  dm.Executar();
  auto* dados = dynamic_cast<TnClientDataSet*>(dm.FindComponent("nClientDataSet"));
  if (dados == nullptr) {
    throw nrw::Exception(std::string("O módulo de dados ") + kClasseDM +
                         " não deixou o conjunto de dados nClientDataSet.");
  }
  dados->SetIndexFieldNames("InscrFederal");
  dados->First();
  return *dados;
}

void TRptPayrollTotals::LerLinhas(TExecucao& run, TnClientDataSet& dados) {
  TnClientDataSet& estab = nrw::CDS(run.curEstab);
  const TMapDados& campos = dados.FieldMapper<TMapDados>();
  for (; !dados.Eof(); dados.Next()) {
    const int64_t tipo = campos.TipoInscr->AsInteger();
    const std::string inscr = nrw::FormatarInscrFederal(
        TipoDaBusca(tipo), nrw::FormatFloat("00000000000000", campos.InscrFederal->AsFloat()),
        false);
    TnClientDataSet& empresa = BuscarEmpresa(run, inscr);
    RepParam("pControleCustoEmpresa", run.Empresa->CodigoEmpresa->AsString());

    auto linha = std::make_unique<TDadosListOrd>();
    const bool achou = !empresa.Eof();
    linha->CodigoEmpresa =
        achou ? static_cast<int32_t>(run.Empresa->CodigoEmpresa->AsInteger()) : 0;
    linha->NomeEmpresa = achou ? run.Empresa->NomeEmpresa->AsString() : "";
    if (estab.FindKey({Variant(inscr)})) linha->NomeEmpresa += " - " + run.EstabApelido->AsString();
    linha->InscrFederal = inscr;
    linha->TipoInscr = static_cast<int32_t>(tipo);
    linha->QtdFunc = static_cast<int32_t>(campos.QtdFunc->AsInteger());
    linha->ValorTot = campos.ValorTotal->AsFloat();
    linha->ValorRegra = campos.ValorRegra->AsFloat();
    run.FListaOrd.push_back(std::move(linha));
  }
}

TnClientDataSet& TRptPayrollTotals::BuscarEmpresa(TExecucao& run, const std::string& inscr) {
  // The lowest company code among those with an establishment of that number.
  if (!run.curEmpresa) {
    run.curEmpresa = nrw::ExecutarSQL(kSqlEmpresa, std::vector<Variant>{inscr}, true, true, -1, "",
                                      nullptr, true);
    run.Empresa = &nrw::CDS(run.curEmpresa).FieldMapper<TMapEmpresa>();
  } else {
    nrw::RefreshSQL(*run.curEmpresa, {inscr}, true);
  }
  TnClientDataSet& empresa = *run.curEmpresa;
  empresa.First();
  return empresa;
}

void TRptPayrollTotals::ImprimirLinhas(const TListaOrd& lista) {
  // A type outside 1 to 3 keeps the punctuation of the line before it.
  TnTipoInscrFederal tipo_impressao = TnTipoInscrFederal::tifCNPJ;
  for (const std::unique_ptr<TDadosListOrd>& linha : lista) {
    if (linha->TipoInscr >= 1 && linha->TipoInscr <= 3) {
      tipo_impressao = static_cast<TnTipoInscrFederal>(linha->TipoInscr - 1);
    }
    RepParam("pLCodigoEmpresa", nrw::IntToStr(linha->CodigoEmpresa));
    RepParam("pLNomeEmpresa", linha->NomeEmpresa);
    RepParam("pLInscrFederal",
             nrw::FormatarInscrFederal(tipo_impressao, linha->InscrFederal, false));
    RepParam("pLQtdade", nrw::Trim(nrw::IntToStr(linha->QtdFunc)));
    RepParam("pLValor", nrw::FormatFloat(kMascaraValor, linha->ValorTot));
    RepParam("pLValorRegra", nrw::FormatFloat(kMascaraValor, linha->ValorRegra));
    RepPrintSection(kSecaoLinha);
  }
}

}  // namespace payroll_totals

using payroll_totals::TRptPayrollTotals;
NRW_REPORT_CLASS(TRptPayrollTotals)
